// Smoke tests of the two platform pieces the dialogs lean on hardest: the theme table and the
// downloader. Everything else of the platform is exercised through the dialogs' own tests.

#include "localhttpserver.h"
#include "testsupport.h"

#include "uibase/dialog/contracts/compiledtheme_p.h"
#include "uibase/dialog/contracts/network.h"
#include "uibase/dialog/contracts/pngdecoder_p.h"
#include "uibase/dialog/contracts/theme_p.h"
#include "uibase/dialog/contracts/translucency_p.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "themedraw.h"

using namespace Omra;
using testsupport::LocalHttpServer;

namespace {

CUiResource* table()
{
    return utils::CSingletonT<CUiResource>::instance();
}

const QString defaultThemeDir =
    QStringLiteral(DIALOG_SOURCE_DIR "/uibase/dialog/contracts/theme/default");

// Whatever the table holds for key, of the family its prefix names.
QVariant themeValue(const QString& key)
{
    if (key.startsWith(QLatin1String("clr_")))
        return *table()->getColor(key);
    if (key.startsWith(QLatin1String("fnt_")))
        return *table()->getFont(key);
    if (key.startsWith(QLatin1String("siz_")))
        return table()->getSize(key);
    return table()->getPixmap(key)->toImage();
}

QImage compiledPixels(const quint32* pixels, int width, int height, int ratio)
{
    QImage image(reinterpret_cast<const uchar*>(pixels), width * ratio, height * ratio,
                 width * ratio * 4, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage pngFile(const QString& name)
{
    return QImage(defaultThemeDir + QLatin1Char('/') + name)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A window painting a band of one alpha all over, faces of another on top.
struct Painted : QWidget
{
    int band = 0, face = 0;
    QVector<QRect> faces;
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), QColor(0, 0, 0, band));
        for (const QRect& r : faces)
            painter.fillRect(r, QColor(255, 255, 255, face));
    }
};

} // namespace

