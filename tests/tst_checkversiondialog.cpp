#include "localhttpserver.h"
#include "testsupport.h"

#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/contracts/network.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
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
    using CCheckVersionDialog::handleEvent;
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

// Files in the application directory whose names begin with name (temporaries included).
QStringList leftovers(const QString& name)
{
    return QDir(appDir()).entryList({name + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
}

QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Answers the upgrade confirmation inside its modal loop with "确定", "否" or "close" (the
// frame's close button); the result describes the box: title, question, Ok and No.
std::shared_ptr<QString> answerConfirmation(const QString& answer)
{
    auto seen = std::make_shared<QString>();
    testsupport::whenModal([answer, seen](QWidget* box) {
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
    return seen;
}

// Makes the server misbehave at path: "stall", "cut" or "404".
void serveBroken(LocalHttpServer& server, const QString& path, const QString& how,
                 const QByteArray& body)
{
    LocalHttpServer::Resource resource;
    resource.body = body;
    resource.cutAfter = body.size() / 3;
    if (how == QLatin1String("stall"))
        server.serveStalling(path, body, body.size() / 3);
    else if (how == QLatin1String("cut"))
        server.setResource(path, resource);
    else
        server.serveStatus(path, 404, body);
}

} // namespace

class TestCheckVersionDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout();
    void constructionClearsStaging_data();
    void constructionClearsStaging();

    void parseManifest_data();
    void parseManifest();
    void manifest_data();
    void manifest();
    void repeatedCheckKeepsEarlierValues();
    void manifestProgressNotPassedOn();
    void hostileManifestServer_data();
    void hostileManifestServer();
    void manifestSizeLimit_data();
    void manifestSizeLimit();

    void downloadWhenLatestShowsTip();
    void installerDownload();
    void cancelMidDownload();
    void cancelDeletesInstallerFromDownloadDir();
    void refusedInstallerRequest_data();
    void refusedInstallerRequest();
    void existingInstallerGoesStraightToInstall();
    void installerFailure_data();
    void installerFailure();
    void deletedWhileDownloading_data();
    void deletedWhileDownloading();
    void otherEvents();

    void install_data();
    void install();
    void installKeepsStagedFiles();

private:
    // A name in the application directory that no other test uses; removed in cleanup().
    QString uniqueName(const QString& suffix);
    void startCheck(Dialog& dialog, const QString& path, const QString& current);
    QString writeFakeUpgrade();
    QStringList readRecord(const QString& recordPath);

    QSet<QWidget*> before;
    std::unique_ptr<LocalHttpServer> server;
    std::unique_ptr<QTemporaryDir> baseDir;
    QStringList createdNames;
    int counter = 0;
};

void TestCheckVersionDialog::init()
{
    before = testsupport::topLevelSnapshot();
    server = std::make_unique<LocalHttpServer>();
    QVERIFY(server->start());
    baseDir = std::make_unique<QTemporaryDir>();
    QVERIFY(baseDir->isValid());
    // Keeps the base directory from counting as empty when the staging folder goes.
    QVERIFY(writeFile(baseDir->filePath(QStringLiteral("keep")), "keep"));
}

void TestCheckVersionDialog::cleanup()
{
    CMessageTip::hideTip();
    for (const QString& name : qAsConst(createdNames))
        QFile::remove(inAppDir(name));
    createdNames.clear();
    server.reset();
    baseDir.reset();
    QCOMPARE(testsupport::leakedTopLevels(before), QList<QWidget*>());
}

QString TestCheckVersionDialog::uniqueName(const QString& suffix)
{
    const QString name = QStringLiteral("tst_checkversion_%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(++counter)
                             .arg(suffix);
    createdNames << name;
    return name;
}

void TestCheckVersionDialog::startCheck(Dialog& dialog, const QString& path, const QString& current)
{
    dialog.setCurrentVersion(current);
    dialog.setGetVersionUrl(server->url(path));
    dialog.startGetLatestVersion();
}

// Installs an Upgrade.exe that records its argument count and arguments, one per line;
// returns the record's path.
QString TestCheckVersionDialog::writeFakeUpgrade()
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

QStringList TestCheckVersionDialog::readRecord(const QString& recordPath)
{
    QString text = QString::fromUtf8(readFile(recordPath));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TestCheckVersionDialog::layout()
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
    QCOMPARE(dialog.downloadButton->geometry(), QRect(cancel->x() - 10 - 70, cancel->y(), 70, 25));

    auto* currentCaption = dialog.findChild<QWidget*>(QStringLiteral("currentVersionCaption"));
    auto* latestCaption = dialog.findChild<QWidget*>(QStringLiteral("latestVersionCaption"));
    QCOMPARE(
        (QList<int>{currentCaption->x(), latestCaption->x(), dialog.currentVersionText->x(),
                    dialog.latestVersionText->x(), dialog.currentVersionText->geometry().right()}),
        (QList<int>{30, 30, 30 + 75 + 10, 30 + 75 + 10, innerWidth - 1}));
    // Rows: stretch, current, 20, latest, stretch, buttons, 20.
    const int rowHeight =
        qMax(currentCaption->sizeHint().height(), dialog.currentVersionText->sizeHint().height());
    const QRect currentRow = currentCaption->geometry() | dialog.currentVersionText->geometry();
    const QRect latestRow = latestCaption->geometry() | dialog.latestVersionText->geometry();
    QCOMPARE(currentRow.height(), rowHeight);
    QCOMPARE(latestRow.top() - currentRow.bottom() - 1, 20);
    const int top = currentRow.top(), middle = cancel->y() - latestRow.bottom() - 1;
    QVERIFY2(qAbs(top - middle) <= 1, qPrintable(QStringLiteral("%1 %2").arg(top).arg(middle)));
    QCOMPARE(top + middle, innerHeight - 2 * rowHeight - 20 - 25 - 20);
}

void TestCheckVersionDialog::constructionClearsStaging_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("baseHasOtherFiles");
    QTest::addColumn<QStringList>("left"); // the staging folder's entries, if it stays
    QTest::addColumn<bool>("baseLeft");
    QTest::newRow("files removed, folder removed")
        << QStringList{"Upgrade.exe", "a.dll"} << true << QStringList() << true;
    QTest::newRow("base left empty goes too")
        << QStringList{"a.dll"} << false << QStringList() << false;
    QTest::newRow("hidden file keeps the folder")
        << QStringList{"a.dll", ".hidden"} << true << QStringList{".hidden"} << true;
}

void TestCheckVersionDialog::constructionClearsStaging()
{
    QFETCH(QStringList, files);
    QFETCH(bool, baseHasOtherFiles);
    QFETCH(QStringList, left);
    QFETCH(bool, baseLeft);
    // A base folder of its own inside the temporary one, so that its removal can be seen.
    const QString base = baseDir->filePath(QStringLiteral("terminal"));
    const QString staging = base + QStringLiteral("/bin_tmp");
    QVERIFY(QDir().mkpath(staging));
    if (baseHasOtherFiles)
        QVERIFY(writeFile(base + QStringLiteral("/config.ini"), "x"));
    for (const QString& file : files)
        QVERIFY(writeFile(staging + QLatin1Char('/') + file, "old"));

    Dialog dialog(appDir(), QString(), base);
    QCOMPARE(QFileInfo::exists(staging), !left.isEmpty());
    QCOMPARE(QDir(staging).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), left);
    QCOMPARE(QFileInfo::exists(base), baseLeft);
    QCOMPARE(QFileInfo::exists(base + QStringLiteral("/config.ini")), baseHasOtherFiles);
}

void TestCheckVersionDialog::parseManifest_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("read"); // what was read, version, installer URL
    const QString version = QString::number(CCheckVersionDialog::ManifestVersion);
    const QString exe = QString::number(CCheckVersionDialog::ManifestExeUrl);
    const QString both =
        QString::number(CCheckVersionDialog::ManifestVersion | CCheckVersionDialog::ManifestExeUrl);
    const QString unset = QStringLiteral("<unset>");
    const QStringList nothing{QStringLiteral("0"), unset, unset};
    auto row = [](const char* name, const char* json, const QStringList& read) {
        QTest::newRow(name) << QByteArray(json) << read;
    };
    row("both", R"({"version":"1.0.10","exe_url":"http://h/s.exe"})",
        {both, "1.0.10", "http://h/s.exe"});
    row("exe_url only", R"({"exe_url":"u"})", {exe, unset, "u"});
    row("empty text", "", nothing);
    row("not JSON", "version=1.0", nothing);
    row("version a number", R"({"version":1.5,"exe_url":"u"})", nothing);
    row("exe_url a number", R"({"version":"3.0","exe_url":7})", {version, "3.0", unset});
    row("duplicate version: first wins", R"({"version":"2.0","version":"3.0"})",
        {version, "2.0", unset});
    row("UTF-8 text", "{\"version\":\"\xE7\x89\x88\xE6\x9C\xAC 6\"}",
        {version, QStringLiteral("版本 6"), unset});
}

void TestCheckVersionDialog::parseManifest()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, read);
    QString version = QStringLiteral("<unset>"), exeUrl = version;
    const std::string input(bytes.constData(), std::size_t(bytes.size()));
    const int got = CCheckVersionDialog::parseManifest(input, &version, &exeUrl);
    QCOMPARE((QStringList{QString::number(got), version, exeUrl}), read);
    QCOMPARE(CCheckVersionDialog::parseManifest(input, nullptr, nullptr), got);
}

