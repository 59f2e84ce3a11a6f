#include "testsupport.h"

#include "uibase/dialog/contracts/pngdecoder_p.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using namespace Omra;

namespace {

CUiResource* table()
{
    return utils::CSingletonT<CUiResource>::instance();
}

// Counts warnings of the theme's logging category while it lives.
class WarningCounter
{
public:
    WarningCounter()
    {
        counter = this;
        previous = qInstallMessageHandler(&WarningCounter::handler);
    }
    ~WarningCounter()
    {
        qInstallMessageHandler(previous);
        counter = nullptr;
    }
    int count(const QString& needle) const { return messages.filter(needle).size(); }

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (counter && context.category && QByteArray(context.category) == "omra.theme")
            counter->messages << message;
    }
    static WarningCounter* counter;
    QtMessageHandler previous;
    QStringList messages;
};
WarningCounter* WarningCounter::counter = nullptr;

class RecordingHandler : public CUiResourceChangeHandler
{
public:
    void themeChanged() override { ++themeChanges; }
    void scaleChanged() override { ++scaleChanges; }
    int themeChanges = 0;
    int scaleChanges = 0;
};

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestUiResource : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void defaultThemeDefinesEveryKey_data();
    void defaultThemeDefinesEveryKey();
    void damagedPngIsRefused_data();
    void damagedPngIsRefused();
    void missingKeysFallBackAndAreReportedOnce();
    void loadThemeOverridesInPlace();
    void badThemeFileChangesNothing_data();
    void badThemeFileChangesNothing();
    void scaleAppliesToSizesAndFonts();
    void invalidScaleIsIgnored_data();
    void invalidScaleIsIgnored();
    void handlersAreToldAndForgotten();
    void clearLeavesOnlyFallbacks();
    void handlerDeletingAnotherDuringNotification();
    void darkThemeIsComplete();
    void resetForgetsLoadedKeys();
};

void TestUiResource::cleanup()
{
    table()->setScale(1.0);
    table()->resetToDefault();
}

void TestUiResource::defaultThemeDefinesEveryKey_data()
{
    QTest::addColumn<QString>("key");
    const char* keys[] = {
        "clr_btn_text_negative", "clr_btn_text_positive", "clr_common_dlg_title", "clr_global_blue",
        "clr_global_mesage_text", "clr_global_mesage_title", "clr_global_rise", "clr_text_error",
        "clr_warn_background_color", "fnt_default_digit_fix_underline",
        "fnt_default_digit_large_heavy", "fnt_default_large", "fnt_default_normal_fix",
        "fnt_dialog_title", "fnt_global_msg_content", "fnt_global_msg_title", "img_btn_negative",
        "img_btn_positive", "img_custom_dialog_bg", "img_global_msg_loudspeaker",
        "img_messagebox_critical", "img_messagebox_information", "img_messagebox_question",
        "img_messagebox_update", "img_messagebox_warning", "img_sys_btn_exit",
        "siz_account_btn_height", "siz_account_btn_width_small",
        "siz_global_msg_dlg_content_margin_y_space", "siz_global_msg_dlg_height",
        "siz_global_msg_dlg_width", "siz_message_box_button_h_space",
        "siz_message_box_icon_h_space", "siz_message_box_margin", "siz_message_box_v_space",
        "siz_modify_password_dialog_height", "siz_modify_password_dialog_width",
        "siz_simple_input_dialog_btn_width", "siz_simple_input_dialog_height",
        "siz_simple_input_dialog_width", "siz_user_agreement_dialog_bottom_height",
        "siz_user_agreement_dialog_btn_height", "siz_user_agreement_dialog_btn_width",
        "siz_user_agreement_dialog_height", "siz_user_agreement_dialog_width",
        // Keys the toolkit widgets use themselves.
        "fnt_default_normal", "clr_default_text", "fnt_btn_text", "fnt_tip", "clr_tip_background",
        "clr_tip_border", "clr_tip_text", "clr_edit_background", "clr_edit_border", "clr_edit_text",
        "clr_btn_text_normal", "clr_btn_text_disabled", "img_btn_normal_medium",
        "img_btn_normal_medium_emphasis", "img_btn_normal_small", "img_btn_normal_small_emphasis",
        "img_btn_no_normal_small"};
    for (const char* key : keys)
        QTest::newRow(key) << QString::fromLatin1(key);
}

