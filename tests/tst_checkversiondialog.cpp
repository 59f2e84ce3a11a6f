#include "localhttpserver.h"
#include "testsupport.h"

#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/contracts/network.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Omra;
using testsupport::LocalHttpServer;

namespace {

class Dialog : public CCheckVersionDialog
{
public:
    using CCheckVersionDialog::CCheckVersionDialog;
    using CCheckVersionDialog::currentVersionText;
    using CCheckVersionDialog::downloadButton;
    using CCheckVersionDialog::downloader;
    using CCheckVersionDialog::downloadStage;
    using CCheckVersionDialog::exeUrl;
    using CCheckVersionDialog::latestVersionText;
    using CCheckVersionDialog::startInstall;
    CPushButton* cancelButton() const
    {
        return findChild<CPushButton*>(QStringLiteral("cancelButton"));
    }
};

QString appDir()
{
    return QCoreApplication::applicationDirPath();
}

QString inAppDir(const QString& name)
{
    return QDir(appDir()).filePath(name);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The fake upgrade program's record: argument count, then the arguments.
QStringList readRecord(const QString& path)
{
    return QString::fromUtf8(readFile(path)).chopped(1).split(QLatin1Char('\n'));
}

QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Answers the upgrade confirmation inside its modal loop with "确定", "否" or "close" (the
// frame's close button); the result describes the box: title, question, Ok and No. Once the
// result is dropped, a box that appears later is left to whoever waits for it.
std::shared_ptr<QString> answerConfirmation(const QString& answer)
{
    auto result = std::make_shared<QString>();
    testsupport::whenModal([answer, weak = std::weak_ptr<QString>(result)](QWidget* box) {
        const std::shared_ptr<QString> seen = weak.lock();
        if (!seen)
            return;
        bool asks = false;
        for (CSimpleTextWidget* widget : box->findChildren<CSimpleTextWidget*>())
            asks |= widget->getText() == QStringLiteral("是否升级到最新版本？");
        *seen = QStringLiteral("%1 %2 %3")
                    .arg(box->windowTitle())
                    .arg(asks)
                    .arg(buttonWithText(box, QStringLiteral("确定")) &&
                         buttonWithText(box, QStringLiteral("否")));
        QPushButton* button = answer == QLatin1String("close")
                                  ? box->findChild<QPushButton*>(QStringLiteral("closeButton"))
                                  : buttonWithText(box, answer);
        QTest::mouseClick(button, Qt::LeftButton);
    });
    return result;
}

// Makes the server misbehave at path: "cut", "huge" or "404".
void serveBroken(LocalHttpServer& server, const QString& path, const QString& how,
                 const QByteArray& body)
{
    LocalHttpServer::Resource resource;
    resource.body = body;
    resource.cutAfter = body.size() / 3;
    if (how == QLatin1String("huge")) { // claims 4 GiB, past any download limit
        resource.cutAfter = -1;
        resource.announced = qint64(1) << 32;
    }
    if (how != QLatin1String("404"))
        server.setResource(path, resource);
    else
        server.serveStatus(path, 404, body);
}

} // namespace

class TestCheckVersionDialog : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> baseDir;
    QStringList createdNames;
    int counter = 0;

    // A name in the application directory that no other test uses; removed in cleanup().
    QString uniqueName(const QString& suffix)
    {
        createdNames << QStringLiteral("tst_checkversion_%1_%2_%3")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++counter)
                            .arg(suffix);
        return createdNames.last();
    }

    void startCheck(Dialog& dialog, const QString& path, const QString& current)
    {
        dialog.setCurrentVersion(current);
        dialog.setGetVersionUrl(server->url(path));
        dialog.startGetLatestVersion();
    }

