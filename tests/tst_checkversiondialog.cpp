#include "testsupport.h"
#include "updaterig.h"

#include "uibase/dialog/contracts/network.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Omra;
using testsupport::CheckVersionDialog;
using testsupport::LocalHttpServer;
using testsupport::readFile;
using testsupport::UpdateRig;
using testsupport::writeFile;

namespace {

QString appDir()
{
    return QCoreApplication::applicationDirPath();
}

QString inAppDir(const QString& name)
{
    return QDir(appDir()).filePath(name);
}

QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// Makes the server misbehave at path: "cut" (a third, then closed), "huge" (claims 4 GiB),
// "404", "drip" (a byte every 150 ms) or "endless" (3 MiB, no length, in 64 KiB pieces).
void serveBroken(LocalHttpServer& server, const QString& path, const QString& how,
                 const QByteArray& body)
{
    LocalHttpServer::Resource resource;
    resource.body = body;
    if (how == QLatin1String("cut")) {
        resource.cutAfter = body.size() / 3;
    } else if (how == QLatin1String("huge")) {
        resource.announced = qint64(1) << 32;
    } else if (how == QLatin1String("drip")) {
        resource.chunkSize = 1;
        resource.chunkDelayMs = 150;
    } else if (how == QLatin1String("endless")) {
        resource.body = QByteArray(3 << 20, ' ');
        resource.sendLength = false;
        resource.chunkSize = 1 << 16;
        resource.chunkDelayMs = 2;
    } else {
        server.serveStatus(path, 404, body);
        return;
    }
    server.setResource(path, resource);
}

// The installer file as a test sees it: absent, as it was before the click, or as served.
QString describe(const QString& path, const QByteArray& before, const QByteArray& served)
{
    if (!QFileInfo::exists(path))
        return QStringLiteral("-");
    const QByteArray now = readFile(path);
    return now == served   ? QStringLiteral("downloaded")
           : now == before ? QStringLiteral("intact")
                           : QStringLiteral("changed");
}

} // namespace

class TestCheckVersionDialog : public QObject
{
    Q_OBJECT

    QSet<QWidget*> before;
    std::unique_ptr<UpdateRig> rig;

    // Serves an installer (body, or broken as serveBroken says) under name and a manifest
    // naming it as version 1.0.9, and checks it against 1.0.10.
    void offer(CheckVersionDialog& dialog, const QString& name, const QString& how,
               const QByteArray& body)
    {
        const QString path = QStringLiteral("/files/") + name;
        if (how == QLatin1String("slow"))
            rig->server.serveSlowly(path, body, 6000, 5);
        else if (!how.isEmpty() && how != QLatin1String("none"))
            serveBroken(rig->server, path, how, body);
        else
            rig->server.serve(path, body);
        const QByteArray url =
            how == QLatin1String("none") ? QByteArray() : rig->server.url(path).toUtf8();
        QCOMPARE(rig->check(dialog, "{\"version\":\"1.0.9\",\"exe_url\":\"" + url + "\"}",
                            QStringLiteral("1.0.10")),
                 0);
    }

private slots:
    void init()
    {
        before = testsupport::topLevelSnapshot();
        rig = std::make_unique<UpdateRig>();
        QVERIFY(rig->isReady());
    }

    void cleanup()
    {
        CMessageTip::hideTip();
        rig.reset();
        QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
    }

    // Construction clears what an earlier upgrade staged, and the base folder too when nothing
    // else is left in it.
    void constructionClearsStaging()
    {
        const QString base = rig->base.filePath(QStringLiteral("terminal"));
        QVERIFY(QDir().mkpath(base + QStringLiteral("/bin_tmp")));
        for (const char* file : {"/bin_tmp/Upgrade.exe", "/bin_tmp/a.dll"})
            QVERIFY(writeFile(base + QLatin1String(file), "old"));
        CheckVersionDialog dialog(appDir(), QString(), base);
        QVERIFY(!QFileInfo::exists(base));
    }