void TestUiResource::defaultThemeDefinesEveryKey()
{
    QFETCH(QString, key);
    WarningCounter warnings;
    QVERIFY(table()->contains(key));
    if (key.startsWith(QLatin1String("img_"))) {
        const QImage image = table()->getPixmap(key)->toImage();
        QVERIFY2(!image.isNull(), "image cannot be decoded");
        // Pixel for pixel what Qt's own reader makes of the file.
        QFile file(QString::fromLatin1(CUiResource::defaultThemePath));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject images = QJsonDocument::fromJson(file.readAll())
                                       .object()
                                       .value(QLatin1String("images"))
                                       .toObject();
        const QString name = images.value(key).toString();
        const QImage reference(QStringLiteral(":/omra/theme/default/") + name);
        QCOMPARE(image, reference.convertToFormat(image.format()));
    } else if (key.startsWith(QLatin1String("siz_")))
        QVERIFY(table()->getSize(key) > 0);
    QCOMPARE(warnings.count(key), 0);
    QVERIFY(!table()->missingKeys().contains(key));
}

void TestUiResource::damagedPngIsRefused_data()
{
    QFile file(QStringLiteral(":/omra/theme/default/img_custom_dialog_bg.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    const int idat = png.indexOf("IDAT");
    const auto patched = [&](int at, const char* bytes) {
        return QByteArray(png).replace(at, int(std::strlen(bytes)), bytes);
    };
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("intact") << png; // the one row that decodes
    QTest::newRow("truncated") << png.left(png.size() / 2);
    QTest::newRow("damaged pixels") << patched(idat + 40, "\xff\x00\xff\x00");
    QTest::newRow("palette") << patched(25, "\x03");
    QTest::newRow("16 bits") << patched(24, "\x10");
    QTest::newRow("interlaced") << patched(28, "\x01");
    QTest::newRow("gamma chunk") << patched(png.indexOf("pHYs"), "gAMA");
    QTest::newRow("chunk longer than the file") << patched(idat - 4, "\x7f\xff\xff\xff");
    QTest::newRow("not a PNG") << QByteArray("GIF89a");
}

void TestUiResource::damagedPngIsRefused()
{
    QFETCH(QByteArray, data);
    const QImage image =
        detail::decodePlainPng(reinterpret_cast<const uchar*>(data.constData()), data.size());
    QCOMPARE(image.isNull(), QByteArray(QTest::currentDataTag()) != "intact");
}

void TestUiResource::missingKeysFallBackAndAreReportedOnce()
{
    WarningCounter warnings;
    const QString key = QStringLiteral("clr_no_such_key_reported_once");
    const QColor* color = table()->getColor(key);
    QVERIFY(color);
    QVERIFY(color->isValid());
    QCOMPARE(table()->getColor(key), color); // the same object every time
    QVERIFY(table()->getFont(QStringLiteral("fnt_no_such_key")));
    QVERIFY(table()->getPixmap(QStringLiteral("img_no_such_key"))->isNull());
    QCOMPARE(table()->getSize(QStringLiteral("siz_no_such_key")), 0);
    table()->getColor(key);
    QCOMPARE(warnings.count(key), 1);
    QVERIFY(table()->missingKeys().contains(key));
}

void TestUiResource::loadThemeOverridesInPlace()
{
    const QColor* color = table()->getColor(QStringLiteral("clr_global_blue"));
    const QFont* font = table()->getFont(QStringLiteral("fnt_dialog_title"));
    const int untouched = table()->getSize(QStringLiteral("siz_account_btn_height"));

    testsupport::TestTheme theme;
    theme.color(QStringLiteral("clr_global_blue"), QColor(1, 2, 3))
        .font(QStringLiteral("fnt_dialog_title"), 31, true)
        .size(QStringLiteral("siz_message_box_margin"), 7)
        .image(QStringLiteral("img_test_strip"), QSize(5, 6), QColor(Qt::red), 4);
    QVERIFY(theme.apply());

    // Callers may keep the pointers: they see the new values.
    QCOMPARE(table()->getColor(QStringLiteral("clr_global_blue")), color);
    QCOMPARE(*color, QColor(1, 2, 3));
    QCOMPARE(table()->getFont(QStringLiteral("fnt_dialog_title")), font);
    QCOMPARE(font->pixelSize(), 31);
    QVERIFY(font->bold());
    QCOMPARE(table()->getSize(QStringLiteral("siz_message_box_margin")), 7);
    QCOMPARE(table()->getPixmap(QStringLiteral("img_test_strip"))->size(), QSize(20, 6));
    // Keys the file does not name keep their values.
    QCOMPARE(table()->getSize(QStringLiteral("siz_account_btn_height")), untouched);
}

void TestUiResource::badThemeFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<bool>("asDirectory");
    QTest::addColumn<QString>("expectedInError");

    QTest::newRow("missing") << QByteArray() << false << QString();
    QTest::newRow("directory") << QByteArray() << true << QStringLiteral("directory");
    QTest::newRow("not json") << QByteArray("{ colors: ") << false << QStringLiteral("JSON");
    QTest::newRow("array") << QByteArray("[1, 2]") << false << QStringLiteral("object");
    QTest::newRow("section not object")
        << QByteArray(R"({"colors": 5})") << false << QStringLiteral("colors");
    QTest::newRow("colour not string")
        << QByteArray(
               R"({"colors": {"clr_global_blue": 12}, "sizes": {"siz_message_box_margin": 99}})")
        << false << QStringLiteral("clr_global_blue");
    QTest::newRow("colour bad text")
        << QByteArray(
               R"({"sizes": {"siz_message_box_margin": 99}, "colors": {"clr_global_blue": "blue"}})")
        << false << QStringLiteral("clr_global_blue");
    QTest::newRow("font size text")
        << QByteArray(
               R"({"sizes": {"siz_message_box_margin": 99}, "fonts": {"fnt_dialog_title": {"family": "x", "pixelSize": "12"}}})")
        << false << QStringLiteral("fnt_dialog_title");
    QTest::newRow("size fraction")
        << QByteArray(
               R"({"sizes": {"siz_message_box_margin": 99, "siz_message_box_v_space": 1.5}})")
        << false << QStringLiteral("siz_message_box_v_space");
    QTest::newRow("unreadable image")
        << QByteArray(
               R"({"sizes": {"siz_message_box_margin": 99}, "images": {"img_btn_positive": "nothing-here.png"}})")
        << false << QStringLiteral("img_btn_positive");
}

void TestUiResource::badThemeFileChangesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, asDirectory);
    QFETCH(QString, expectedInError);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("theme.json"));
    if (asDirectory)
        QVERIFY(QDir().mkpath(path));
    else if (!content.isEmpty())
        QVERIFY(writeFile(path, content));

    const int margin = table()->getSize(QStringLiteral("siz_message_box_margin"));
    const QColor blue = *table()->getColor(QStringLiteral("clr_global_blue"));
    const QSize button = table()->getPixmap(QStringLiteral("img_btn_positive"))->size();
    RecordingHandler handler;

    QString error;
    QVERIFY(!table()->loadTheme(path, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY2(error.contains(expectedInError), qPrintable(error));
    QCOMPARE(table()->getSize(QStringLiteral("siz_message_box_margin")), margin);
    QCOMPARE(*table()->getColor(QStringLiteral("clr_global_blue")), blue);
    QCOMPARE(table()->getPixmap(QStringLiteral("img_btn_positive"))->size(), button);
    QCOMPARE(handler.themeChanges, 0);
    QVERIFY(!table()->loadTheme(path)); // a null error pointer is fine too
}

void TestUiResource::scaleAppliesToSizesAndFonts()
{
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_test"), 10).font(QStringLiteral("fnt_test"), 12);
    QVERIFY(theme.apply());
    const QFont* font = table()->getFont(QStringLiteral("fnt_test"));
    RecordingHandler handler;

    table()->setScale(1.5);
    QCOMPARE(handler.scaleChanges, 1);
    QCOMPARE(table()->getSize(QStringLiteral("siz_test")), 15);
    QCOMPARE(font->pixelSize(), 18);

    table()->setScale(2.0);
    QCOMPARE(table()->getSize(QStringLiteral("siz_test")), 20);
    QCOMPARE(font->pixelSize(), 24);

    table()->setScale(1.0);
    QCOMPARE(table()->getSize(QStringLiteral("siz_test")), 10);
    QCOMPARE(font->pixelSize(), 12);
}

void TestUiResource::invalidScaleIsIgnored_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -1.0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
}

