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
    using CCheckVersionDialog::downloadDir;
    using CCheckVersionDialog::downloader;
    using CCheckVersionDialog::downloadStage;
    using CCheckVersionDialog::exeUrl;
    using CCheckVersionDialog::handleEvent;
    using CCheckVersionDialog::latestVersionText;
    using CCheckVersionDialog::slotDownLoadFinish;
    using CCheckVersionDialog::slotDownProcess;
    using CCheckVersionDialog::startInstall;
    using CCheckVersionDialog::versionUrl;
    CPushButton* cancelButton() const
    {
        return findChild<CPushButton*>(QStringLiteral("cancelButton"));
    }
};

QString appDir()
{
    return QCoreApplication::applicationDirPath();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(data) == data.size();
}

QPushButton* buttonWithText(QWidget* window, const QString& text)
{
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

bool windowShowsText(QWidget* window, const QString& text)
{
    for (CSimpleTextWidget* widget : window->findChildren<CSimpleTextWidget*>()) {
        if (widget->getText() == text)
            return true;
    }
    return false;
}

// What the confirmation box looked like and which button was used.
struct Confirmation
{
    bool seen = false;
    QString title;
    bool showsQuestion = false;
    bool hasOk = false;
    bool hasNo = false;
};

// Answers the upgrade confirmation inside its modal loop: "确定", "否" or "close" (the
// frame's close button, no answer button).
void answerConfirmation(const QString& answer, std::shared_ptr<Confirmation> seen)
{
    testsupport::whenModal([answer, seen](QWidget* box) {
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->showsQuestion = windowShowsText(box, QStringLiteral("是否升级到最新版本？"));
        seen->hasOk = buttonWithText(box, QStringLiteral("确定")) != nullptr;
        seen->hasNo = buttonWithText(box, QStringLiteral("否")) != nullptr;
        QPushButton* button = answer == QLatin1String("close")
                                  ? box->findChild<QPushButton*>(QStringLiteral("closeButton"))
                                  : buttonWithText(box, answer);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            box->close();
    });
}

} // namespace

class TestCheckVersionDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void construction();
    void layout();
    void setters();
    void constructionClearsStaging_data();
    void constructionClearsStaging();

    void parseManifest_data();
    void parseManifest();
    void manifest_data();
    void manifest();
    void repeatedCheckKeepsEarlierValues();
    void manifestProgressNotPassedOn();
    void finishWithoutStageDoesNothing();

    void downloadWhenLatestShowsTip();
    void installerDownload();
    void cancelMidDownload();
    void cancelDeletesInstallerFromDownloadDir();
    void refusedInstallerRequest_data();
    void refusedInstallerRequest();
    void existingInstallerGoesStraightToInstall();
    void otherEvents();
    void destructorReleasesDownloader();

    void install_data();
    void install();
    void installStopsOnNo();
    void installKeepsStagedFiles();

private:
    // A name in the application directory that no other test uses; removed in cleanup().
    QString uniqueName(const QString& suffix);
    void startManifestCheck(Dialog& dialog, const QString& path, const QString& current);
    bool writeFakeUpgrade(const QString& recordPath);
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
        QFile::remove(QDir(appDir()).filePath(name));
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

void TestCheckVersionDialog::startManifestCheck(Dialog& dialog, const QString& path,
                                                const QString& current)
{
    dialog.setCurrentVersion(current);
    dialog.setGetVersionUrl(server->url(path));
    dialog.startGetLatestVersion();
}