    void check_data()
    {
        QTest::addColumn<QString>("served"); // a body ($EXE: this program), or <how> or <left>
        QTest::addColumn<int>("size");       // a body padded to size
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("outcome"); // latest?|latest version|installer URL|kept
        auto row = [](const char* name, const char* served, int size, const char* query,
                      const char* current, const char* outcome) {
            QTest::newRow(name) << QString::fromUtf8(served) << size << QString::fromLatin1(query)
                                << QString::fromLatin1(current) << QString::fromUtf8(outcome);
        };
        const int MiB = 1 << 20;
        row("equal", R"({"version":"1.0.10","exe_url":"http://h/setup.exe"})", 0, "", "1.0.10",
            "1|1.0.10|http://h/setup.exe|1");
        row("1.0.9 against 1.0.10 differs", R"({"version":"1.0.9","exe_url":"http://h/s.exe"})", 0,
            "", "1.0.10", "0|1.0.9|http://h/s.exe|1");
        row("query text in the URL", R"({"version":"2.0","exe_url":"http://h/Q_2+x.exe"})", 0,
            "?channel=beta&t=1", "1.0", "0|2.0|http://h/Q_2+x.exe|1");
        row("missing", "<404>", 0, "", "1.0.10", "0|||0");
        row("connection cut", "<cut>", 0, "", "1.0", "0|||0");
        row("exactly 1 MiB", R"({"version":"2.0"})", MiB, "", "1.0", "0|2.0||1");
        row("1 MiB + 1: refused, not kept", R"({"version":"2.0"})", MiB + 1, "", "1.0", "0|||0");
        row("endless: stopped at 1 MiB", "<endless>", 0, "", "1.0", "0|||0");
        row("a byte every 150 ms: ends at the deadline", "<drip>", 0, "", "1.0", "0|||0");
        // An older manifest in the folder never answers for a failed fetch.
        row("left from before, names another version", "<left>", 0, "", "1.0", "0|||0");
        row("left from before, names this version", "<left>", 0, "", "2.0", "0|||0");
        // Installer names that are the terminal's own files, or no plain name, offer nothing.
        const QByteArray longest(128, 'a');
        const QByteArrayList names{
            "Upgrade.exe", "UPGRADE.EXE", "Qt5Core.dll", "libDialog.so", "libDialog.so.1",
            "bin_tmp",     "$EXE",        ".hidden.exe", "..",           "a%20b.exe",
            "a;b.exe",     longest + 'a', longest};
        for (const QByteArray& name : names) {
            const QByteArray body = "{\"version\":\"2.0\",\"exe_url\":\"http://h/" + name + "\"}";
            row("installer named " + name, body, 0, "", "1.0",
                "0|2.0|" + (name == longest ? "http://h/" + name : QByteArray()) + "|1");
        }
    }