void TestCheckVersionDialog::manifest_data()
{
    QTest::addColumn<QString>("served"); // "<404>" for a missing manifest
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("exeUrl");
    QTest::addColumn<bool>("bLatest");
    auto row = [](const char* name, const QString& served, const char* query,
                  const QString& current, const QString& latest, const char* exeUrl, bool bLatest) {
        QTest::newRow(name) << served << QString::fromLatin1(query) << current << latest
                            << QString::fromLatin1(exeUrl) << bLatest;
    };
    row("equal", R"({"version":"1.0.10","exe_url":"http://h/setup.exe"})", "", "1.0.10", "1.0.10",
        "http://h/setup.exe", true);
    row("1.0.9 against 1.0.10 differs", R"({"version":"1.0.9","exe_url":"http://h/s.exe"})", "",
        "1.0.10", "1.0.9", "http://h/s.exe", false);
    row("missing", "<404>", "", "1.0.10", "", "", false);
    row("missing, no current version", "<404>", "", "", "", "", true);
    row("query text in the URL", R"({"version":"2.0","exe_url":"http://h/q.exe"})",
        "?channel=beta&t=1", "1.0", "2.0", "http://h/q.exe", false);
}

void TestCheckVersionDialog::manifest()
{
    QFETCH(QString, served);
    QFETCH(QString, query);
    QFETCH(QString, current);
    QFETCH(QString, latest);
    QFETCH(QString, exeUrl);
    QFETCH(bool, bLatest);
    const QString name = uniqueName(QStringLiteral("version.json"));
    const QString savedName = name + query;
    createdNames << savedName;
    if (served != QLatin1String("<404>"))
        server->serve(QLatin1Char('/') + name, served.toUtf8());

    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(dialog, QLatin1Char('/') + name + query, current);
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished, (QList<QList<QVariant>>{{bLatest}}));
    QCOMPARE(dialog.latestVersionText->getText(), latest);
    QCOMPARE(dialog.exeUrl, exeUrl);
    QCOMPARE(server->requests(), QStringList{QLatin1Char('/') + name + query});
    // The manifest is saved in the application directory under the URL's file name.
    QCOMPARE(readFile(inAppDir(savedName)),
             served == QLatin1String("<404>") ? QByteArray("<missing>") : served.toUtf8());
}