bool TestCheckVersionDialog::writeFakeUpgrade(const QString& recordPath)
{
    // Records its argument count and arguments, one per line, then appears at once.
    const QByteArray script =
        "#!/bin/sh\n"
        "{ printf '%s\\n' \"$#\"; for a do printf '%s\\n' \"$a\"; done; } > '" +
        recordPath.toUtf8() + ".part' && mv '" + recordPath.toUtf8() + ".part' '" +
        recordPath.toUtf8() + "'\n";
    const QString path = QDir(appDir()).filePath(QStringLiteral("Upgrade.exe"));
    createdNames << QStringLiteral("Upgrade.exe");
    if (!writeFile(path, script))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList TestCheckVersionDialog::readRecord(const QString& recordPath)
{
    QString text = QString::fromUtf8(readFile(recordPath));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TestCheckVersionDialog::construction()
{
    testsupport::TestTheme theme;
    theme.size(QStringLiteral("siz_account_btn_width_small"), 77)
        .size(QStringLiteral("siz_account_btn_height"), 27);
    QVERIFY(theme.apply());
    Dialog dialog(appDir(), QStringLiteral("param"), baseDir->path());

    QCOMPARE(dialog.windowTitle(), QStringLiteral("检测版本"));
    QCOMPARE(dialog.size(), QSize(400, 200));
    QCOMPARE(dialog.minimumSize(), QSize(400, 200));
    QCOMPARE(dialog.maximumSize(), QSize(400, 200));
    QVERIFY(!dialog.testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog.downloadStage, -1);
    QVERIFY(!dialog.downloader);
    QVERIFY(dialog.versionUrl.isEmpty());
    QVERIFY(dialog.exeUrl.isEmpty());
    QCOMPARE(dialog.downloadDir, appDir());

    auto* inner = qobject_cast<CBaseWidget*>(dialog.getInnerWidget());
    QVERIFY(inner);
    QVERIFY(dialog.hasInnerWidget());
    QCOMPARE(inner->parentWidget(), static_cast<QWidget*>(&dialog));

    struct
    {
        const char* name;
        int id;
        const char* text;
    } texts[] = {{"currentVersionCaption", 0, "当前版本"},
                 {"latestVersionCaption", 1, "最新版本"},
                 {"currentVersionText", 2, ""},
                 {"latestVersionText", 3, ""}};
    for (const auto& row : texts) {
        auto* widget = dialog.findChild<CSimpleTextWidget*>(QLatin1String(row.name));
        QVERIFY2(widget, row.name);
        QCOMPARE(widget->parentWidget(), static_cast<QWidget*>(inner));
        QCOMPARE(widget->getID(), row.id);
        QCOMPARE(widget->getText(), QString::fromUtf8(row.text));
        QCOMPARE(widget->getFontKey(), QStringLiteral("fnt_default_large"));
        if (row.id < 2) {
            QCOMPARE(widget->minimumWidth(), 75);
            QCOMPARE(widget->maximumWidth(), 75);
        } else {
            QCOMPARE(widget->getColorKey(), QStringLiteral("clr_global_rise"));
            QCOMPARE(widget->getFlag(), 0x81);
        }
    }
    QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("currentVersionText")),
             dialog.currentVersionText);
    QCOMPARE(dialog.findChild<CSimpleTextWidget*>(QStringLiteral("latestVersionText")),
             dialog.latestVersionText);

    CPushButton* buttons[] = {dialog.downloadButton, dialog.cancelButton()};
    const char* labels[] = {"下载", "取消"};
    for (int i = 0; i < 2; ++i) {
        QVERIFY(buttons[i]);
        QVERIFY(qobject_cast<CMediumNormalButton*>(buttons[i]));
        QCOMPARE(buttons[i]->getID(), i);
        QCOMPARE(buttons[i]->text(), QString::fromUtf8(labels[i]));
        QCOMPARE(buttons[i]->parentWidget(), static_cast<QWidget*>(inner));
        QCOMPARE(buttons[i]->minimumSize(), QSize(77, 27));
        QCOMPARE(buttons[i]->maximumSize(), QSize(77, 27));
        QVERIFY(buttons[i]->isEnabled());
    }
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

    QWidget* inner = dialog.getInnerWidget();
    // One pixel inside the frame band, below the title bar.
    QCOMPARE(inner->geometry(), QRect(13, 42, 400 - 26, 200 - 42 - 13));
    const int innerWidth = inner->width(), innerHeight = inner->height();

    CPushButton* download = dialog.downloadButton;
    CPushButton* cancel = dialog.cancelButton();
    QCOMPARE(cancel->geometry(), QRect(innerWidth - 10 - 70, innerHeight - 20 - 25, 70, 25));
    QCOMPARE(download->geometry(), QRect(cancel->x() - 10 - 70, cancel->y(), 70, 25));

    auto* currentCaption = dialog.findChild<QWidget*>(QStringLiteral("currentVersionCaption"));
    auto* latestCaption = dialog.findChild<QWidget*>(QStringLiteral("latestVersionCaption"));
    QCOMPARE(currentCaption->x(), 30);
    QCOMPARE(latestCaption->x(), 30);
    QCOMPARE(dialog.currentVersionText->x(), 30 + 75 + 10);
    QCOMPARE(dialog.latestVersionText->x(), 30 + 75 + 10);
    QCOMPARE(dialog.currentVersionText->geometry().right(), innerWidth - 1);

    // Rows: stretch, current, 20, latest, stretch, buttons, 20.
    const int rowHeight =
        qMax(currentCaption->sizeHint().height(), dialog.currentVersionText->sizeHint().height());
    const QRect currentRow = currentCaption->geometry() | dialog.currentVersionText->geometry();
    const QRect latestRow = latestCaption->geometry() | dialog.latestVersionText->geometry();
    QCOMPARE(currentRow.height(), rowHeight);
    QCOMPARE(latestRow.top() - currentRow.bottom() - 1, 20);
    const int top = currentRow.top();
    const int middle = cancel->y() - latestRow.bottom() - 1;
    QVERIFY2(qAbs(top - middle) <= 1, qPrintable(QStringLiteral("%1 %2").arg(top).arg(middle)));
    QCOMPARE(top + middle, innerHeight - 2 * rowHeight - 20 - 25 - 20);
}

