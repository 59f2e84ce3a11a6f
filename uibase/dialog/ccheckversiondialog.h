#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

#include <QList>

#include <string>

namespace Omra {

class CHttpDownLoader;
namespace detail {
class CCheckVersionState;
}

/// \brief Checks a published manifest for another version and hands over to the upgrade.
///
/// A 400 x 200 framed dialog titled "检测版本" (check version) showing the current and the
/// latest version and the buttons "下载" (download) and "取消" (cancel). "下载" stays disabled
/// while the manifest is being fetched, which ends after 30 s or beyond 1 MiB whatever the
/// server does; "下载" then fetches the installer (or shows "当前已是最新版本!"), progress
/// comes through sigDownProgress(), a warning box asks "是否升级到最新版本？", and on any
/// answer but No the upgrade program \c Upgrade.exe and the \c *.dll files of the
/// application's directory are copied to \c bin_tmp under baseDir and that copy of
/// \c Upgrade.exe is started with three arguments: upgradeParam, the installer's path and
/// baseDir. The dialog neither closes nor quits the application then. "取消" stops a
/// download, deletes the installer this dialog saved and closes the dialog. Construction
/// removes a \c bin_tmp left by an earlier upgrade.
///
/// Without trusted keys (the default) the manifest is a JSON object with the strings
/// \c "version" and \c "exe_url", and "latest" means the same string as the running version:
/// any other published version is offered. With keys set (setInstallerPublicKeys()) only the
/// manifest's signed payload counts: it must be signed by a trusted key and not expired, a
/// version not above the running one is not offered, and the installer must have the size
/// and SHA-256 the payload names; it is checked on a worker thread while being copied into
/// \c bin_tmp, and that copy is what the upgrade program receives. See docs/updates.md.
///
/// Either way the installer's name (the last part of its URL) must be a plain file name that
/// is none of the terminal's own files, and the dialog never deletes or hands over a file its
/// own downloader did not save in this process. Refusals are logged in the \c omra.update
/// logging category; a download click after one shows a tip at the button.
///
/// The dialog is not deleted when closed; its owner deletes it.
///
/// \image html checkversion-newer.png "A newer version is offered"
/// \image html checkversion-latest-tip.png "Download clicked while up to date"
class DIALOG_EXPORT CCheckVersionDialog : public CCommonDialog
{
    Q_OBJECT
public:
    /// Builds the dialog and removes \a baseDir/bin_tmp if an earlier upgrade left it.
    /// \param downloadDir where downloads are saved. The manifest and the installer are read
    ///        from the application's directory, so this should be that directory.
    /// \param upgradeParam first argument of the upgrade program.
    /// \param baseDir the terminal's base directory: holds the staging directory
    ///        \c bin_tmp and is the upgrade program's third argument.
    /// \param parent Qt parent, or null.
    CCheckVersionDialog(QString downloadDir, QString upgradeParam, QString baseDir,
                        QWidget* parent = nullptr);
    /// Destroys the dialog and releases the downloader (any running download ends).
    ~CCheckVersionDialog() override;

    /// Shows \a version as the running version; call before startGetLatestVersion().
    void setCurrentVersion(QString version);
    /// Sets the http or https address of the manifest; call before startGetLatestVersion().
    void setGetVersionUrl(QString url);
    /// Starts fetching the manifest and disables "下载" until the step is over. When it is
    /// over, successfully or not, the latest version is shown and sigDownConfigFinish() is
    /// emitted once: at the latest after 30 s, and with false as soon as more than 1 MiB has
    /// arrived or the downloader refuses the address. Calling it again fetches the manifest
    /// anew.
    void startGetLatestVersion();

    /// The raw 32-byte Ed25519 public keys the manifest's signed payload must carry a
    /// signature of (any one of them), for every dialog of the process; more than one lets a
    /// publisher rotate keys. An empty list switches checking off (the default). A key of
    /// another length refuses the whole list with a warning in the "omra.update" logging
    /// category, and the keys stay as they were.
    static void setInstallerPublicKeys(const QList<QByteArray>& keys);
    /// The one-key form of setInstallerPublicKeys(); an empty key switches checking off.
    static void setInstallerPublicKey(const QByteArray& key);

Q_SIGNALS:
    /// Progress of the installer download: bytes received and bytes in total. Not emitted
    /// for the manifest.
    void sigDownProgress(qint64, qint64);
    /// The manifest step is over: \a bLatest is true when nothing newer is offered. Without
    /// trusted keys that is when the running version equals the manifest's, character for
    /// character (also when both are empty); with keys, when a valid signed payload names a
    /// version not above the running one.
    void sigDownConfigFinish(bool bLatest);

protected Q_SLOTS:
    void slotDownLoadFinish();
    void slotDownProcess(qint64, qint64);

protected:
    void createUi();
    bool handleEvent(int type, int id, int param, QString text, void* data) override;
    // Confirms, stages the upgrade program under baseDir and starts it.
    void startInstall();

    CSimpleTextWidget* currentVersionText = nullptr;
    CSimpleTextWidget* latestVersionText = nullptr;
    CHttpDownLoader* downloader = nullptr;
    QString versionUrl;
    QString exeUrl;
    // -1 nothing, 0 the manifest, 1 the installer.
    int downloadStage = -1;
    CMediumNormalButton* downloadButton = nullptr;
    QString downloadDir;
    QString upgradeParam;
    QString baseDir;

private:
    // Created on first use, without a Qt parent; connected once.
    void ensureDownloader();
    detail::CCheckVersionState* updateState();
    void readManifest(const std::string& bytes);
    void readSignedManifest(const std::string& bytes);
    // Ends the manifest step once: the deadline stops, the button comes back, the signal.
    void endManifestStep(bool latest);
    void abandonManifest(const QString& why);
    void abandonInstaller(const QString& why, const char* tip);
    // Asks, stages and starts the upgrade program with installer as its installer.
    void confirmAndHandOver(const QString& installer);
    bool stageStrictly(const QString& staging, QString* whyNot);
    // text in UTF-8
    void showTip(const char* text);
};

} // namespace Omra