    // Installs an Upgrade.exe that records its argument count and arguments, one per line;
    // returns the record's path.
    QString writeFakeUpgrade()
    {
        const QByteArray record = baseDir->filePath(QStringLiteral("record.txt")).toUtf8();
        const QByteArray script =
            "#!/bin/sh\n"
            "{ printf '%s\\n' \"$#\"; for a do printf '%s\\n' \"$a\"; done; } > '" +
            record + ".part' && mv '" + record + ".part' '" + record + "'\n";
        const QString path = inAppDir(QStringLiteral("Upgrade.exe"));
        createdNames << QStringLiteral("Upgrade.exe");
        if (!writeFile(path, script) ||
            !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return QString();
        return QString::fromUtf8(record);
    }

private slots:
    void init()
    {
        before = testsupport::topLevelSnapshot();
        server = std::make_unique<LocalHttpServer>();
        QVERIFY(server->start());
        baseDir = std::make_unique<QTemporaryDir>();
        QVERIFY(baseDir->isValid());
        // Keeps the base directory from counting as empty when the staging folder goes.
        QVERIFY(writeFile(baseDir->filePath(QStringLiteral("keep")), "keep"));
    }

    void cleanup()
    {
        CMessageTip::hideTip();
        for (const QString& name : qAsConst(createdNames))
            QFile::remove(inAppDir(name));
        createdNames.clear();
        server.reset();
        baseDir.reset();
        QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
    }

    void layout()
    {
        testsupport::TestTheme theme;
        theme.size(QStringLiteral("siz_account_btn_width_small"), 70)
            .size(QStringLiteral("siz_account_btn_height"), 25)
            .font(QStringLiteral("fnt_default_large"), 16);
        QVERIFY(theme.apply());
        Dialog dialog(appDir(), QString(), baseDir->path());
        dialog.setCurrentVersion(QStringLiteral("1.0.10"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(400, 200));
        // One pixel inside the frame band, below the title bar.
        QWidget* inner = dialog.getInnerWidget();
        QCOMPARE(inner->geometry(), QRect(13, 42, 400 - 26, 200 - 42 - 13));
        const int innerWidth = inner->width(), innerHeight = inner->height();
        CPushButton* cancel = dialog.cancelButton();
        QCOMPARE(cancel->geometry(), QRect(innerWidth - 10 - 70, innerHeight - 20 - 25, 70, 25));
        QCOMPARE(dialog.downloadButton->geometry(),
                 QRect(cancel->x() - 10 - 70, cancel->y(), 70, 25));

        auto* currentCaption = dialog.findChild<QWidget*>(QStringLiteral("currentVersionCaption"));
        auto* latestCaption = dialog.findChild<QWidget*>(QStringLiteral("latestVersionCaption"));
        QCOMPARE((QList<int>{currentCaption->x(), latestCaption->x(),
                             dialog.currentVersionText->x(), dialog.latestVersionText->x(),
                             dialog.currentVersionText->geometry().right()}),
                 (QList<int>{30, 30, 30 + 75 + 10, 30 + 75 + 10, innerWidth - 1}));
        // Rows: stretch, current, 20, latest, stretch, buttons, 20.
        QCOMPARE(latestCaption->y() - currentCaption->geometry().bottom() - 1, 20);
    }

    // Construction clears what an earlier upgrade staged, and the base folder too when nothing
    // else is left in it.
    void constructionClearsStaging()
    {
        const QString base = baseDir->filePath(QStringLiteral("terminal"));
        QVERIFY(QDir().mkpath(base + QStringLiteral("/bin_tmp")));
        for (const char* file : {"/bin_tmp/Upgrade.exe", "/bin_tmp/a.dll"})
            QVERIFY(writeFile(base + QLatin1String(file), "old"));
        Dialog dialog(appDir(), QString(), base);
        QVERIFY(!QFileInfo::exists(base));
    }

    void check_data()
    {
        QTest::addColumn<QString>("served"); // a body, or <404>, <stall>, <cut>, <404 page>,
        QTest::addColumn<int>("size"); // a manifest padded to size, <left> from before (404 now)
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("outcome"); // latest?|latest version|installer URL|error code
        auto row = [](const char* name, const char* served, int size, const char* query,
                      const QString& current, const QString& outcome) {
            QTest::newRow(name) << QString::fromUtf8(served) << size << QString::fromLatin1(query)
                                << current << outcome;
        };
        const int MiB = 1 << 20;
        row("equal", R"({"version":"1.0.10","exe_url":"http://h/setup.exe"})", 0, "", "1.0.10",
            "1|1.0.10|http://h/setup.exe|0");
        row("1.0.9 against 1.0.10 differs", R"({"version":"1.0.9","exe_url":"http://h/s.exe"})", 0,
            "", "1.0.10", "0|1.0.9|http://h/s.exe|0");
        row("query text in the URL", R"({"version":"2.0","exe_url":"http://h/q.exe"})", 0,
            "?channel=beta&t=1", "1.0", "0|2.0|http://h/q.exe|0");
        row("missing", "<404>", 0, "", "1.0.10", "0|||10");
        row("connection cut", "<cut>", 0, "", "1.0", "0|||10");
        row("downloaded, exactly 1 MiB", R"({"version":"2.0"})", MiB, "", "1.0", "0|2.0||0");
        row("downloaded, 1 MiB + 1: not read", R"({"version":"2.0"})", MiB + 1, "", "1.0", "0|||0");
        // An older manifest in the folder never answers for a failed fetch.
        row("left from before, names another version", "<left>", 0, "", "1.0", "0|||10");
        row("left from before, names this version", "<left>", 0, "", "2.0", "0|||10");
    }

    // One check against the local server: one sigDownConfigFinish with exact string equality,
    // nothing read from a failed answer, and the manifest saved under the URL's file name (with
    // no temporary beside it) exactly when it was read.
    void check()
    {
        QFETCH(QString, served);
        QFETCH(int, size);
        QFETCH(QString, query);
        QFETCH(QString, current);
        QFETCH(QString, outcome);
        const QString name = uniqueName(QStringLiteral("version.json"));
        createdNames << name + query;
        const QString path = QLatin1Char('/') + name;
        const QByteArray evil = R"({"version":"6.6.6","exe_url":"http://h/evil.exe"})";
        QByteArray manifest = served.toUtf8();
        if (size)
            manifest.append(QByteArray(size - manifest.size(), ' '));
        if (served == QLatin1String("<left>"))
            QVERIFY(writeFile(inAppDir(name), R"({"version":"2.0"})"));
        else if (served.startsWith(QLatin1Char('{')))
            server->serve(path, manifest);
        else if (served != QLatin1String("<404>"))
            serveBroken(*server, path, served.mid(1, served.indexOf(QLatin1Char('>')) - 1), evil);

        Dialog dialog(appDir(), QString(), baseDir->path());
        // A check without a URL is refused, but creates the downloader to shorten the timeout on.
        dialog.startGetLatestVersion();
        dialog.downloader->setTransferTimeout(300);
        QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
        QSignalSpy passedOn(&dialog, &CCheckVersionDialog::sigDownProgress);
        QSignalSpy progress(dialog.downloader, &CHttpDownLoader::sigDownProgress);
        startCheck(dialog, path + query, current);
        QVERIFY(finished.wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(QStringList({QString::number(finished.first().at(0).toBool()),
                              dialog.latestVersionText->getText(), dialog.exeUrl,
                              QString::number(dialog.downloader->getErrorCode())})
                     .join(QLatin1Char('|')),
                 outcome);
        QCOMPARE(server->requests(), QStringList{path + query});
        // The manifest's progress is not passed on (the installer's is, see installerDownload).
        QCOMPARE(passedOn.count(), 0);
        const bool read = outcome.endsWith(QLatin1String("|0"));
        QCOMPARE(QDir(appDir()).entryList({name + '*'}, QDir::Files | QDir::Hidden),
                 read ? QStringList{name + query} : QStringList());
        if (read) {
            QCOMPARE(readFile(inAppDir(name + query)), manifest);
            QVERIFY(progress.count() > 0);
        }
    }

    void installerStage_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("outcome"); // error code, confirmation, button, installer size
        QTest::newRow("downloaded slowly") << "slow"
                                           << "0|升级 1 1|1|60000";
        QTest::newRow("refused: no installer URL") << ""
                                                   << "2||0|-1";
        // A failed download never asks to upgrade (the answer would be "确定").
        QTest::newRow("failed: connection cut") << "cut"
                                                << "10||0|-1";
        QTest::newRow("failed: 404") << "404"
                                     << "10||0|-1";
        QTest::newRow("failed: larger than the limit") << "huge"
                                                       << "11||0|-1";
        QTest::newRow("downloaded before: straight to install") << "exists"
                                                                << "1|升级 1 1|1|17";
    }

    // Through the user's path: a check finds the installer, the download button fetches it, and
    // the confirmation follows any finish, failed ones included ("否" ends the step there; an
    // installer downloaded before skips the download and is installed at once). Only a complete
    // download brings the button back; after a refusal or failure cancel does.
    void installerStage()
    {
        QFETCH(QString, setup);
        QFETCH(QString, outcome);
        const QString name = uniqueName(QStringLiteral("setup.exe"));
        const QString path = QStringLiteral("/files/") + name;
        const QString record = writeFakeUpgrade();
        QVERIFY(!record.isEmpty());
        const QByteArray installer(60000, 'i');
        if (setup == QLatin1String("slow")) {
            server->serveSlowly(path, installer, 6000, 5);
        } else if (setup == QLatin1String("cut") || setup == QLatin1String("404") ||
                   setup == QLatin1String("huge")) {
            serveBroken(*server, path, setup, installer);
        } else if (setup == QLatin1String("exists")) {
            QVERIFY(writeFile(inAppDir(name), "downloaded before"));
            server->serve(path, installer);
        }
        const QByteArray exeUrl = setup.isEmpty() ? QByteArray() : server->url(path).toUtf8();
        server->serve(QStringLiteral("/v.json"),
                      "{\"version\":\"1.0.9\",\"exe_url\":\"" + exeUrl + "\"}");
        // The installer and anything beside it (a temporary file): other tests share the folder.
        const auto listAppDir = [&name] {
            return QDir(appDir()).entryList(QStringList{name + QLatin1Char('*')},
                                            QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        const QStringList appDirBefore = listAppDir();
        Dialog dialog(appDir(), QStringLiteral("--from-test"), baseDir->path());
        QSignalSpy configFinished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
        startCheck(dialog, QStringLiteral("/v.json"), QStringLiteral("1.0.10"));
        QVERIFY(configFinished.wait(5000));
        dialog.downloader->setTransferTimeout(300);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Progress passed on, with the button's state right after each signal.
        QString enabled, last;
        connect(&dialog, &CCheckVersionDialog::sigDownProgress, this,
                [&](qint64 got, qint64 total) {
                    last = QStringLiteral("%1/%2").arg(got).arg(total);
                    QTimer::singleShot(0, this, [&] {
                        enabled += QString::number(dialog.downloadButton->isEnabled());
                    });
                });
        QSignalSpy finished(&dialog, &QDialog::finished);
        const QString answer =
            setup == QLatin1String("slow") ? QStringLiteral("否") : QStringLiteral("确定");
        auto confirmation = answerConfirmation(answer);
        QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
        if (setup == QLatin1String("slow"))
            QCOMPARE(dialog.downloadStage, 1);
        // A confirmation that follows the end is answered inside the event processing that ends it.
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.downloader->isRunning(), 8000);
        QVERIFY(!QApplication::activeModalWidget());
        const QFileInfo file(inAppDir(name));
        QCOMPARE(QStringLiteral("%1|%2|%3|%4")
                     .arg(dialog.downloader->getErrorCode())
                     .arg(*confirmation)
                     .arg(dialog.downloadButton->isEnabled())
                     .arg(file.exists() ? file.size() : -1),
                 outcome);
        QCOMPARE(finished.count(), 0);
        // Only an accepted installation stages anything.
        QCOMPARE(QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))),
                 setup == QLatin1String("exists"));
        if (setup == QLatin1String("slow")) {
            // The button comes back with the last progress signal, not before.
            QCOMPARE(last, QStringLiteral("60000/60000"));
            QTRY_VERIFY(enabled.size() >= 3 && enabled.endsWith(QLatin1Char('1')));
            QCOMPARE(enabled.count(QLatin1Char('1')), 1);
            QCOMPARE(readFile(file.filePath()), installer);
        } else if (setup == QLatin1String("exists")) {
            QCOMPARE(server->requests(), QStringList{QStringLiteral("/v.json")});
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
            QCOMPARE(readRecord(record),
                     (QStringList{QStringLiteral("3"), QStringLiteral("--from-test"),
                                  file.filePath(), baseDir->path()}));
        } else {
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
            QVERIFY(dialog.downloadButton->isEnabled() && !dialog.isVisible());
            QCOMPARE(listAppDir(), appDirBefore);
            QTRY_COMPARE(server->openConnections(), 0);
        }
    }