void TestCheckVersionDialog::setters()
{
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.2.3 测试"));
    QCOMPARE(dialog.currentVersionText->getText(), QStringLiteral("1.2.3 测试"));
    QCOMPARE(dialog.currentVersionText->getMaxLines(), 100000);
    dialog.setGetVersionUrl(QStringLiteral("http://example.invalid/v.json"));
    QCOMPARE(dialog.versionUrl, QStringLiteral("http://example.invalid/v.json"));
    // Nothing is fetched before startGetLatestVersion.
    QVERIFY(!dialog.downloader);
    QCOMPARE(dialog.downloadStage, -1);
}

void TestCheckVersionDialog::constructionClearsStaging_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<bool>("baseHasOtherFiles");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<bool>("stagingLeft");
    QTest::addColumn<bool>("baseLeft");
    QTest::newRow("files removed, folder removed")
        << QStringList{"Upgrade.exe", "a.dll", "b.dll"} << QStringList() << true << QStringList()
        << false << true;
    QTest::newRow("empty staging folder removed")
        << QStringList() << QStringList() << true << QStringList() << false << true;
    QTest::newRow("base left empty goes too")
        << QStringList{"a.dll"} << QStringList() << false << QStringList() << false << false;
    QTest::newRow("hidden file keeps the folder")
        << QStringList{"a.dll", ".hidden"} << QStringList() << true << QStringList{".hidden"}
        << true << true;
    QTest::newRow("sub-folder keeps the folder")
        << QStringList{"a.dll"} << QStringList{"sub"} << true << QStringList{"sub"} << true << true;
}

void TestCheckVersionDialog::constructionClearsStaging()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(bool, baseHasOtherFiles);
    QFETCH(QStringList, left);
    QFETCH(bool, stagingLeft);
    QFETCH(bool, baseLeft);

    // A base folder of its own inside the temporary one, so that its removal can be seen.
    const QString base = baseDir->filePath(QStringLiteral("terminal"));
    const QString staging = base + QStringLiteral("/bin_tmp");
    QVERIFY(QDir().mkpath(staging));
    if (baseHasOtherFiles)
        QVERIFY(writeFile(base + QStringLiteral("/config.ini"), "x"));
    for (const QString& file : files)
        QVERIFY(writeFile(staging + QLatin1Char('/') + file, "old"));
    for (const QString& folder : folders)
        QVERIFY(QDir(staging).mkdir(folder));

    Dialog dialog(appDir(), QString(), base);
    QCOMPARE(QFileInfo::exists(staging), stagingLeft);
    QCOMPARE(QFileInfo::exists(base), baseLeft);
    QVERIFY(QFileInfo::exists(baseDir->path()));
    if (stagingLeft) {
        QCOMPARE(QDir(staging).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 left);
    }
    if (baseHasOtherFiles)
        QVERIFY(QFileInfo::exists(base + QStringLiteral("/config.ini")));
}

void TestCheckVersionDialog::parseManifest_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("read");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("exeUrl");
    const int both = CCheckVersionDialog::ManifestVersion | CCheckVersionDialog::ManifestExeUrl;
    const int version = CCheckVersionDialog::ManifestVersion;
    const int exe = CCheckVersionDialog::ManifestExeUrl;
    QTest::newRow("both") << QByteArray(R"({"version":"1.0.10","exe_url":"http://h/s.exe"})")
                          << both << "1.0.10"
                          << "http://h/s.exe";
    QTest::newRow("version only") << QByteArray(R"({"version":"2"})") << version << "2"
                                  << "<unset>";
    QTest::newRow("exe_url only") << QByteArray(R"({"exe_url":"u"})") << exe << "<unset>"
                                  << "u";
    QTest::newRow("empty object") << QByteArray("{}") << 0 << "<unset>"
                                  << "<unset>";
    QTest::newRow("empty text") << QByteArray() << 0 << "<unset>"
                                << "<unset>";
    QTest::newRow("not JSON") << QByteArray("version=1.0") << 0 << "<unset>"
                              << "<unset>";
    QTest::newRow("cut short") << QByteArray(R"({"version":"1.0","exe_)") << 0 << "<unset>"
                               << "<unset>";
    QTest::newRow("version a number")
        << QByteArray(R"({"version":1.5,"exe_url":"u"})") << 0 << "<unset>"
        << "<unset>";
    QTest::newRow("version null") << QByteArray(R"({"version":null,"exe_url":"u"})") << 0
                                  << "<unset>"
                                  << "<unset>";
    QTest::newRow("version an object")
        << QByteArray(R"({"version":{"a":"1"},"exe_url":"u"})") << 0 << "<unset>"
        << "<unset>";
    QTest::newRow("exe_url a number")
        << QByteArray(R"({"version":"3.0","exe_url":7})") << version << "3.0"
        << "<unset>";
    QTest::newRow("exe_url before version")
        << QByteArray(R"({"exe_url":"u","version":"4"})") << both << "4"
        << "u";
    QTest::newRow("duplicate version: first wins")
        << QByteArray(R"({"version":"2.0","version":"3.0"})") << version << "2.0"
        << "<unset>";
    QTest::newRow("other keys ignored")
        << QByteArray(R"({"name":"x","version":"5","notes":[1,2],"exe_url":"e","size":9})") << both
        << "5"
        << "e";
    QTest::newRow("UTF-8 text") << QByteArray("{\"version\":\"\xE7\x89\x88\xE6\x9C\xAC 6\"}")
                                << version << QStringLiteral("版本 6") << "<unset>";
    QTest::newRow("escaped text") << QByteArray(R"({"version":"\u7248 7"})") << version
                                  << QStringLiteral("版 7") << "<unset>";
    QTest::newRow("empty strings") << QByteArray(R"({"version":"","exe_url":""})") << both << ""
                                   << "";
}

