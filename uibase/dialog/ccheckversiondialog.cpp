#include "uibase/dialog/ccheckversiondialog.h"
#include "uibase/dialog/ccheckversiondialog_p.h"

#include "uibase/dialog/cmessagebox.h"
#include "uibase/dialog/contracts/network.h"
#include "uibase/dialog/contracts/utils.h"
#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/installersignature_p.h"
#include "uibase/dialog/platformvalues_p.h"
#include "uibase/dialog/updatelog_p.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace Omra {

Q_LOGGING_CATEGORY(lcUpdate, "omra.update")

namespace {

enum {
    DownloadButtonId = 0,
    DismissButtonId = 1,
    CurrentVersionTextId = 2,
    LatestVersionTextId = 3,
};

enum { StageNone = -1, StageManifest = 0, StageInstaller = 1 };

// A manifest is a few lines of JSON; whatever goes past this is not one and is stopped.
constexpr qint64 manifestSizeLimit = qint64(1) << 20;
// However slowly the server answers, the check ends within this time.
constexpr int manifestDeadlineMs = 30000;
// The downloader's answer to a request for a file it has already saved.
constexpr int alreadyDownloadedError = 1;
// What startProcess returns for a program it could not start.
constexpr unsigned long processNotStarted = 0;

const char stateObjectName[] = "checkVersionState";
const char sameVersionTip[] = "当前已是最新版本!";
const char unverifiedTip[] = "无法验证更新，请稍后再试";
const char installerRefusedTip[] = "安装程序校验失败，未升级";
const char notOwnInstallerTip[] = "安装程序已存在且不是本次下载的，未使用";
const char stagingFailedTip[] = "升级准备失败，未升级";

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

bool updatesTrusted()
{
    return !CInstallerSignature::publicKeys().isEmpty();
}

QString executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
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
    const CUiResource* theme = detail::theme();
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

namespace detail {

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
#ifdef Q_OS_UNIX
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return stamp;
    stamp.device = quint64(status.st_dev);
    stamp.inode = quint64(status.st_ino);
    stamp.size = qint64(status.st_size);
    stamp.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
#endif
    return stamp;
}

CCheckVersionState::CCheckVersionState(QObject* dialog)
    : QObject(dialog), manifestDeadline(new QTimer(this))
{
    setObjectName(QLatin1String(stateObjectName));
    manifestDeadline->setObjectName(QStringLiteral("manifestDeadline"));
    manifestDeadline->setSingleShot(true);
    manifestDeadline->setInterval(manifestDeadlineMs);
}

CCheckVersionState* CCheckVersionState::of(const QObject* dialog)
{
    return dialog->findChild<CCheckVersionState*>(QLatin1String(stateObjectName),
                                                  Qt::FindDirectChildrenOnly);
}

QString CCheckVersionState::filePath(const QString& dir, const QString& name)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    return QDir(canonical.isEmpty() ? QDir(dir).absolutePath() : canonical).filePath(name);
}

void CCheckVersionState::rememberSaved(const QString& path)
{
    saved.insert(path, FileStamp::of(path));
}

bool CCheckVersionState::isOwnSaved(const QString& path) const
{
    const auto found = saved.constFind(path);
    return found != saved.constEnd() && found->size >= 0 && *found == FileStamp::of(path);
}

void CCheckVersionState::removeOwnSaved(const QString& path)
{
    if (isOwnSaved(path))
        QFile::remove(path);
    saved.remove(path);
}

} // namespace detail

CCheckVersionDialog::CCheckVersionDialog(QString downloadDir, QString upgradeParam, QString baseDir,
                                         QWidget* parent)
    : CCommonDialog(parent), downloadDir(downloadDir), upgradeParam(upgradeParam), baseDir(baseDir)
{
    setTitle(QStringLiteral("检测版本"));
    setFixedSize(400, 200);
    createUi();

    // A staging folder left by an earlier upgrade goes; the upgrade program has finished
    // with it by the time the terminal runs again.
    const QString staging = baseDir + separator() + QLatin1String(detail::stagingDirName);
    const QDir stagingDir(staging);
    if (stagingDir.exists()) {
        for (const QFileInfo& entry : stagingDir.entryInfoList())
            QFile::remove(entry.absoluteFilePath());
        QDir().rmpath(staging);
    }
}