    void install_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("upgradeParam");
        QTest::addColumn<QString>("base"); // under the temporary folder; empty: that folder
        QTest::addColumn<bool>("started");
        const QString token = QStringLiteral("--token=abc");
        QTest::newRow("ok") << "确定" << token << "" << true;
        QTest::newRow("no stops") << "否" << token << "" << false;
        QTest::newRow("closed without an answer") << "close" << token << "" << true;
        QTest::newRow("no shell in between")
            << "确定" << QStringLiteral("a b \"c\" $(touch x) ; 参数") << "" << true;
        QTest::newRow("staging folder cannot be made") << "确定" << token << "no/such" << false;
    }

    void install()
    {
        QFETCH(QString, answer);
        QFETCH(QString, upgradeParam);
        QFETCH(QString, base);
        QFETCH(bool, started);
        const QString record = writeFakeUpgrade();
        QVERIFY(!record.isEmpty());
        const QString dllA = uniqueName(QStringLiteral("a.dll"));
        const QString other = uniqueName(QStringLiteral("other.txt"));
        const QString dllLike = uniqueName(QStringLiteral("c.dll.bak"));
        for (const QString& name : {dllA, other, dllLike})
            QVERIFY(writeFile(inAppDir(name), name.toUtf8()));
        Dialog dialog(appDir(), upgradeParam,
                      base.isEmpty() ? baseDir->path() : baseDir->filePath(base));
        dialog.exeUrl = QStringLiteral("http://h/files/setup-2.0.exe");
        // Staged after construction (which clears the folder): not overwritten.
        const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
        QVERIFY(QDir().mkdir(staging) && writeFile(staging + QLatin1Char('/') + dllA, "old a"));

        auto confirmation = answerConfirmation(answer);
        dialog.startInstall();
        QVERIFY(!confirmation->isEmpty());
        QStringList staged = QDir(staging).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(readFile(staging + QLatin1Char('/') + dllA), QByteArray("old a"));
        QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("no"))));
        if (!started) {
            // Nothing copied; had the program been started, it would soon have written its record.
            QCOMPARE(staged, QStringList{dllA});
            QTest::qWait(300);
            QVERIFY(!QFileInfo::exists(record));
            return;
        }
        // Staged: exactly the upgrade program and the libraries of the application directory.
        QDir source(appDir());
        source.setNameFilters({QStringLiteral("*.dll"), QStringLiteral("Upgrade.exe")});
        QStringList expected = source.entryList(QDir::Files);
        QVERIFY(expected.contains(dllA) && !expected.contains(dllLike));
        expected.sort();
        staged.sort();
        QCOMPARE(staged, expected);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
        QCOMPARE(readRecord(record),
                 (QStringList{QStringLiteral("3"), upgradeParam,
                              inAppDir(QStringLiteral("setup-2.0.exe")), baseDir->path()}));
        QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("x"))));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("x"))));
    }
};

QTEST_MAIN(TestCheckVersionDialog)
#include "tst_checkversiondialog.moc"