void TestCheckVersionDialog::repeatedCheckKeepsEarlierValues()
{
    const QString name = uniqueName(QStringLiteral("again.json"));
    const QString path = QLatin1Char('/') + name;
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    // Checks against manifest (none: missing) and describes the outcome.
    auto check = [&](const QByteArray& manifest) {
        if (manifest.isNull()) {
            server->remove(path);
            QFile::remove(inAppDir(name));
        } else {
            server->serve(path, manifest);
        }
        dialog.startGetLatestVersion();
        const bool ended = finished.wait(5000);
        return QStringLiteral("%1 %2 %3 %4")
            .arg(ended && finished.last().at(0).toBool())
            .arg(dialog.latestVersionText->getText(), dialog.exeUrl)
            .arg(finished.count());
    };
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.setGetVersionUrl(server->url(path));
    QCOMPARE(check("{\"version\":\"2.0\",\"exe_url\":\"http://h/first.exe\"}"),
             QStringLiteral("0 2.0 http://h/first.exe 1"));
    CHttpDownLoader* first = dialog.downloader;
    // exe_url of the wrong type: the version changes, the installer URL stays.
    QCOMPARE(check("{\"version\":\"3.0\",\"exe_url\":false}"),
             QStringLiteral("0 3.0 http://h/first.exe 2"));
    QCOMPARE(dialog.downloader, first);
    // Broken and then missing manifests keep both.
    QCOMPARE(check("{\"version\":"), QStringLiteral("0 3.0 http://h/first.exe 3"));
    QCOMPARE(check(QByteArray()), QStringLiteral("0 3.0 http://h/first.exe 4"));
    // The current version moved on to the published one.
    dialog.setCurrentVersion(QStringLiteral("3.0"));
    QCOMPARE(check("{\"version\":\"3.0\"}"), QStringLiteral("1 3.0 http://h/first.exe 5"));
}