CCheckVersionDialog::~CCheckVersionDialog()
{
    // A check on its worker thread must not report to a dialog that is going.
    if (detail::CCheckVersionState* state = detail::CCheckVersionState::of(this))
        state->installerCheck.stop();
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

// Made when first needed: a dialog only opened and closed never pays for it.
detail::CCheckVersionState* CCheckVersionDialog::updateState()
{
    if (detail::CCheckVersionState* state = detail::CCheckVersionState::of(this))
        return state;
    auto* state = new detail::CCheckVersionState(this);
    connect(state->manifestDeadline, &QTimer::timeout, this, [this, state] {
        abandonManifest(
            QStringLiteral("it took longer than %1 ms").arg(state->manifestDeadline->interval()));
    });
    return state;
}

void CCheckVersionDialog::setCurrentVersion(QString version)
{
    currentVersionText->setText(version, detail::noLineLimit);
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

void CCheckVersionDialog::setInstallerPublicKeys(const QList<QByteArray>& keys)
{
    CInstallerSignature::setPublicKeys(keys);
}

void CCheckVersionDialog::setInstallerPublicKey(const QByteArray& key)
{
    CInstallerSignature::setPublicKeys(key.isEmpty() ? QList<QByteArray>()
                                                     : QList<QByteArray>{key});
}

void CCheckVersionDialog::startGetLatestVersion()
{
    ensureDownloader();
    detail::CCheckVersionState* state = updateState();
    downloadStage = StageManifest;
    state->offer = detail::CCheckVersionState::OfferNothing;
    // Nothing can be downloaded before the manifest has said what.
    downloadButton->setEnabled(false);
    state->manifestDeadline->start();
    // true: an older manifest goes first and a failed fetch still ends the step, read as
    // missing, so an offline terminal is never judged by what an earlier run saved.
    if (!downloader->startRequest(versionUrl, true)) {
        qCWarning(lcUpdate, "manifest %s not fetched: the downloader refused it (code %d)",
                  qUtf8Printable(versionUrl), downloader->getErrorCode());
        downloadStage = StageNone;
        endManifestStep(false);
    }
}

void CCheckVersionDialog::endManifestStep(bool latest)
{
    updateState()->manifestDeadline->stop();
    downloadButton->setEnabled(true);
    emit sigDownConfigFinish(latest);
}

void CCheckVersionDialog::abandonManifest(const QString& why)
{
    qCWarning(lcUpdate, "manifest %s refused: %s", qUtf8Printable(versionUrl), qUtf8Printable(why));
    downloadStage = StageNone;
    if (downloader)
        downloader->stopDownLoad();
    // Requested with replace, so whatever stands under the name now came with this request.
    QFile::remove(QCoreApplication::applicationDirPath() + separator() + urlFileName(versionUrl));
    endManifestStep(false);
}

void CCheckVersionDialog::slotDownLoadFinish()
{
    detail::CCheckVersionState* state = updateState();
    if (downloadStage == StageInstaller) {
        state->rememberSaved(
            detail::CCheckVersionState::filePath(downloadDir, urlFileName(exeUrl)));
        startInstall();
        return;
    }
    if (downloadStage != StageManifest || !state->manifestDeadline->isActive())
        return;

    const QString manifestPath =
        QCoreApplication::applicationDirPath() + separator() + urlFileName(versionUrl);
    if (QFileInfo(manifestPath).size() > manifestSizeLimit) {
        abandonManifest(QStringLiteral("it has more than %1 bytes").arg(manifestSizeLimit));
        return;
    }
    std::string bytes;
    if (!utils::FileHelper::open(utf8(manifestPath), bytes))
        bytes.clear();
    if (updatesTrusted())
        readSignedManifest(bytes);
    else
        readManifest(bytes);
}

// Without trusted keys: the plain fields, compared as strings.
void CCheckVersionDialog::readManifest(const std::string& bytes)
{
    QString version;
    QString url;
    const int read = bytes.empty() ? 0 : detail::parseManifest(bytes, &version, &url);
    if (read & detail::ManifestVersion)
        latestVersionText->setText(version, detail::noLineLimit);
    if (read & detail::ManifestExeUrl) {
        const QString problem = detail::installerNameProblem(
            urlFileName(url), urlFileName(versionUrl), executableName());
        if (!problem.isEmpty()) {
            qCWarning(lcUpdate, "installer %s not offered: %s", qUtf8Printable(url),
                      qUtf8Printable(problem));
            url.clear();
        }
        exeUrl = url;
    }
    endManifestStep(currentVersionText->getText() == latestVersionText->getText());
}

// With trusted keys: only the signed payload counts, and only a newer version is offered.
void CCheckVersionDialog::readSignedManifest(const std::string& bytes)
{
    detail::CCheckVersionState* state = updateState();
    latestVersionText->setText(QString(), detail::noLineLimit);
    exeUrl.clear();
    detail::SignedRelease release;
    QString why;
    bool comparable = false;
    int order = 0;
    if (bytes.empty()) {
        why = QStringLiteral("it could not be fetched or is empty");
    } else if (detail::readSignedRelease(bytes, CInstallerSignature::publicKeys(),
                                         QDateTime::currentDateTimeUtc(), &release, &why)) {
        order =
            detail::compareVersions(release.version, currentVersionText->getText(), &comparable);
        if (!comparable)
            why = QStringLiteral("\"%1\" and the running \"%2\" are not both dotted numbers")
                      .arg(release.version, currentVersionText->getText());
        else
            why = detail::installerNameProblem(urlFileName(release.exeUrl), urlFileName(versionUrl),
                                               executableName());
    }
    if (!why.isEmpty()) {
        abandonManifest(why);
        return;
    }
    state->release = release;
    latestVersionText->setText(release.version, detail::noLineLimit);
    if (order <= 0) {
        state->offer = detail::CCheckVersionState::OfferCurrent;
        endManifestStep(true);
        return;
    }
    state->offer = detail::CCheckVersionState::OfferNewer;
    exeUrl = release.exeUrl;
    endManifestStep(false);
}

void CCheckVersionDialog::slotDownProcess(qint64 received, qint64 total)
{
    detail::CCheckVersionState* state = updateState();
    if (downloadStage == StageManifest && state->manifestDeadline->isActive()) {
        if (received > manifestSizeLimit)
            abandonManifest(QStringLiteral("more than %1 bytes arrived").arg(manifestSizeLimit));
        return;
    }
    if (downloadStage != StageInstaller)
        return;
    // A release names its installer's size: an endless answer stops there.
    if (updatesTrusted() && received > state->release.exeSize) {
        abandonInstaller(QStringLiteral("more than the %1 bytes the release names arrived")
                             .arg(state->release.exeSize),
                         installerRefusedTip);
        return;
    }
    emit sigDownProgress(received, total);
    if (received == total)
        downloadButton->setEnabled(true);
}

void CCheckVersionDialog::abandonInstaller(const QString& why, const char* tip)
{
    qCWarning(lcUpdate, "installer %s refused: %s", qUtf8Printable(exeUrl), qUtf8Printable(why));
    downloadStage = StageNone;
    if (downloader)
        downloader->stopDownLoad();
    updateState()->removeOwnSaved(
        detail::CCheckVersionState::filePath(downloadDir, urlFileName(exeUrl)));
    downloadButton->setEnabled(true);
    showTip(tip);
}

void CCheckVersionDialog::showTip(const char* text)
{
    CMessageTip::showTip(downloadButton, ui::tipAtButton, QString::fromUtf8(text), 3, 300);
}

bool CCheckVersionDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type != ui::eventClick)
        return CBaseDialog::handleEvent(type, id, param, text, data);

    detail::CCheckVersionState* state = updateState();
    if (id == DownloadButtonId) {
        // Nothing is known to download while the manifest loads or an installer is checked.
        if (state->manifestDeadline->isActive() || state->installerCheck.isRunning())
            return true;
        if (updatesTrusted() && state->offer != detail::CCheckVersionState::OfferNewer) {
            showTip(state->offer == detail::CCheckVersionState::OfferCurrent ? sameVersionTip
                                                                             : unverifiedTip);
            return true;
        }
        if (!updatesTrusted() && latestVersionText->getText() == currentVersionText->getText()) {
            showTip(sameVersionTip);
            return true;
        }
        downloadStage = StageInstaller;
        // A click before any version check still needs a downloader to fetch with.
        ensureDownloader();
        // false: only a saved installer is reported; a failed download ends silently and
        // leaves the button disabled until cancel.
        const bool started = downloader->startRequest(exeUrl, false);
        if (!started && downloader->getErrorCode() == alreadyDownloadedError) {
            // Downloaded before: the installation can start at once, but only with a file
            // this dialog saved itself.
            const QString installer =
                detail::CCheckVersionState::filePath(downloadDir, urlFileName(exeUrl));
            if (state->isOwnSaved(installer)) {
                startInstall();
            } else {
                qCWarning(lcUpdate,
                          "installer %s not used: a file this dialog did not save is "
                          "in its place",
                          qUtf8Printable(installer));
                downloadStage = StageNone;
                showTip(notOwnInstallerTip);
            }
            return true;
        }
        downloadButton->setEnabled(false);
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }

    if (id == DismissButtonId) {
        downloadStage = StageNone;
        if (downloader)
            downloader->stopDownLoad();
        state->installerCheck.stop();
        if (!urlFileName(exeUrl).isEmpty())
            state->removeOwnSaved(
                detail::CCheckVersionState::filePath(downloadDir, urlFileName(exeUrl)));
        downloadButton->setEnabled(true);
        close();
        return CBaseDialog::handleEvent(type, id, param, text, data);
    }

    return CBaseDialog::handleEvent(type, id, param, text, data);
}