void TestCheckVersionDialog::parseManifest()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, read);
    QFETCH(QString, version);
    QFETCH(QString, exeUrl);
    QString gotVersion = QStringLiteral("<unset>");
    QString gotExeUrl = QStringLiteral("<unset>");
    const std::string input(bytes.constData(), std::size_t(bytes.size()));
    QCOMPARE(CCheckVersionDialog::parseManifest(input, &gotVersion, &gotExeUrl), read);
    QCOMPARE(gotVersion, version);
    QCOMPARE(gotExeUrl, exeUrl);
    // Null outputs are allowed and change nothing about the result.
    QCOMPARE(CCheckVersionDialog::parseManifest(input, nullptr, nullptr), read);
}

void TestCheckVersionDialog::manifest_data()
{
    QTest::addColumn<QString>("served"); // "<404>" for a missing manifest
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QString>("exeUrl");
    QTest::addColumn<bool>("bLatest");
    QTest::newRow("equal") << R"({"version":"1.0.10","exe_url":"http://h/setup.exe"})"
                           << ""
                           << "1.0.10"
                           << "1.0.10"
                           << "http://h/setup.exe" << true;
    QTest::newRow("1.0.9 against 1.0.10 differs")
        << R"({"version":"1.0.9","exe_url":"http://h/setup.exe"})"
        << ""
        << "1.0.10"
        << "1.0.9"
        << "http://h/setup.exe" << false;
    QTest::newRow("newer") << R"({"version":"1.1.0","exe_url":"http://h/s.exe"})"
                           << ""
                           << "1.0.10"
                           << "1.1.0"
                           << "http://h/s.exe" << false;
    QTest::newRow("missing") << "<404>"
                             << ""
                             << "1.0.10"
                             << ""
                             << "" << false;
    QTest::newRow("missing, no current version") << "<404>"
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "" << true;
    QTest::newRow("empty file") << ""
                                << ""
                                << "1.0.10"
                                << ""
                                << "" << false;
    QTest::newRow("not JSON") << "<html>gateway error</html>"
                              << ""
                              << "1.0.10"
                              << ""
                              << "" << false;
    QTest::newRow("version a number") << R"({"version":1.1,"exe_url":"http://h/s.exe"})"
                                      << ""
                                      << "1.0.10"
                                      << ""
                                      << "" << false;
    QTest::newRow("exe_url a number") << R"({"version":"1.1","exe_url":12})"
                                      << ""
                                      << "1.0.10"
                                      << "1.1"
                                      << "" << false;
    QTest::newRow("duplicate keys") << R"({"version":"1.0.10","version":"9.9"})"
                                    << ""
                                    << "1.0.10"
                                    << "1.0.10"
                                    << "" << true;
    QTest::newRow("query text in the URL") << R"({"version":"2.0","exe_url":"http://h/q.exe"})"
                                           << "?channel=beta&t=1"
                                           << "1.0"
                                           << "2.0"
                                           << "http://h/q.exe" << false;
    QTest::newRow("same text is latest, whatever it says") << R"({"version":"版本 一"})"
                                                           << ""
                                                           << "版本 一"
                                                           << "版本 一"
                                                           << "" << true;
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
    startManifestCheck(dialog, QLatin1Char('/') + name + query, current);
    QCOMPARE(dialog.downloadStage, 0);
    QVERIFY(dialog.downloader);
    QVERIFY(finished.wait(5000));

    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toBool(), bLatest);
    QCOMPARE(dialog.latestVersionText->getText(), latest);
    QCOMPARE(dialog.exeUrl, exeUrl);
    QCOMPARE(dialog.downloadStage, 0);
    QCOMPARE(server->requests(), QStringList{QLatin1Char('/') + name + query});
    // The manifest was read from the application directory, under the URL's file name.
    if (served != QLatin1String("<404>"))
        QCOMPARE(readFile(QDir(appDir()).filePath(savedName)), served.toUtf8());
    else
        QVERIFY(!QFileInfo::exists(QDir(appDir()).filePath(savedName)));
}