class TestStandIns : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { table()->resetToDefault(); }

    // Both shipped themes define every key and every image decodes.
    void shippedThemes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("default") << QString();
        QTest::newRow("dark") << QStringLiteral(DIALOG_SOURCE_DIR
                                                "/examples/gallery/themes/dark/theme.json");
    }
    void shippedThemes()
    {
        QFETCH(QString, path);
        QString error;
        QVERIFY2(path.isEmpty() || table()->loadTheme(path, &error), qPrintable(error));
        QVERIFY(table()->keys().size() > 40);
        for (const QString& key : table()->keys()) {
            if (!key.startsWith(QLatin1String("img_")))
                continue;
            QVERIFY2(!table()->getPixmap(key)->isNull(), qPrintable(key));
        }
        QCOMPARE(table()->missingKeys(), QStringList());
    }

    // The default theme the library carries is its theme file, key for key; its pictures are
    // what the generator draws and what the PNG files hold, pixel for pixel, at 1x and 2x.
    void compiledDefaultTheme_data()
    {
        QFile file(defaultThemeDir + QLatin1String("/theme.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QTest::addColumn<QString>("key");
        for (const char* section : {"colors", "fonts", "sizes", "images"})
            for (const QString& key : root.value(QLatin1String(section)).toObject().keys())
                QTest::newRow(qPrintable(key)) << key;
    }
    void compiledDefaultTheme()
    {
        QFETCH(QString, key);
        table()->clear();
        QString error;
        QVERIFY2(table()->loadTheme(defaultThemeDir + QLatin1String("/theme.json"), &error),
                 qPrintable(error));
        const QStringList fileKeys = table()->keys();
        const QVariant fromFile = themeValue(key);
        table()->resetToDefault();
        QCOMPARE(table()->keys(), fileKeys);
        QCOMPARE(themeValue(key), fromFile);
        if (!key.startsWith(QLatin1String("img_")))
            return;

        const detail::CompiledTheme& theme = detail::defaultCompiledTheme();
        const auto* entry =
            std::find_if(theme.images, theme.images + theme.imageCount,
                         [&](const auto& e) { return key == QLatin1String(e.key); });
        QVERIFY(entry != theme.images + theme.imageCount);
        const QString name = QString::fromUtf8(entry->file);
        const QVector<themegen::Asset> drawn = themegen::assets(themegen::lightPalette());
        const auto asset = std::find_if(drawn.begin(), drawn.end(),
                                        [&](const themegen::Asset& a) { return a.file == name; });
        QVERIFY(asset != drawn.end());
        const detail::CompiledPicture& picture = *entry->picture;
        const QImage drawn1x = themegen::render(*asset, 1);
        const QImage drawn2x = themegen::render(*asset, 2);
        QCOMPARE(compiledPixels(picture.pixels, picture.width, picture.height, 1), drawn1x);
        QCOMPARE(compiledPixels(picture.pixels2x, picture.width, picture.height, 2), drawn2x);
        // A differing PNG file is out of date: `make theme-images` draws it again.
        QCOMPARE(pngFile(name), drawn1x);
        QCOMPARE(pngFile(QString(name).replace(QLatin1String(".png"), QLatin1String("@2x.png"))),
                 drawn2x);
    }

    // The embedded pictures' own decoder refuses what it does not handle, so Qt's reader
    // takes over; only the intact file decodes.
    void damagedPng_data()
    {
        QFile file(defaultThemeDir + QLatin1String("/img_custom_dialog_bg.png"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray png = file.readAll();
        const int idat = png.indexOf("IDAT");
        const auto patched = [&](int at, const QByteArray& bytes) {
            return QByteArray(png).replace(at, bytes.size(), bytes);
        };
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("intact") << png;
        QTest::newRow("truncated") << png.left(png.size() / 2);
        QTest::newRow("damaged pixels") << patched(idat + 40, QByteArray("\xff\x00\xff\x00", 4));
        QTest::newRow("palette") << patched(25, "\x03");
        QTest::newRow("chunk longer than the file") << patched(idat - 4, "\x7f\xff\xff\xff");
        QTest::newRow("not a PNG") << QByteArray("GIF89a");
    }
    void damagedPng()
    {
        QFETCH(QByteArray, data);
        const QImage image =
            detail::decodePlainPng(reinterpret_cast<const uchar*>(data.constData()), data.size());
        QCOMPARE(image.isNull(), QByteArray(QTest::currentDataTag()) != "intact");
    }

    // What a window is clipped to on a desktop that cannot blend it.
    void opaqueRegion_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("face");
        QTest::addColumn<QVector<QRect>>("faces");
        QTest::addColumn<QVector<QRect>>("expected");
        const QVector<QRect> frame{QRect(4, 4, 12, 12)};
        const QVector<QRect> rounded{QRect(2, 0, 6, 1), QRect(0, 1, 10, 8), QRect(2, 9, 6, 1)};
        const QVector<QRect> columns{QRect(0, 0, 3, 20), QRect(10, 0, 3, 20)};
        const QVector<QRect> step{QRect(0, 0, 10, 3), QRect(0, 3, 4, 3)};
        QTest::newRow("shadow band cut") << 46 << 255 << frame << frame;
        QTest::newRow("a shade below opaque kept") << 0 << 245 << frame << frame;
        QTest::newRow("see-through face cut") << 0 << 200 << frame << QVector<QRect>();
        QTest::newRow("rows of different runs") << 0 << 255 << rounded << rounded;
        QTest::newRow("two runs a row") << 0 << 255 << columns << columns;
        QTest::newRow("same start, shorter run") << 0 << 255 << step << step;
        QTest::newRow("opaque all over")
            << 255 << 255 << frame << QVector<QRect>{QRect(0, 0, 20, 20)};
    }
    void opaqueRegion()
    {
        QFETCH(int, band);
        QFETCH(int, face);
        QFETCH(QVector<QRect>, faces);
        QFETCH(QVector<QRect>, expected);
        Painted window;
        window.setGeometry(0, 0, 20, 20);
        window.band = band, window.face = face, window.faces = faces;
        QRegion want;
        for (const QRect& r : expected)
            want += r;
        QVERIFY(detail::opaqueRegion(&window).xored(want).isEmpty());
    }

    // Captions drawn as QPainter draws them, pixel for pixel, whichever way they go: one plain
    // line placed by hand, or anything else handed to QPainter. Each row is drawn into
    // rects from half the text's size to roomy, odd and even, for clipping and half pixels.
    void textLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("rightToLeft");
        const QString wqy = QStringLiteral("WenQuanYi Micro Hei");
        const int centre = Qt::AlignCenter | Qt::TextSingleLine;
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("caption") << QStringLiteral("确定") << wqy << 12 << false << false << centre
                                 << false;
        QTest::newRow("bold title")
            << QStringLiteral("委托提示") << wqy << 14 << true << false << left << false;
        QTest::newRow("underlined link")
            << QStringLiteral("点击设置重启时间") << wqy << 13 << false << true << left << false;
        QTest::newRow("latin, right bottom")
            << QStringLiteral("Show Details...") << wqy << 12 << false << false
            << int(Qt::AlignRight | Qt::AlignBottom) << false;
        QTest::newRow("digits and signs, large bold")
            << QStringLiteral("IF2406 -1.5%") << wqy << 28 << true << false << centre << false;
        QTest::newRow("no alignment")
            << QStringLiteral("OK") << wqy << 12 << false << false << 0 << false;
        QTest::newRow("not clipped") << QStringLiteral("取消") << wqy << 13 << false << false
                                     << int(Qt::AlignCenter | Qt::TextDontClip) << false;
        QTest::newRow("fallback font")
            << QStringLiteral("IF2406 买入") << QStringLiteral("DejaVu Sans") << 14 << false
            << false << 0 << false;
        QTest::newRow("positive leading")
            << QStringLiteral("Show Details...") << QStringLiteral("DejaVu Math TeX Gyre") << 11
            << false << false << 0 << false;
        QTest::newRow("leading space")
            << QStringLiteral(" OK") << QStringLiteral("DejaVu Sans") << 12 << false << false
            << int(Qt::AlignRight | Qt::AlignVCenter) << false;
        QTest::newRow("ampersand")
            << QStringLiteral("&Cancel") << wqy << 12 << false << false << centre << false;
        QTest::newRow("mnemonic") << QStringLiteral("&Cancel") << wqy << 12 << false << false
                                  << int(centre | Qt::TextShowMnemonic) << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << wqy << 12 << false << false << left
                             << false;
        QTest::newRow("line separator")
            << QStringLiteral("a\u2028b") << wqy << 12 << false << false << left << false;
        QTest::newRow("right-to-left text")
            << QStringLiteral("\u0645\u0631\u062d\u0628\u0627") << QStringLiteral("DejaVu Sans")
            << 12 << false << false << int(Qt::AlignRight | Qt::AlignVCenter) << false;
        QTest::newRow("word wrap") << QStringLiteral("下单 确定") << wqy << 13 << false << false
                                   << int(Qt::AlignCenter | Qt::TextWordWrap) << false;
        QTest::newRow("right-to-left painter")
            << QStringLiteral("确定") << wqy << 12 << false << false << left << true;
    }
    void textLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(bool, underline);
        QFETCH(int, flags);
        QFETCH(bool, rightToLeft);
        if (!QFontDatabase().families().contains(family))
            QSKIP("the font of this row is not installed");
        QFont font(family);
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        font.setUnderline(underline);
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(text);
        const int height = metrics.height();
        for (const int w : {width / 2, width - 1, width, width + 1, width + 2, width + 21}) {
            for (const int h : {height - 1, height, height + 1, height + 12}) {
                QImage images[2];
                for (int k = 0; k < 2; ++k) {
                    images[k] = QImage(w + 20, h + 20, QImage::Format_ARGB32_Premultiplied);
                    images[k].fill(Qt::transparent);
                    QPainter painter(&images[k]);
                    painter.setFont(font);
                    if (rightToLeft)
                        painter.setLayoutDirection(Qt::RightToLeft);
                    const QRect rect(7, 5, w, h);
                    if (k == 0)
                        painter.drawText(rect, flags, text);
                    else
                        detail::drawTextLine(&painter, rect, flags, text);
                }
                QVERIFY2(images[0] == images[1],
                         qPrintable(QStringLiteral("%1 x %2").arg(w).arg(h)));
            }
        }
    }

    // A theme file overrides in place (kept pointers see it); a bad one changes nothing.
    void loadTheme()
    {
        const QColor* blue = table()->getColor(QStringLiteral("clr_global_blue"));
        const QColor original = *blue;
        QTemporaryDir dir;
        QFile bad(dir.filePath(QStringLiteral("bad.json")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(R"({"sizes": {"siz_message_box_margin": 99}, "colors": {"clr_global_blue": 1}})");
        bad.close();
        QString error;
        QVERIFY(!table()->loadTheme(bad.fileName(), &error));
        QVERIFY2(error.contains(QStringLiteral("clr_global_blue")), qPrintable(error));
        QVERIFY(table()->getSize(QStringLiteral("siz_message_box_margin")) != 99);
        QCOMPARE(*blue, original);

        testsupport::TestTheme theme;
        theme.color(QStringLiteral("clr_global_blue"), QColor(1, 2, 3))
            .size(QStringLiteral("siz_message_box_margin"), 7);
        QVERIFY(theme.apply());
        QCOMPARE(*blue, QColor(1, 2, 3));
        QCOMPARE(table()->getSize(QStringLiteral("siz_message_box_margin")), 7);
        table()->setScale(1.5);
        QCOMPARE(table()->getSize(QStringLiteral("siz_message_box_margin")), 11);
        table()->setScale(1.0);
    }

    void download_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("replace"); // startRequest's flag; an older file lies there
        QTest::newRow("saved over an older file") << "ok" << 0 << true;
        QTest::newRow("404") << "404" << 10 << true;
        QTest::newRow("connection cut") << "cut" << 10 << true;
        QTest::newRow("busy: the second request is refused") << "busy" << 0 << true;
        QTest::newRow("stopped") << "stop" << 0 << true;
        QTest::newRow("saved, keeping") << "ok" << 0 << false;
        QTest::newRow("404, keeping: no end reported") << "404" << 10 << false;
    }
    // The file under its final name only when complete (an older one goes first when
    // replacing), nothing left behind; a failure ends silently unless replacing.
    void download()
    {
        QFETCH(QString, setup);
        QFETCH(int, code);
        QFETCH(bool, replace);
        LocalHttpServer server;
        QVERIFY(server.start());
        QTemporaryDir dir;
        CHttpDownLoader downloader;
        downloader.setFilePath(dir.path());
        downloader.setTransferTimeout(300);
        QSignalSpy finished(&downloader, &CHttpDownLoader::sigDownFinish);
        QSignalSpy progress(&downloader, &CHttpDownLoader::sigDownProgress);
        const QByteArray body(30000, 'b');
        const QString url = server.url(QStringLiteral("/f/setup.bin"));
        LocalHttpServer::Resource resource;
        resource.body = body;
        resource.cutAfter = setup == QLatin1String("cut") ? 4000 : -1;
        resource.status = setup == QLatin1String("404") ? 404 : 200;
        resource.chunkSize = setup == QLatin1String("stop") ? 1000 : 8192;
        resource.chunkDelayMs = setup == QLatin1String("stop") ? 60000 : 5;
        server.setResource(QStringLiteral("/f/setup.bin"), resource);
        QFile older(dir.filePath(QStringLiteral("setup.bin")));
        QVERIFY(!replace || (older.open(QIODevice::WriteOnly) && older.write("older") == 5));
        older.close();

        QVERIFY(downloader.startRequest(url, replace));
        if (setup == QLatin1String("busy")) {
            QVERIFY(!downloader.startRequest(server.url(QStringLiteral("/other.bin")), true));
            QCOMPARE(downloader.getErrorCode(), int(CHttpDownLoader::ErrorBusy));
        }
        if (setup == QLatin1String("stop")) {
            QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
            QVERIFY(!older.exists()); // mid-download the name never holds part of a file
            downloader.stopDownLoad();
        } else if (replace || code == 0) {
            QVERIFY(finished.wait(10000));
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(!downloader.isRunning(), 10000);
        }
        const bool saved = code == 0 && setup != QLatin1String("stop");
        QCOMPARE(finished.count(), setup == QLatin1String("stop") || !(replace || saved) ? 0 : 1);
        QCOMPARE(downloader.getErrorCode(), code);
        QVERIFY(!downloader.isRunning());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 saved ? QStringList{QStringLiteral("setup.bin")} : QStringList());
        if (saved) {
            QFile file(dir.filePath(QStringLiteral("setup.bin")));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), body);
            QCOMPARE(progress.last().at(0).toLongLong(), qint64(body.size()));
        }
        QTRY_COMPARE(server.openConnections(), 0);
    }
};

QTEST_MAIN(TestStandIns)
#include "tst_standins.moc"