void CCheckVersionDialog::startInstall()
{
    detail::CCheckVersionState* state = updateState();
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString installer = appDir + separator() + urlFileName(exeUrl);
    if (!state->isOwnSaved(detail::CCheckVersionState::filePath(appDir, urlFileName(exeUrl)))) {
        qCWarning(lcUpdate, "installer %s not handed over: this dialog did not save it",
                  qUtf8Printable(installer));
        showTip(notOwnInstallerTip);
        return;
    }
    if (!updatesTrusted()) {
        confirmAndHandOver(installer);
        return;
    }
    if (state->offer != detail::CCheckVersionState::OfferNewer) {
        abandonInstaller(QStringLiteral("no verified release offers it"), unverifiedTip);
        return;
    }
    // The verified copy goes into a staging folder made afresh, readable by this user alone.
    const QString staging = baseDir + separator() + QLatin1String(detail::stagingDirName);
    QDir(staging).removeRecursively();
    if (!QDir().mkdir(staging) ||
        !QFile::setPermissions(staging, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        abandonInstaller(QStringLiteral("the staging folder %1 cannot be made").arg(staging),
                         stagingFailedTip);
        return;
    }
    const QString copy = staging + separator() + urlFileName(exeUrl);
    downloadButton->setEnabled(false);
    state->installerCheck.start(installer, copy, state->release.exeSize, state->release.exeSha256,
                                state, [this, staging, copy](const QString& whyNot) {
                                    downloadButton->setEnabled(true);
                                    if (!whyNot.isEmpty()) {
                                        QDir(staging).removeRecursively();
                                        abandonInstaller(whyNot, installerRefusedTip);
                                        return;
                                    }
                                    confirmAndHandOver(copy);
                                });
}

void CCheckVersionDialog::confirmAndHandOver(const QString& installer)
{
    const bool trusted = updatesTrusted();
    QPointer<CCheckVersionDialog> alive(this);
    const QMessageBox::StandardButton answer = CMessageBox::warning(
        nullptr, nullptr, QStringLiteral("升级"), QStringLiteral("是否升级到最新版本？"),
        QMessageBox::Ok | QMessageBox::No, QMessageBox::NoButton, false);
    if (answer == QMessageBox::No || !alive)
        return;

    const std::vector<std::string> arguments{utf8(upgradeParam), utf8(installer), utf8(baseDir)};
    const QString staging = baseDir + separator() + QLatin1String(detail::stagingDirName);
    const QString program = staging + separator() + QLatin1String(detail::upgradeProgramName);
    QString whyNot;
    if (!trusted) {
        // As it always was: whatever can be copied is, and the start is not looked at.
        bool stagingReady = QDir(staging).exists();
        if (!stagingReady)
            stagingReady = QDir().mkdir(staging);
        if (stagingReady) {
            QDir source(QCoreApplication::applicationDirPath());
            if (source.exists()) {
                source.setNameFilters(
                    {QStringLiteral("*.dll"), QLatin1String(detail::upgradeProgramName)});
                // QFile::copy never overwrites: a file staged before keeps its contents.
                for (const QFileInfo& entry : source.entryInfoList())
                    QFile::copy(entry.absoluteFilePath(), staging + separator() + entry.fileName());
            }
        }
        utils::startProcess(utf8(program), arguments);
        return;
    }
    if (stageStrictly(staging, &whyNot) &&
        utils::startProcess(utf8(program), arguments) == processNotStarted)
        whyNot = QStringLiteral("the upgrade program %1 could not be started").arg(program);
    if (whyNot.isEmpty())
        return;
    qCWarning(lcUpdate, "upgrade stopped: %s", qUtf8Printable(whyNot));
    QDir(staging).removeRecursively();
    showTip(stagingFailedTip);
}

// With trusted keys every file must reach the staging folder, or nothing is started.
bool CCheckVersionDialog::stageStrictly(const QString& staging, QString* whyNot)
{
    QDir source(QCoreApplication::applicationDirPath());
    source.setNameFilters({QStringLiteral("*.dll"), QLatin1String(detail::upgradeProgramName)});
    const QFileInfoList entries = source.entryInfoList(QDir::Files);
    bool programFound = false;
    for (const QFileInfo& entry : entries) {
        programFound |= entry.fileName() == QLatin1String(detail::upgradeProgramName);
        QFile file(entry.absoluteFilePath());
        if (!file.copy(staging + separator() + entry.fileName())) {
            *whyNot =
                QStringLiteral("%1 cannot be staged: %2").arg(entry.fileName(), file.errorString());
            return false;
        }
    }
    if (!programFound)
        *whyNot = QStringLiteral("there is no %1 to stage")
                      .arg(QLatin1String(detail::upgradeProgramName));
    return programFound;
}

} // namespace Omra