    // One check against the local server: "下载" disabled until the step ends, a click meanwhile
    // ignored, one sigDownConfigFinish with exact string equality, nothing read from a failed
    // or refused answer, and the manifest kept under the URL's file name exactly when read.
    void check()
    {
        QFETCH(QString, served);
        QFETCH(int, size);
        QFETCH(QString, query);
        QFETCH(QString, current);
        QFETCH(QString, outcome);
        const QString name = rig->uniqueName(QStringLiteral("version.json"));
        rig->appFile(name + query);
        const QString path = QLatin1Char('/') + name;
        const QByteArray evil = R"({"version":"6.6.6","exe_url":"http://h/evil.exe"})";
        QByteArray manifest = served.replace(QLatin1String("$EXE"), executableName()).toUtf8();
        if (size)
            manifest.append(QByteArray(size - manifest.size(), ' '));
        if (served == QLatin1String("<left>"))
            QVERIFY(writeFile(inAppDir(name), R"({"version":"2.0"})"));
        else if (served.startsWith(QLatin1Char('{')))
            rig->server.serve(path, manifest);
        else
            serveBroken(rig->server, path, served.mid(1, served.size() - 2), evil);

        CheckVersionDialog dialog(appDir(), QString(), rig->base.path());
        // A check without a URL is refused, but creates the downloader to shorten the timeout on.
        dialog.startGetLatestVersion();
        dialog.downloader->setTransferTimeout(300);
        auto* deadline = dialog.findChild<QTimer*>(QStringLiteral("manifestDeadline"));
        QCOMPARE(deadline->interval(), 30000);
        deadline->setInterval(1500);
        QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
        QSignalSpy passedOn(&dialog, &CCheckVersionDialog::sigDownProgress);
        QSignalSpy progress(dialog.downloader, &CHttpDownLoader::sigDownProgress);
        QElapsedTimer clock;
        clock.start();
        dialog.setCurrentVersion(current);
        dialog.setGetVersionUrl(rig->server.url(path + query));
        dialog.startGetLatestVersion();
        QVERIFY(!dialog.downloadButton->isEnabled());
        dialog.clickDownload();
        QVERIFY(finished.wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(QStringList({QString::number(finished.first().at(0).toBool()),
                              dialog.latestVersionText->getText(), dialog.exeUrl,
                              QString::number(QFileInfo::exists(inAppDir(name + query)))})
                     .join(QLatin1Char('|')),
                 outcome);
        QVERIFY(dialog.downloadButton->isEnabled());
        QVERIFY(dialog.downloadStage != 1);
        QCOMPARE(rig->asked, QStringList());
        QCOMPARE(rig->server.requests(), QStringList{path + query});
        // The manifest's progress is not passed on (the installer's is, see installerStage).
        QCOMPARE(passedOn.count(), 0);
        QCOMPARE(QDir(appDir()).entryList({name + '*'}, QDir::Files | QDir::Hidden).size(),
                 int(outcome.endsWith(QLatin1String("|1"))));
        if (outcome.endsWith(QLatin1String("|1")))
            QCOMPARE(readFile(inAppDir(name + query)), manifest);
        if (served == QLatin1String("<endless>"))
            QVERIFY(progress.last().at(0).toLongLong() <= (1 << 20) + (1 << 16));
        if (served == QLatin1String("<drip>"))
            QVERIFY(clock.elapsed() >= 1400); // a coarse timer may fire 5% early
    }

    void installerStage_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("name");      // of the installer; empty: a new one
        QTest::addColumn<QByteArray>("before"); // in the application folder before the click
        QTest::addColumn<QString>("outcome");   // error code|asked|button|installer|tip
        const QString notOwn = QStringLiteral("安装程序已存在且不是本次下载的，未使用");
        QTest::newRow("downloaded slowly, No")
            << "slow"
            << "" << QByteArray() << "0|升级 是否升级到最新版本？|1|downloaded|";
        QTest::newRow("refused: no installer URL") << "none"
                                                   << "" << QByteArray() << "2||0|-|";
        // A failed download never asks to upgrade.
        QTest::newRow("failed: connection cut") << "cut"
                                                << "" << QByteArray() << "10||0|-|";
        QTest::newRow("failed: 404") << "404"
                                     << "" << QByteArray() << "10||0|-|";
        QTest::newRow("failed: larger than the limit") << "huge"
                                                       << "" << QByteArray() << "11||0|-|";
        // A file this dialog did not save is neither taken as downloaded nor deleted.
        QTest::newRow("there before")
            << ""
            << "" << QByteArray("there before") << "1||1|intact|" + notOwn;
        QTest::newRow("names the upgrade program")
            << ""
            << "Upgrade.exe" << QByteArray() << "2||0|intact|";
        QTest::newRow("names a library")
            << ""
            << "Qt5Widgets.dll" << QByteArray("library") << "2||0|intact|";
    }

