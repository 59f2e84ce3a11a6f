#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccheckversiondialog_p.h"

#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/bson.h"
#include "uibase/dialog/contracts/common.h"
#include "uibase/dialog/contracts/network.h"
#include "uibase/dialog/contracts/utils.h"
#include "uibase/dialog/installersignature_p.h"
#include "uibase/dialog/platformvalues_p.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <exception>
#include <vector>

namespace Omra {

namespace {

enum {
    DownloadButtonId = 0,
    DismissButtonId = 1,
    CurrentVersionTextId = 2,
    LatestVersionTextId = 3,
};

enum { StageNone = -1, StageManifest = 0, StageInstaller = 1 };

const char stagingDirName[] = "bin_tmp";

// A manifest is a few lines of JSON; a larger file is not one and is not read.
constexpr qint64 manifestSizeLimit = qint64(1) << 20;
// The downloader's answer to a request for a file it has already saved.
constexpr int alreadyDownloadedError = 1;
const char upgradeProgramName[] = "Upgrade.exe";

QString separator()
{
    return QString(QDir::separator());
}

// The name a download is saved under: the URL's text behind its last '/'.
QString urlFileName(const QString& url)
{
    return QFileInfo(url).fileName();
}

std::string utf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

CSimpleTextWidget* makeCaption(int id, const QString& text, const QString& objectName,
                               QWidget* parent)
{
    auto* caption = new CSimpleTextWidget(false, id, text, parent);
    caption->setObjectName(objectName);
    caption->setFontKey(QStringLiteral("fnt_default_large"));
    caption->setFixedWidth(75);
    return caption;
}

CSimpleTextWidget* makeVersionText(int id, const QString& objectName, QWidget* parent)
{
    auto* text = new CSimpleTextWidget(false, id, QString(), parent);
    text->setObjectName(objectName);
    text->setColorKey(QStringLiteral("clr_global_rise"));
    text->setFlag(Qt::AlignLeft | Qt::AlignVCenter);
    text->setFontKey(QStringLiteral("fnt_default_large"));
    return text;
}

CMediumNormalButton* makeButton(int id, const QString& text, const QString& objectName,
                                QWidget* parent)
{
    const CUiResource* theme = utils::CSingletonT<CUiResource>::instance();
    auto* button = new CMediumNormalButton(id, true, parent);
    button->setObjectName(objectName);
    button->setFixedSize(theme->getSize(QStringLiteral("siz_account_btn_width_small")),
                         theme->getSize(QStringLiteral("siz_account_btn_height")));
    button->setText(text);
    return button;
}

QHBoxLayout* makeRow()
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    return row;
}

} // namespace

CCheckVersionDialog::CCheckVersionDialog(QString downloadDir, QString upgradeParam, QString baseDir,
                                         QWidget* parent)
    : CCommonDialog(parent), downloadDir(downloadDir), upgradeParam(upgradeParam), baseDir(baseDir)
{
    setTitle(QStringLiteral("检测版本"));
    setFixedSize(400, 200);
    createUi();

    // A staging folder left by an earlier upgrade goes; the upgrade program has finished
    // with it by the time the terminal runs again.
    const QString staging = baseDir + separator() + QLatin1String(stagingDirName);
    const QDir stagingDir(staging);
    if (stagingDir.exists()) {
        for (const QFileInfo& entry : stagingDir.entryInfoList())
            QFile::remove(entry.absoluteFilePath());
        QDir().rmpath(staging);
    }
}

CCheckVersionDialog::~CCheckVersionDialog()
{
    // The downloader may be inside one of its own signals right now.
    if (downloader)
        downloader->deleteLater();
}