void TestCheckVersionDialog::repeatedCheckKeepsEarlierValues()
{
    const QString name = uniqueName(QStringLiteral("again.json"));
    const QString path = QLatin1Char('/') + name;
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);

    server->serve(path, R"({"version":"2.0","exe_url":"http://h/first.exe"})");
    startManifestCheck(dialog, path, QStringLiteral("1.0"));
    QVERIFY(finished.wait(5000));
    CHttpDownLoader* first = dialog.downloader;
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("2.0"));
    QCOMPARE(dialog.exeUrl, QStringLiteral("http://h/first.exe"));

    // exe_url of the wrong type: the version changes, the installer URL stays.
    server->serve(path, R"({"version":"3.0","exe_url":false})");
    dialog.startGetLatestVersion();
    QVERIFY(finished.wait(5000));
    QCOMPARE(dialog.downloader, first);
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("3.0"));
    QCOMPARE(dialog.exeUrl, QStringLiteral("http://h/first.exe"));

    // Broken and then missing manifests keep both.
    server->serve(path, "{\"version\":");
    dialog.startGetLatestVersion();
    QVERIFY(finished.wait(5000));
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("3.0"));
    server->remove(path);
    QFile::remove(QDir(appDir()).filePath(name));
    dialog.startGetLatestVersion();
    QVERIFY(finished.wait(5000));
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("3.0"));
    QCOMPARE(dialog.exeUrl, QStringLiteral("http://h/first.exe"));

    // The current version moved on to the published one.
    server->serve(path, R"({"version":"3.0"})");
    dialog.setCurrentVersion(QStringLiteral("3.0"));
    dialog.startGetLatestVersion();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 5);
    QCOMPARE(finished.last().at(0).toBool(), true);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(finished.at(i).at(0).toBool(), false);
}

void TestCheckVersionDialog::manifestProgressNotPassedOn()
{
    const QString name = uniqueName(QStringLiteral("slow.json"));
    QByteArray manifest = R"({"version":"2.0","exe_url":"http://h/s.exe","notes":")";
    manifest += QByteArray(20000, 'n') + "\"}";
    server->serveSlowly(QLatin1Char('/') + name, manifest, 2000, 5);

    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.setGetVersionUrl(server->url(QLatin1Char('/') + name));
    dialog.startGetLatestVersion();
    QSignalSpy downloaderProgress(dialog.downloader, &CHttpDownLoader::sigDownProgress);
    QVERIFY(finished.wait(5000));
    QVERIFY(downloaderProgress.count() > 1);
    QCOMPARE(progress.count(), 0);
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("2.0"));

    // The same numbers in the installer stage are passed on.
    dialog.downloadButton->setEnabled(false);
    dialog.downloadStage = 1;
    dialog.slotDownProcess(10, 20);
    QCOMPARE(progress.count(), 1);
    QVERIFY(!dialog.downloadButton->isEnabled());
    dialog.slotDownProcess(20, 20);
    QCOMPARE(progress.count(), 2);
    QCOMPARE(progress.last().at(0).toLongLong(), qint64(20));
    QCOMPARE(progress.last().at(1).toLongLong(), qint64(20));
    QVERIFY(dialog.downloadButton->isEnabled());
}

void TestCheckVersionDialog::finishWithoutStageDoesNothing()
{
    const QString name = uniqueName(QStringLiteral("unused.json"));
    QVERIFY(writeFile(QDir(appDir()).filePath(name), R"({"version":"2.0"})"));
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setGetVersionUrl(server->url(QLatin1Char('/') + name));
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    QCOMPARE(dialog.downloadStage, -1);
    dialog.slotDownLoadFinish();
    QCOMPARE(finished.count(), 0);
    QVERIFY(dialog.latestVersionText->getText().isEmpty());
    // The manifest stage reads the file, with or without a download behind it.
    dialog.downloadStage = 0;
    dialog.slotDownLoadFinish();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialog.latestVersionText->getText(), QStringLiteral("2.0"));
}