void TestUiResource::invalidScaleIsIgnored()
{
    QFETCH(double, scale);
    RecordingHandler handler;
    const int margin = table()->getSize(QStringLiteral("siz_message_box_margin"));
    table()->setScale(scale);
    QCOMPARE(table()->scale(), 1.0);
    QCOMPARE(table()->getSize(QStringLiteral("siz_message_box_margin")), margin);
    QCOMPARE(handler.scaleChanges, 0);
}

void TestUiResource::handlersAreToldAndForgotten()
{
    auto* first = new RecordingHandler;
    RecordingHandler second;
    table()->resetToDefault();
    QCOMPARE(first->themeChanges, 1);
    QCOMPARE(second.themeChanges, 1);
    delete first; // must not be called any more
    table()->resetToDefault();
    QCOMPARE(second.themeChanges, 2);
}

void TestUiResource::clearLeavesOnlyFallbacks()
{
    const QString sizeKey = QStringLiteral("siz_message_box_margin");
    const QString colorKey = QStringLiteral("clr_global_blue");
    QVERIFY(table()->contains(sizeKey));
    QVERIFY(table()->getSize(sizeKey) > 0);
    const QColor* color = table()->getColor(colorKey);
    const QColor defaultColor = *color;
    RecordingHandler handler;

    table()->clear();
    QCOMPARE(handler.themeChanges, 1);
    QVERIFY(!table()->contains(sizeKey));
    QVERIFY(!table()->contains(colorKey));
    QCOMPARE(table()->getSize(sizeKey), 0);
    QVERIFY(table()->getPixmap(QStringLiteral("img_btn_positive"))->isNull());
    // The object a caller kept is the same one, now holding the fallback.
    QCOMPARE(table()->getColor(colorKey), color);
    QVERIFY(*color != defaultColor);

    table()->resetToDefault();
    QVERIFY(table()->contains(sizeKey));
    QCOMPARE(*color, defaultColor);
}