void CCheckVersionDialog::createUi()
{
    auto* inner = new CBaseWidget(QStringLiteral("base_widget"), false, this);
    inner->setObjectName(QStringLiteral("innerWidget"));

    auto* currentCaption =
        makeCaption(0, QStringLiteral("当前版本"), QStringLiteral("currentVersionCaption"), inner);
    auto* latestCaption =
        makeCaption(1, QStringLiteral("最新版本"), QStringLiteral("latestVersionCaption"), inner);
    currentVersionText =
        makeVersionText(CurrentVersionTextId, QStringLiteral("currentVersionText"), inner);
    latestVersionText =
        makeVersionText(LatestVersionTextId, QStringLiteral("latestVersionText"), inner);
    downloadButton = makeButton(DownloadButtonId, QStringLiteral("下载"),
                                QStringLiteral("downloadButton"), inner);
    auto* cancelButton =
        makeButton(DismissButtonId, QStringLiteral("取消"), QStringLiteral("cancelButton"), inner);

    QHBoxLayout* currentRow = makeRow();
    currentRow->addSpacing(30);
    currentRow->addWidget(currentCaption);
    currentRow->addSpacing(10);
    currentRow->addWidget(currentVersionText);

    QHBoxLayout* latestRow = makeRow();
    latestRow->addSpacing(30);
    latestRow->addWidget(latestCaption);
    latestRow->addSpacing(10);
    latestRow->addWidget(latestVersionText);

    QHBoxLayout* buttonRow = makeRow();
    buttonRow->addStretch(1);
    buttonRow->addWidget(downloadButton);
    buttonRow->addSpacing(10);
    buttonRow->addWidget(cancelButton);
    buttonRow->addSpacing(10);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addStretch(1);
    column->addLayout(currentRow);
    column->addSpacing(20);
    column->addLayout(latestRow);
    column->addStretch(1);
    column->addLayout(buttonRow);
    column->addSpacing(20);
    inner->setLayout(column);

    setInnerWidget(inner);
}

void CCheckVersionDialog::setCurrentVersion(QString version)
{
    currentVersionText->setText(version, 100000);
}

void CCheckVersionDialog::setGetVersionUrl(QString url)
{
    versionUrl = url;
}

void CCheckVersionDialog::ensureDownloader()
{
    if (downloader)
        return;
    downloader = new CHttpDownLoader;
    downloader->setFilePath(downloadDir);
    connect(downloader, &CHttpDownLoader::sigDownFinish, this,
            &CCheckVersionDialog::slotDownLoadFinish);
    connect(downloader, &CHttpDownLoader::sigDownProgress, this,
            &CCheckVersionDialog::slotDownProcess);
}

void CCheckVersionDialog::setInstallerPublicKey(const QByteArray& key)
{
    CInstallerSignature::setPublicKey(key);
}

void CCheckVersionDialog::startGetLatestVersion()
{
    ensureDownloader();
    downloadStage = StageManifest;
    // true: an older manifest goes first and a failed fetch still ends the step, read as
    // missing, so an offline terminal is never judged by what an earlier run saved.
    downloader->startRequest(versionUrl, true);
}

int detail::parseManifest(const std::string& bytes, QString* version, QString* exeUrl)
{
    int read = 0;
    // The BSON library reports malformed text and values of the wrong type by throwing;
    // either ends the reading here and keeps what was read before.
    try {
        const bson::BSONObj manifest = bson::fromjson(bytes);
        if (manifest.hasField("version")) {
            const QString text = sToQs(manifest["version"].String());
            if (version)
                *version = text;
            read |= detail::ManifestVersion;
        }
        if (manifest.hasField("exe_url")) {
            const QString text = sToQs(manifest["exe_url"].String());
            if (exeUrl)
                *exeUrl = text;
            read |= detail::ManifestExeUrl;
        }
    } catch (const std::exception&) {
    } catch (...) {
    }
    return read;
}