void TestCheckVersionDialog::downloadWhenLatestShowsTip()
{
    const QString name = uniqueName(QStringLiteral("same.json"));
    server->serve(QLatin1Char('/') + name, R"({"version":"1.0.10","exe_url":"http://h/s.exe"})");
    Dialog dialog(appDir(), QString(), baseDir->path());
    QSignalSpy finished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    startManifestCheck(dialog, QLatin1Char('/') + name, QStringLiteral("1.0.10"));
    QVERIFY(finished.wait(5000));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    CMessageTip* tip = CMessageTip::current();
    QVERIFY(tip);
    QCOMPARE(tip->text(), QStringLiteral("当前已是最新版本!"));
    QCOMPARE(tip->anchor(), static_cast<QWidget*>(dialog.downloadButton));
    // Centred below the button.
    const QRect anchor(dialog.downloadButton->mapToGlobal(QPoint(0, 0)),
                       dialog.downloadButton->size());
    QCOMPARE(tip->pos(),
             QPoint(anchor.left() + (anchor.width() - tip->width()) / 2, anchor.bottom() + 1 + 4));
    QCOMPARE(dialog.downloadStage, 0);
    QVERIFY(dialog.downloadButton->isEnabled());
    QCOMPARE(server->requests().size(), 1);
    QVERIFY(dialog.isVisible());
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
    startManifestCheck(dialog, QLatin1Char('/') + manifestName, QStringLiteral("1.0.10"));
    QVERIFY(configFinished.wait(5000));
    QCOMPARE(configFinished.first().at(0).toBool(), false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Whether the button was enabled right after each progress signal.
    QList<QPair<qint64, bool>> seen;
    connect(&dialog, &CCheckVersionDialog::sigDownProgress, this, [&](qint64 received, qint64) {
        QTimer::singleShot(0, this, [&, received] {
            seen << qMakePair(received, dialog.downloadButton->isEnabled());
        });
    });
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    auto confirmation = std::make_shared<Confirmation>();

    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QCOMPARE(dialog.downloadStage, 1);
    QVERIFY(!dialog.downloadButton->isEnabled());
    QVERIFY(dialog.downloader->isRunning());

    // The finished installer brings the confirmation; "否" ends the step there.
    answerConfirmation(QStringLiteral("否"), confirmation);
    QTRY_VERIFY_WITH_TIMEOUT(confirmation->seen, 5000);
    QCOMPARE(confirmation->title, QStringLiteral("升级"));
    QVERIFY(confirmation->showsQuestion);
    QVERIFY(confirmation->hasOk);
    QVERIFY(confirmation->hasNo);

    QVERIFY(progress.count() >= 3);
    qint64 previous = 0;
    for (const QList<QVariant>& args : qAsConst(progress)) {
        QVERIFY(args.at(0).toLongLong() >= previous);
        QCOMPARE(args.at(1).toLongLong(), qint64(installer.size()));
        previous = args.at(0).toLongLong();
    }
    QCOMPARE(progress.last().at(0).toLongLong(), qint64(installer.size()));
    QTRY_COMPARE(seen.size(), progress.size());
    for (const auto& entry : qAsConst(seen))
        QCOMPARE(entry.second, entry.first == installer.size());
    QVERIFY(dialog.downloadButton->isEnabled());
    QCOMPARE(readFile(QDir(appDir()).filePath(installerName)), installer);
    // No: nothing staged, the dialog stays as it was.
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
    QCOMPARE(dialog.downloadStage, 1);
    QVERIFY(dialog.isVisible());
}

void TestCheckVersionDialog::cancelMidDownload()
{
    const QString installerName = uniqueName(QStringLiteral("big.exe"));
    // Stalls after the first chunk until the client goes away.
    server->serveSlowly(QStringLiteral("/") + installerName, QByteArray(100000, 'b'), 1000, 60000);

    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.setGetVersionUrl(server->url(QStringLiteral("/none.json")));
    QSignalSpy configFinished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    dialog.startGetLatestVersion();
    QVERIFY(configFinished.wait(5000));
    dialog.exeUrl = server->url(QStringLiteral("/") + installerName);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy progress(&dialog, &CCheckVersionDialog::sigDownProgress);
    QSignalSpy finished(&dialog, &QDialog::finished);

    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toLongLong() > 0);
    QVERIFY(progress.last().at(0).toLongLong() < 100000);
    QVERIFY(!dialog.downloadButton->isEnabled());

    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QCOMPARE(dialog.downloadStage, -1);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(finished.count(), 1);
    QVERIFY(dialog.downloadButton->isEnabled());
    QVERIFY(!dialog.downloader->isRunning());
    QVERIFY(!QFileInfo::exists(QDir(appDir()).filePath(installerName)));
    // Nothing else of the download is left in the folder either.
    QCOMPARE(
        QDir(appDir()).entryList({installerName + QLatin1Char('*')}, QDir::Files | QDir::Hidden),
        QStringList());
    QTRY_COMPARE(server->openConnections(), 0);
    // No installation follows a cancelled download.
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
}

void TestCheckVersionDialog::cancelDeletesInstallerFromDownloadDir()
{
    QTemporaryDir downloads;
    QVERIFY(downloads.isValid());
    const QString installer = downloads.filePath(QStringLiteral("setup.exe"));
    QVERIFY(writeFile(installer, "complete installer"));
    QVERIFY(writeFile(downloads.filePath(QStringLiteral("other.exe")), "other"));
    Dialog dialog(downloads.path(), QString(), baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/files/setup.exe");
    dialog.show();
    dialog.handleEvent(UiEventClick, 1, 0, QString(), nullptr);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!QFileInfo::exists(installer));
    QVERIFY(QFileInfo::exists(downloads.filePath(QStringLiteral("other.exe"))));
    // Without a downloader there is nothing to stop.
    QVERIFY(!dialog.downloader);

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
    QTest::newRow("unsupported scheme")
        << "ftp://h/setup.exe" << int(CHttpDownLoader::ErrorUnsupportedScheme);
}

void TestCheckVersionDialog::refusedInstallerRequest()
{
    QFETCH(QString, exeUrl);
    QFETCH(int, code);
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.exeUrl = exeUrl;
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    // A click before any check creates the downloader it needs.
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    QVERIFY(dialog.downloader);
    QCOMPARE(dialog.downloader->getErrorCode(), code);
    QCOMPARE(dialog.downloadStage, 1);
    QVERIFY(!dialog.downloadButton->isEnabled());
    QVERIFY(dialog.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(finished.count(), 0);

    // Cancel re-enables the button and closes.
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(dialog.downloadButton->isEnabled());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.downloadStage, -1);
}

void TestCheckVersionDialog::existingInstallerGoesStraightToInstall()
{
    const QString installerName = uniqueName(QStringLiteral("ready.exe"));
    QVERIFY(writeFile(QDir(appDir()).filePath(installerName), "downloaded before"));
    const QString record = baseDir->filePath(QStringLiteral("record.txt"));
    QVERIFY(writeFakeUpgrade(record));

    Dialog dialog(appDir(), QStringLiteral("--from-test"), baseDir->path());
    dialog.setCurrentVersion(QStringLiteral("1.0"));
    dialog.setGetVersionUrl(server->url(QStringLiteral("/v.json")));
    QSignalSpy configFinished(&dialog, &CCheckVersionDialog::sigDownConfigFinish);
    dialog.startGetLatestVersion();
    QVERIFY(configFinished.wait(5000));
    dialog.exeUrl = server->url(QStringLiteral("/") + installerName);
    server->serve(QStringLiteral("/") + installerName, "newer installer");
    dialog.show();
    const int requestsBefore = server->requests().size();

    auto confirmation = std::make_shared<Confirmation>();
    answerConfirmation(QStringLiteral("确定"), confirmation);
    QTest::mouseClick(dialog.downloadButton, Qt::LeftButton);
    // The confirmation ran inside the click.
    QVERIFY(confirmation->seen);
    QCOMPARE(dialog.downloader->getErrorCode(), int(CHttpDownLoader::ErrorFileExists));
    QCOMPARE(server->requests().size(), requestsBefore);
    QCOMPARE(readFile(QDir(appDir()).filePath(installerName)), QByteArray("downloaded before"));
    QCOMPARE(dialog.downloadStage, 1);
    QVERIFY(dialog.downloadButton->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QCOMPARE(readRecord(record),
             (QStringList{QStringLiteral("3"), QStringLiteral("--from-test"),
                          QDir(appDir()).filePath(installerName), baseDir->path()}));
}

void TestCheckVersionDialog::otherEvents()
{
    Dialog dialog(appDir(), QString(), baseDir->path());
    dialog.show();
    QSignalSpy finished(&dialog, &QDialog::finished);
    // Clicks of ids the dialog does not know, and other event types, go to the base.
    const bool base = dialog.CBaseDialog::handleEvent(UiEventClick, 3, 0, QString(), nullptr);
    QCOMPARE(dialog.handleEvent(UiEventClick, 3, 0, QString(), nullptr), base);
    QCOMPARE(dialog.handleEvent(UiEventTextChanged, 0, 0, QString(), nullptr),
             dialog.CBaseDialog::handleEvent(UiEventTextChanged, 0, 0, QString(), nullptr));
    QCOMPARE(dialog.handleEvent(UiEventActivate, 1, 0, QString(), nullptr),
             dialog.CBaseDialog::handleEvent(UiEventActivate, 1, 0, QString(), nullptr));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.downloadStage, -1);
    QVERIFY(!dialog.downloader);

    // The frame's close button rejects through the base, and the dialog lives on.
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("closeButton")),
                      Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(0).toInt(), int(QDialog::Rejected));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("检测版本"));
}