    // Through the user's path: a check offers the installer, "下载" fetches it, and the
    // question follows a saved download only. Cancel then stops everything and deletes only
    // the installer this dialog saved.
    void installerStage()
    {
        QFETCH(QString, setup);
        QFETCH(QString, name);
        QFETCH(QByteArray, before);
        QFETCH(QString, outcome);
        QVERIFY(rig->installUpgradeProgram());
        if (name.isEmpty())
            name = rig->uniqueName(QStringLiteral("setup.exe"));
        else
            rig->appFile(name);
        if (!before.isEmpty())
            QVERIFY(writeFile(inAppDir(name), before));
        before = readFile(inAppDir(name));
        const QByteArray installer(60000, 'i');
        CheckVersionDialog dialog(appDir(), QStringLiteral("--from-test"), rig->base.path());
        offer(dialog, name, setup, installer);
        dialog.downloader->setTransferTimeout(300);
        // Progress passed on, with the button's state right after each signal.
        QString enabled;
        connect(&dialog, &CCheckVersionDialog::sigDownProgress, this, [&] {
            QTimer::singleShot(
                0, this, [&] { enabled += QString::number(dialog.downloadButton->isEnabled()); });
        });
        rig->answer({QStringLiteral("否")});
        dialog.clickDownload();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.downloader->isRunning(), 8000);
        QTRY_VERIFY(!rig->asked.isEmpty() || !outcome.contains(QLatin1String("升级")));
        CMessageTip* tip = CMessageTip::current();
        QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(dialog.downloader->getErrorCode())
                     .arg(rig->asked.join(QLatin1Char(',')))
                     .arg(dialog.downloadButton->isEnabled())
                     .arg(describe(inAppDir(name), before, installer))
                     .arg(tip ? tip->text() : QString()),
                 outcome);
        if (setup == QLatin1String("slow")) {
            // The button comes back with the last progress signal, not before.
            QTRY_VERIFY(enabled.size() >= 3 && enabled.endsWith(QLatin1Char('1')));
            QCOMPARE(enabled.count(QLatin1Char('1')), 1);
        }
        dialog.clickCancel();
        QVERIFY(dialog.downloadButton->isEnabled() && !dialog.isVisible());
        QCOMPARE(describe(inAppDir(name), before, installer),
                 before.startsWith("<missing>") ? QStringLiteral("-") : QStringLiteral("intact"));
        QVERIFY(rig->recorded().isEmpty());
        QVERIFY(!QFileInfo::exists(rig->staging()));
        QTRY_COMPARE(rig->server.openConnections(), 0);
    }

    void install_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("upgradeParam");
        QTest::addColumn<QString>("base"); // under the temporary folder; empty: that folder
        QTest::addColumn<bool>("started");
        const QString token = QStringLiteral("--token=abc");
        const QString ok = QStringLiteral("确定"), no = QStringLiteral("否");
        QTest::newRow("ok") << QStringList{ok} << token << "" << true;
        QTest::newRow("no stops") << QStringList{no} << token << "" << false;
        QTest::newRow("closed without an answer") << QStringList() << token << "" << true;
        // The second click finds the installer this dialog saved and asks at once.
        QTest::newRow("no, then again: ok") << QStringList{no, ok} << token << "" << true;
        QTest::newRow("no shell in between")
            << QStringList{ok} << QStringLiteral("a b \"c\" $(touch x) ; 参数") << "" << true;
        QTest::newRow("staging folder cannot be made")
            << QStringList{ok} << token << "no/such" << false;
    }

    // The hand-over: exactly the upgrade program and the libraries of the application folder
    // are staged (a file staged before is not replaced), and the program gets three arguments.
    void install()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, upgradeParam);
        QFETCH(QString, base);
        QFETCH(bool, started);
        QVERIFY(rig->installUpgradeProgram());
        const QString dllA = rig->uniqueName(QStringLiteral("a.dll"));
        const QString dllLike = rig->uniqueName(QStringLiteral("c.dll.bak"));
        for (const QString& name : {dllA, dllLike, rig->uniqueName(QStringLiteral("other.txt"))})
            QVERIFY(writeFile(inAppDir(name), name.toUtf8()));
        const QString installer = rig->uniqueName(QStringLiteral("setup-2.0.exe"));
        CheckVersionDialog dialog(appDir(), upgradeParam,
                                  base.isEmpty() ? rig->base.path() : rig->base.filePath(base));
        offer(dialog, installer, QString(), "installer");
        // Staged after construction (which clears the folder): not overwritten.
        QVERIFY(QDir().mkdir(rig->staging()) &&
                writeFile(rig->staging() + QLatin1Char('/') + dllA, "old a"));
        rig->answer(answers.isEmpty() ? QStringList{QString()} : answers);
        for (int click = 0; click < qMax(1, answers.size()); ++click) {
            dialog.clickDownload();
            QTRY_COMPARE(rig->asked.size(), click + 1);
        }
        QCOMPARE(rig->server.requests().count(QStringLiteral("/files/") + installer), 1);
        QStringList staged = QDir(rig->staging()).entryList(QDir::Files);
        QCOMPARE(readFile(rig->staging() + QLatin1Char('/') + dllA), QByteArray("old a"));
        if (!started) {
            // Nothing copied; had the program been started, it would soon have written its record.
            QCOMPARE(staged, QStringList{dllA});
            QTest::qWait(300);
            QVERIFY(rig->recorded().isEmpty());
            return;
        }
        QCOMPARE(staged,
                 QDir(appDir()).entryList({QStringLiteral("*.dll"), QStringLiteral("Upgrade.exe")},
                                          QDir::Files));
        QVERIFY(staged.contains(dllA) && !staged.contains(dllLike));
        QTRY_VERIFY_WITH_TIMEOUT(!rig->recorded().isEmpty(), 5000);
        QCOMPARE(rig->recorded(),
                 (QStringList{upgradeParam, inAppDir(installer), rig->base.path()}));
        QVERIFY(!QFileInfo::exists(rig->base.filePath(QStringLiteral("x"))));
        QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("x"))));
    }
};

QTEST_MAIN(TestCheckVersionDialog)
#include "tst_checkversiondialog.moc"