void TestUiResource::handlerDeletingAnotherDuringNotification()
{
    struct Killer : CUiResourceChangeHandler
    {
        CUiResourceChangeHandler** victim = nullptr;
        void themeChanged() override
        {
            delete *victim;
            *victim = nullptr;
        }
    };
    CUiResourceChangeHandler* victim = new RecordingHandler;
    Killer killer;
    killer.victim = &victim;
    table()->resetToDefault(); // whichever is told first, nothing dangles
    QVERIFY(!victim);
}

void TestUiResource::darkThemeIsComplete()
{
    // The shipped dark theme defines every key of the default theme, so switching to it
    // leaves nothing in the default's look.
    const auto sections = [](const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QJsonObject();
        return QJsonDocument::fromJson(file.readAll()).object();
    };
    const QJsonObject light = sections(
        QStringLiteral(DIALOG_SOURCE_DIR "/uibase/dialog/contracts/theme/default/theme.json"));
    const QString darkPath =
        QStringLiteral(DIALOG_SOURCE_DIR "/examples/gallery/themes/dark/theme.json");
    const QJsonObject dark = sections(darkPath);
    QVERIFY(!light.isEmpty());
    for (const QString& section : light.keys()) {
        QStringList lightKeys = light.value(section).toObject().keys();
        QStringList darkKeys = dark.value(section).toObject().keys();
        QCOMPARE(darkKeys, lightKeys);
    }
    WarningCounter warnings;
    QString error;
    QVERIFY2(table()->loadTheme(darkPath, &error), qPrintable(error));
    for (const QString& key : table()->keys()) {
        if (key.startsWith(QLatin1String("img_")))
            QVERIFY2(!table()->getPixmap(key)->isNull(), qPrintable(key));
    }
    QCOMPARE(warnings.count(QStringLiteral("theme key")), 0);
}

void TestUiResource::resetForgetsLoadedKeys()
{
    const QColor* kept = nullptr;
    {
        testsupport::TestTheme theme;
        theme.color(QStringLiteral("clr_only_in_test"), QColor(9, 9, 9))
            .image(QStringLiteral("img_only_in_test"), QSize(3, 3), QColor(Qt::red));
        QVERIFY(theme.apply());
        kept = table()->getColor(QStringLiteral("clr_only_in_test"));
        QVERIFY(table()->contains(QStringLiteral("img_only_in_test")));
    } // restores the default theme
    QVERIFY(!table()->contains(QStringLiteral("clr_only_in_test")));
    QVERIFY(!table()->keys().contains(QStringLiteral("img_only_in_test")));
    QVERIFY(table()->getPixmap(QStringLiteral("img_only_in_test"))->isNull());
    // A pointer taken earlier stays valid and now holds the fallback.
    QCOMPARE(table()->getColor(QStringLiteral("clr_only_in_test")), kept);
    QVERIFY(*kept != QColor(9, 9, 9));
}

QTEST_MAIN(TestUiResource)
#include "tst_uiresource.moc"