void TestCheckVersionDialog::destructorReleasesDownloader()
{
    auto* dialog = new Dialog(appDir(), QString(), baseDir->path());
    const QString name = uniqueName(QStringLiteral("hang.json"));
    server->serveSlowly(QLatin1Char('/') + name, QByteArray(50000, 'h'), 1000, 60000);
    dialog->setGetVersionUrl(server->url(QLatin1Char('/') + name));
    dialog->startGetLatestVersion();
    QPointer<CHttpDownLoader> downloader = dialog->downloader;
    QVERIFY(downloader);
    QCOMPARE(downloader->parent(), static_cast<QObject*>(nullptr));
    QTRY_COMPARE(server->openConnections(), 1);

    delete dialog;
    // Released later, not at once.
    QVERIFY(downloader);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!downloader);
    QTRY_COMPARE(server->openConnections(), 0);
    QVERIFY(!QFileInfo::exists(QDir(appDir()).filePath(name)));
}

void TestCheckVersionDialog::install_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("upgradeParam");
    QTest::newRow("ok") << "确定"
                        << "--token=abc";
    QTest::newRow("closed without an answer") << "close"
                                              << "--token=abc";
    QTest::newRow("empty parameter keeps its place") << "确定"
                                                     << "";
    QTest::newRow("no shell in between") << "确定"
                                         << "a b \"c\" $(touch x) ; 参数";
}