// Progress of the manifest is not passed on (the installer's is, see installerDownload).
void TestCheckVersionDialog::manifestProgressNotPassedOn()
{
    const QString name = uniqueName(QStringLiteral("slow.json"));
    QByteArray manifest = R"({"version":"2.0","exe_url":"http://h/s.exe","notes":")";
    manifest += QByteArray(20000, 'n') + "\"}";
    server->serveSlowly(QLatin1Char('/') + name, manifest, 2000, 5);
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(dialog, QLatin1Char('/') + name, QStringLiteral("1.0"));
    QSignalSpy downloaderProgress(dialog.downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(finished.wait(5000));
    QVERIFY(downloaderProgress.count() > 1);
    QCOMPARE(progress.count(), 0);
}

void TestCheckVersionDialog::hostileManifestServer_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("stalls mid-manifest") << "stall";
    QTest::newRow("connection cut") << "cut";
    QTest::newRow("404 with a manifest-like page") << "404";
}

// Whatever the server does, the check ends with one sigDownConfigFinish, reads nothing from
// a failed answer and leaves no manifest file behind.
void TestCheckVersionDialog::hostileManifestServer()
{
    QFETCH(QString, setup);
    const QString name = uniqueName(QStringLiteral("hostile.json"));
    serveBroken(*server, QLatin1Char('/') + name, setup,
                R"({"version":"6.6.6","exe_url":"http://h/evil.exe"})");
    auto dialog = std::make_unique<Dialog>(appDir(), QString(), baseDir->path());
    // A check without a URL is refused, but creates the downloader to shorten the timeout on.
    dialog->startGetLatestVersion();
    dialog->downloader->setTransferTimeout(300);
    QSignalSpy finished(dialog.get(), &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(*dialog, QLatin1Char('/') + name, QStringLiteral("1.0"));
    QVERIFY(finished.wait(10000));
    QCoreApplication::processEvents();
    QCOMPARE(finished, (QList<QList<QVariant>>{{false}}));
    QCOMPARE(dialog->downloader->getErrorCode(), int(CHttpDownLoader::ErrorNetwork));
    QCOMPARE(dialog->latestVersionText->getText() + dialog->exeUrl, QString());
    QCOMPARE(leftovers(name), QStringList());
    // Nothing is left hanging once the dialog has gone.
    dialog.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_COMPARE(server->openConnections(), 0);
}

void TestCheckVersionDialog::manifestSizeLimit_data()
{
    QTest::addColumn<bool>("served"); // else a file left from before, and the server says 404
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("latest");
    QTest::newRow("downloaded, exactly 1 MiB") << true << (1 << 20) << "2.0";
    QTest::newRow("downloaded, 1 MiB + 1") << true << (1 << 20) + 1 << "";
    QTest::newRow("left from before, exactly 1 MiB") << false << (1 << 20) << "2.0";
    QTest::newRow("left from before, 1 MiB + 1") << false << (1 << 20) + 1 << "";
}

void TestCheckVersionDialog::manifestSizeLimit()
{
    QFETCH(bool, served);
    QFETCH(int, size);
    QFETCH(QString, latest);
    const QString name = uniqueName(QStringLiteral("sized.json"));
    QByteArray manifest = R"({"version":"2.0"})";
    manifest.append(QByteArray(size - manifest.size(), ' '));
    if (served)
        server->serve(QLatin1Char('/') + name, manifest);
    else
        QVERIFY(writeFile(inAppDir(name), manifest));
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(dialog, QLatin1Char('/') + name, QStringLiteral("1.0"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(dialog.latestVersionText->getText(), latest);
    if (served)
        QCOMPARE(QFileInfo::exists(inAppDir(name)), !latest.isEmpty());
}

void TestCheckVersionDialog::downloadWhenLatestShowsTip()
{
    const QString name = uniqueName(QStringLiteral("same.json"));
    server->serve(QLatin1Char('/') + name, R"({"version":"1.0.10","exe_url":"http://h/s.exe"})");
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(dialog, QLatin1Char('/') + name, QStringLiteral("1.0.10"));
    QVERIFY(finished.wait(5000));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    CMessageTip* tip = CMessageTip::current();
    QVERIFY(tip);
    QCOMPARE(tip->text(), QStringLiteral("当前已是最新版本!"));
    // Centred below the button; nothing else happens.
    const QRect anchor(dialog.downloadButton->mapToGlobal(QPoint(0, 0)),
                       dialog.downloadButton->size());
    QCOMPARE(tip->pos(),
             QPoint(anchor.left() + (anchor.width() - tip->width()) / 2, anchor.bottom() + 1 + 4));
    QCOMPARE(dialog.downloadStage, 0);
    QVERIFY(dialog.downloadButton->isEnabled());
    QCOMPARE(server->requests().size(), 1);
}

void TestCheckVersionDialog::installerDownload()
{
    const QString manifestName = uniqueName(QStringLiteral("v.json"));
    const QString installerName = uniqueName(QStringLiteral("setup.exe"));
    const QByteArray installer = QByteArray(60000, 'i');
    server->serve(QLatin1Char('/') + manifestName,
                  "{\"version\":\"1.0.9\",\"exe_url\":\"" +
                      server->url(QStringLiteral("/files/") + installerName).toUtf8() + "\"}");
    server->serveSlowly(QStringLiteral("/files/") + installerName, installer, 6000, 5);
    Dialog dialog(appDir(), QStringLiteral("param"), baseDir->path());
    QSignalSpy configFinished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startCheck(dialog, QLatin1Char('/') + manifestName, QStringLiteral("1.0.10"));
    QVERIFY(configFinished.wait(5000));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Progress passed on, and whether the button was enabled right after each signal.
    QList<QPair<qint64, bool>> seen;
    connect(&dialog, &CCheckVersionDialog::sigDownProgress, this, [&](qint64 received, qint64) {
        QTimer::singleShot(0, this, [&, received] {
            seen << qMakePair(received, dialog.downloadButton->isEnabled());
        });
    });
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QCOMPARE(dialog.downloadStage, 1);
    QVERIFY(!dialog.downloadButton->isEnabled());

    // The finished installer brings the confirmation; "否" ends the step there.
    auto confirmation = answerConfirmation(QStringLiteral("否"));
    QTRY_VERIFY_WITH_TIMEOUT(!confirmation->isEmpty(), 5000);
    QCOMPARE(*confirmation, QStringLiteral("升级 1 1"));
    QVERIFY(progress.count() >= 3);
    qint64 previous = 0;
    for (const QList<QVariant>& args : qAsConst(progress)) {
        QVERIFY(args.at(0).toLongLong() >= previous && args.at(1).toLongLong() == installer.size());
        previous = args.at(0).toLongLong();
    }
    QCOMPARE(previous, qint64(installer.size()));
    QTRY_COMPARE(seen.size(), progress.size());
    for (const auto& entry : qAsConst(seen))
        QCOMPARE(entry.second, entry.first == installer.size());
    QCOMPARE(readFile(inAppDir(installerName)), installer);
    // No: nothing staged, the dialog stays as it was.
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
    QVERIFY(dialog.isVisible());
}

void TestCheckVersionDialog::cancelMidDownload()
{
    const QString installerName = uniqueName(QStringLiteral("big.exe"));
    // Stalls after the first chunk until the client goes away.
    server->serveSlowly(QLatin1Char('/') + installerName, QByteArray(100000, 'b'), 1000, 60000);
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.exeUrl = server->url(QLatin1Char('/') + installerName);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    QSignalSpy finished(&dialog, &QDialog::finished);

    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QCOMPARE(dialog.downloadStage, -1);
    QCOMPARE(finished.count(), 1);
    QVERIFY(dialog.downloadButton->isEnabled());
    QVERIFY(!dialog.downloader->isRunning());
    QCOMPARE(leftovers(installerName), QStringList());
    QTRY_COMPARE(server->openConnections(), 0);
    // No installation follows a cancelled download.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
}

void TestCheckVersionDialog::cancelDeletesInstallerFromDownloadDir()
{
    QTemporaryDir downloads;
    const QString installer = downloads.filePath(QStringLiteral("setup.exe"));
    QVERIFY(writeFile(installer, "complete installer"));
    QVERIFY(writeFile(downloads.filePath(QStringLiteral("other.exe")), "other"));
    Dialog dialog(downloads.path(), QString(), baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/files/setup.exe");
    dialog.show();
    dialog.handleEvent(UiEventClick, 1, 0, QString(), nullptr);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!QFileInfo::exists(installer));
    // An empty installer URL names no file: the folder itself is left alone.
    Dialog second(downloads.path(), QString(), baseDir->path());
    second.handleEvent(UiEventClick, 1, 0, QString(), nullptr);
    QVERIFY(QFileInfo::exists(downloads.filePath(QStringLiteral("other.exe"))));
}

void TestCheckVersionDialog::refusedInstallerRequest_data()
{
    QTest::addColumn<QString>("exeUrl");
    QTest::addColumn<int>("code");
    QTest::newRow("no installer URL") << "" << int(CHttpDownLoader::ErrorBadUrl);
    QTest::newRow("file scheme") << "file:///etc/passwd"
                                 << int(CHttpDownLoader::ErrorUnsupportedScheme);
}

void TestCheckVersionDialog::refusedInstallerRequest()
{
    QFETCH(QString, exeUrl);
    QFETCH(int, code);
    const auto listAppDir = [] {
        return QDir(appDir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList appDirBefore = listAppDir();
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.exeUrl = exeUrl;
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    // A click before any check creates the downloader it needs.
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QCOMPARE(dialog.downloader->getErrorCode(), code);
    QVERIFY(!dialog.downloadButton->isEnabled());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(finished.count(), 0);
    // Cancel re-enables the button and closes.
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(dialog.downloadButton->isEnabled());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(listAppDir(), appDirBefore);
}

void TestCheckVersionDialog::existingInstallerGoesStraightToInstall()
{
    const QString installerName = uniqueName(QStringLiteral("ready.exe"));
    QVERIFY(writeFile(inAppDir(installerName), "downloaded before"));
    const QString record = writeFakeUpgrade();
    QVERIFY(!record.isEmpty());
    Dialog dialog(appDir(), QStringLiteral("--from-test"), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.exeUrl = server->url(QLatin1Char('/') + installerName);
    server->serve(QLatin1Char('/') + installerName, "newer installer");
    dialog.show();

    auto confirmation = answerConfirmation(QStringLiteral("确定"));
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QVERIFY(!confirmation->isEmpty()); // inside the click
    QCOMPARE(dialog.downloader->getErrorCode(), int(CHttpDownLoader::ErrorFileExists));
    QCOMPARE(server->requests(), QStringList());
    QCOMPARE(readFile(inAppDir(installerName)), QByteArray("downloaded before"));
    QVERIFY(dialog.downloadButton->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QCOMPARE(readRecord(record), (QStringList{QStringLiteral("3"), QStringLiteral("--from-test"),
                                              inAppDir(installerName), baseDir->path()}));
}

void TestCheckVersionDialog::installerFailure_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("connection cut mid-installer") << "cut";
    QTest::newRow("404") << "404";
}

// A failed installer download still ends the stage (the confirmation follows, as for any
// finish), and nothing is left under the installer's name.
void TestCheckVersionDialog::installerFailure()
{
    QFETCH(QString, setup);
    const QString installerName = uniqueName(QStringLiteral("broken.exe"));
    const QString path = QStringLiteral("/files/") + installerName;
    serveBroken(*server, path, setup, QByteArray(200000, 'i'));
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.exeUrl = server->url(path);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto confirmation = answerConfirmation(QStringLiteral("否"));
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!confirmation->isEmpty(), 8000);
    QCOMPARE(dialog.downloader->getErrorCode(), int(CHttpDownLoader::ErrorNetwork));
    QCOMPARE(leftovers(installerName), QStringList());
    // A failure is not a completed download: the button stays off until cancel.
    QVERIFY(!dialog.downloadButton->isEnabled());
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(dialog.downloadButton->isEnabled());
    QTRY_COMPARE(server->openConnections(), 0);
}

void TestCheckVersionDialog::deletedWhileDownloading_data()
{
    QTest::addColumn<bool>("installer");
    QTest::newRow("manifest") << false;
    QTest::newRow("installer") << true;
}

// The downloader goes with its dialog (later, not at once), and so does the connection.
void TestCheckVersionDialog::deletedWhileDownloading()
{
    QFETCH(bool, installer);
    const QString name = uniqueName(QStringLiteral("hang.bin"));
    server->serveSlowly(QLatin1Char('/') + name, QByteArray(100000, 's'), 1000, 60000);
    auto* dialog = new Dialog(appDir(), QString(), baseDir->path());
    dialog->setCurrentVersion(QStringLiteral("1.0"));
    dialog->exeUrl = server->url(QLatin1Char('/') + name);
    dialog->setGetVersionUrl(dialog->exeUrl);
    dialog->show();
    if (installer)
        QTest::mouseClick(dialog->downloadButton, Qt::LeftButton);
    else
        dialog->startGetLatestVersion();
    QPointer<CHttpDownLoader> downloader = dialog->downloader;
    QTRY_COMPARE(server->openConnections(), 1);
    delete dialog;
    QVERIFY(downloader);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!downloader);
    QTRY_COMPARE(server->openConnections(), 0);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(leftovers(name), QStringList());
}

void TestCheckVersionDialog::otherEvents()
{
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    // Clicks of ids the dialog does not know, and other event types, go to the base.
    QCOMPARE(dialog.handleEvent(UiEventClick, 3, 0, QString(), nullptr),
             dialog.CBaseDialog::handleEvent(UiEventClick, 3, 0, QString(), nullptr));
    QCOMPARE(dialog.handleEvent(UiEventActivate, 1, 0, QString(), nullptr),
             dialog.CBaseDialog::handleEvent(UiEventActivate, 1, 0, QString(), nullptr));
    QVERIFY(dialog.isVisible() && !dialog.downloader);
    // The frame's close button rejects through the base, and the dialog lives on.
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QCOMPARE(finished, (QList<QList<QVariant>>{{int(QDialog::Rejected)}}));
    QPointer<Dialog> alive(&dialog);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive);
}

void TestCheckVersionDialog::install_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("upgradeParam");
    QTest::newRow("ok") << "确定" << QStringLiteral("--token=abc");
    QTest::newRow("no stops") << "否" << QStringLiteral("--token=abc");
    QTest::newRow("closed without an answer") << "close" << QStringLiteral("--token=abc");
    QTest::newRow("empty parameter keeps its place") << "确定" << QString();
    QTest::newRow("no shell in between") << "确定" << QStringLiteral("a b \"c\" $(touch x) ; 参数");
}

void TestCheckVersionDialog::install()
{
    QFETCH(QString, answer);
    QFETCH(QString, upgradeParam);
    const QString record = writeFakeUpgrade();
    QVERIFY(!record.isEmpty());
    const QString dllA = uniqueName(QStringLiteral("a.dll"));
    const QString other = uniqueName(QStringLiteral("other.txt"));
    const QString dllLike = uniqueName(QStringLiteral("c.dll.bak"));
    for (const QString& name : {dllA, other, dllLike})
        QVERIFY(writeFile(inAppDir(name), name.toUtf8()));

    Dialog dialog(appDir(), upgradeParam, baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/files/setup-2.0.exe");
    const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
    auto confirmation = answerConfirmation(answer);
    dialog.startInstall();
    QVERIFY(!confirmation->isEmpty());
    if (answer == QStringLiteral("否")) {
        // Had the program been started, it would soon have written its record.
        QTest::qWait(300);
        QVERIFY(!QFileInfo::exists(staging) && !QFileInfo::exists(record));
        return;
    }
    // Staged: exactly the upgrade program and the libraries of the application directory.
    QDir source(appDir());
    source.setNameFilters({QStringLiteral("*.dll"), QStringLiteral("Upgrade.exe")});
    QStringList expected = source.entryList(QDir::Files);
    QVERIFY(expected.contains(dllA) && !expected.contains(dllLike));
    QStringList staged = QDir(staging).entryList(QDir::Files | QDir::Hidden);
    expected.sort();
    staged.sort();
    QCOMPARE(staged, expected);
    QCOMPARE(readFile(staging + QLatin1Char('/') + dllA), dllA.toUtf8());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QCOMPARE(readRecord(record),
             (QStringList{QStringLiteral("3"), upgradeParam,
                          inAppDir(QStringLiteral("setup-2.0.exe")), baseDir->path()}));
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("x"))));
    QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("x"))));
}