void CCheckVersionDialog::slotDownLoadFinish()
{
    if (downloadStage == StageInstaller) {
        startInstall();
        return;
    }
    if (downloadStage != StageManifest)
        return;

    const QString manifestPath =
        QCoreApplication::applicationDirPath() + separator() + urlFileName(versionUrl);
    std::string bytes;
    if (QFileInfo(manifestPath).size() <= manifestSizeLimit &&
        utils::FileHelper::open(utf8(manifestPath), bytes) && !bytes.empty()) {
        QString version;
        QString url;
        const int read = detail::parseManifest(bytes, &version, &url);
        if (read & detail::ManifestVersion)
            latestVersionText->setText(version, 100000);
        if (read & detail::ManifestExeUrl) {
            exeUrl = url;
            // The signature belongs to this installer URL; none in the manifest clears it.
            setProperty(CInstallerSignature::dialogProperty,
                        CInstallerSignature::manifestSignature(bytes));
        }
    }
    // Equal text, not a version order: any other published version is offered.
    emit sigDownConfigFinish(currentVersionText->getText() == latestVersionText->getText());
}

void CCheckVersionDialog::slotDownProcess(qint64 received, qint64 total)
{
    if (downloadStage != StageInstaller)
        return;
    emit sigDownProgress(received, total);
    if (received == total)
        downloadButton->setEnabled(true);
}

bool CCheckVersionDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type != ui::eventClick)
        return CBaseDialog::handleEvent(type, id, param, text, data);

    if (id == DownloadButtonId) {
        if (latestVersionText->getText() == currentVersionText->getText()) {
            CMessageTip::showTip(downloadButton, ui::tipAtButton,
                                 QStringLiteral("当前已是最新版本!"), 3, 300);
            return true;
        }
        downloadStage = StageInstaller;
        // A click before any version check still needs a downloader to fetch with.
        ensureDownloader();
        // false: only a saved installer is reported; a failed download ends silently and
        // leaves the button disabled until cancel.
        const bool started = downloader->startRequest(exeUrl, false);
        // Downloaded before: the installation can start at once.
        if (!started && downloader->getErrorCode() == alreadyDownloadedError) {
            startInstall();
            return true;
        }
        downloadButton->setEnabled(false);
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }

    if (id == DismissButtonId) {
        downloadStage = StageNone;
        if (downloader)
            downloader->stopDownLoad();
        const QString fileName = urlFileName(exeUrl);
        const QString installer = downloadDir + separator() + fileName;
        if (!fileName.isEmpty() && QFileInfo(installer).isFile())
            QFile::remove(installer);
        downloadButton->setEnabled(true);
        close();
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }

    return CBaseDialog::handleEvent(type, id, param, text, data);
}

void CCheckVersionDialog::startInstall()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString installer = appDir + separator() + urlFileName(exeUrl);
    // With a trusted key set, an installer nobody signed is neither offered nor handed over;
    // the guard holds the file open until the upgrade program has been started.
    CInstallerSignature signature(installer,
                                  property(CInstallerSignature::dialogProperty).toString());
    if (!signature.check("before the confirmation"))
        return;

    const QMessageBox::StandardButton answer = CMessageBox::warning(
        nullptr, nullptr, QStringLiteral("升级"), QStringLiteral("是否升级到最新版本？"),
        QMessageBox::Ok | QMessageBox::No, QMessageBox::NoButton, false);
    if (answer == QMessageBox::No)
        return;
    // The confirmation may stay open for long: the file must still be the one checked.
    if (!signature.check("before the hand-over"))
        return;

    const std::vector<std::string> arguments{utf8(upgradeParam), utf8(installer), utf8(baseDir)};

    const QString staging = baseDir + separator() + QLatin1String(stagingDirName);
    bool stagingReady = QDir(staging).exists();
    if (!stagingReady)
        stagingReady = QDir().mkdir(staging);
    if (stagingReady) {
        QDir source(appDir);
        if (source.exists()) {
            source.setNameFilters({QStringLiteral("*.dll"), QLatin1String(upgradeProgramName)});
            // QFile::copy never overwrites: a file staged before keeps its contents.
            for (const QFileInfo& entry : source.entryInfoList())
                QFile::copy(entry.absoluteFilePath(), staging + separator() + entry.fileName());
        }
    }
    utils::startProcess(utf8(staging + separator() + QLatin1String(upgradeProgramName)), arguments);
}

} // namespace Omra