void TestCheckVersionDialog::install()
{
    QFETCH(QString, answer);
    QFETCH(QString, upgradeParam);

    const QString record = baseDir->filePath(QStringLiteral("record.txt"));
    QVERIFY(writeFakeUpgrade(record));
    const QString dllA = uniqueName(QStringLiteral("a.dll"));
    const QString dllB = uniqueName(QStringLiteral("b.dll"));
    const QString other = uniqueName(QStringLiteral("other.txt"));
    const QString dllLike = uniqueName(QStringLiteral("c.dll.bak"));
    for (const QString& name : {dllA, dllB, other, dllLike})
        QVERIFY(writeFile(QDir(appDir()).filePath(name), name.toUtf8()));

    Dialog dialog(appDir(), upgradeParam, baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/files/setup-2.0.exe");
    const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
    QVERIFY(!QFileInfo::exists(staging));

    auto confirmation = std::make_shared<Confirmation>();
    answerConfirmation(answer, confirmation);
    dialog.startInstall();
    QVERIFY(confirmation->seen);
    QCOMPARE(confirmation->title, QStringLiteral("升级"));

    // Staged: exactly the upgrade program and the libraries of the application directory.
    QDir source(appDir());
    source.setNameFilters({QStringLiteral("*.dll"), QStringLiteral("Upgrade.exe")});
    QStringList expected = source.entryList(QDir::Files);
    expected.sort();
    QVERIFY(expected.contains(dllA));
    QVERIFY(expected.contains(dllB));
    QVERIFY(expected.contains(QStringLiteral("Upgrade.exe")));
    QStringList staged = QDir(staging).entryList(QDir::Files | QDir::Hidden);
    staged.sort();
    QCOMPARE(staged, expected);
    QVERIFY(!staged.contains(other));
    QVERIFY(!staged.contains(dllLike));
    QCOMPARE(readFile(staging + QLatin1Char('/') + dllA), dllA.toUtf8());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QCOMPARE(readRecord(record),
             (QStringList{QStringLiteral("3"), upgradeParam,
                          appDir() + QStringLiteral("/setup-2.0.exe"), baseDir->path()}));
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("x"))));
    QVERIFY(!QFileInfo::exists(QDir::current().filePath(QStringLiteral("x"))));
    // The dialog is left as it was.
    QCOMPARE(dialog.downloadStage, -1);
}

void TestCheckVersionDialog::installStopsOnNo()
{
    const QString record = baseDir->filePath(QStringLiteral("record.txt"));
    QVERIFY(writeFakeUpgrade(record));
    Dialog dialog(appDir(), QStringLiteral("p"), baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/setup.exe");
    for (int round = 0; round < 2; ++round) {
        // Every call asks again.
        auto confirmation = std::make_shared<Confirmation>();
        answerConfirmation(QStringLiteral("否"), confirmation);
        dialog.startInstall();
        QVERIFY(confirmation->seen);
        QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("bin_tmp"))));
    }
    // Had the program been started, it would have written its record by now.
    auto confirmation = std::make_shared<Confirmation>();
    answerConfirmation(QStringLiteral("确定"), confirmation);
    dialog.startInstall();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);
    QCOMPARE(readRecord(record).size(), 4);
}

void TestCheckVersionDialog::installKeepsStagedFiles()
{
    const QString record = baseDir->filePath(QStringLiteral("record.txt"));
    QVERIFY(writeFakeUpgrade(record));
    const QString dllA = uniqueName(QStringLiteral("a.dll"));
    const QString dllB = uniqueName(QStringLiteral("b.dll"));
    QVERIFY(writeFile(QDir(appDir()).filePath(dllA), "new a"));
    QVERIFY(writeFile(QDir(appDir()).filePath(dllB), "new b"));

    Dialog dialog(appDir(), QStringLiteral("p"), baseDir->path());
    dialog.exeUrl = QStringLiteral("http://h/setup.exe");
    // Staged after the dialog was built (construction clears the folder).
    const QString staging = baseDir->filePath(QStringLiteral("bin_tmp"));
    QVERIFY(QDir().mkdir(staging));
    QVERIFY(writeFile(staging + QLatin1Char('/') + dllA, "old a"));

    auto confirmation = std::make_shared<Confirmation>();
    answerConfirmation(QStringLiteral("确定"), confirmation);
    dialog.startInstall();
    QVERIFY(confirmation->seen);
    QCOMPARE(readFile(staging + QLatin1Char('/') + dllA), QByteArray("old a"));
    QCOMPARE(readFile(staging + QLatin1Char('/') + dllB), QByteArray("new b"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 5000);

    // A staging folder that cannot be made: nothing copied, nothing started from it.
    QFile::remove(record);
    Dialog nowhere(appDir(), QStringLiteral("p"), baseDir->filePath(QStringLiteral("no/such")));
    auto second = std::make_shared<Confirmation>();
    answerConfirmation(QStringLiteral("确定"), second);
    nowhere.startInstall();
    QVERIFY(second->seen);
    QVERIFY(!QFileInfo::exists(baseDir->filePath(QStringLiteral("no"))));
}

QTEST_MAIN(TestCheckVersionDialog)
#include "tst_checkversiondialog.moc"