// Files already staged are not overwritten.
void TestCheckVersionDialog::installKeepsStagedFiles()
{
    const QString record = writeFakeUpgrade();
    QVERIFY(!record.isEmpty());
    const QString dllA = uniqueName(QStringLiteral("a.dll"));
    const QString dllB = uniqueName(QStringLiteral("b.dll"));
    QVERIFY(writeFile(inAppDir(dllA), "new a") && writeFile(inAppDir(dllB), "new b"));
    Dialog dialog(appDir(), QStringLiteral("p"), baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/setup.exe");
    // Staged after the dialog was built (construction clears the folder).
    const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
    QVERIFY(QDir().mkdir(staging));
    QVERIFY(writeFile(staging + QLatin1Char('/') + dllA, "old a"));

    answerConfirmation(QStringLiteral("确定"));
    dialog.startInstall();
    QCOMPARE(readFile(staging + QLatin1Char('/') + dllA) +
                 readFile(staging + QLatin1Char('/') + dllB),
             QByteArray("old anew b"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);

    // A staging folder that cannot be made: nothing copied, nothing started from it.
    Dialog nowhere(appDir(), QStringLiteral("p"), baseDir->filePath(QStringLiteral("no/such")));
    auto second = answerConfirmation(QStringLiteral("确定"));
    nowhere.startInstall();
    QVERIFY(!second->isEmpty());
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("no"))));
}

QTEST_MAIN(TestCheckVersionDialog)
#include "tst_checkversiondialog.moc"
