#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

namespace Omra {

class CHttpDownLoader;

/// \brief Checks a published manifest for another version and hands over to the upgrade.
///
/// A 400 x 200 framed dialog titled "检测版本" (check version) showing the current and the
/// latest version and the buttons "下载" (download) and "取消" (cancel). The manifest is a
/// JSON object with the strings \c "version" and \c "exe_url". "Latest" means the same
/// string as the running version: any other published version, older ones included, is
/// offered for download. A missing, unreadable or malformed manifest shows nothing and
/// still ends the check with sigDownConfigFinish(false).
///
/// "下载" fetches the installer (or shows "当前已是最新版本!" when the versions are equal)
/// and reports its progress through sigDownProgress(); once it has arrived, a warning box
/// asks "是否升级到最新版本？", and on any answer but No the dialog copies \c Upgrade.exe
/// and the \c *.dll files of the application's directory to \c bin_tmp under baseDir and
/// starts that copy of \c Upgrade.exe with three arguments: upgradeParam, the installer's
/// path and baseDir. The dialog neither closes nor quits the application then. "取消" stops
/// a download, deletes the partial installer and closes the dialog. Construction removes a
/// \c bin_tmp left by an earlier upgrade. Nothing fails loudly: refused or failed
/// downloads leave the dialog as it was.
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
    /// Starts fetching the manifest. When it is over, successfully or not, the latest
    /// version is shown and sigDownConfigFinish() is emitted. Calling it again fetches the
    /// manifest anew. An address the downloader refuses (empty, not http or https) ends
    /// without the signal.
    void startGetLatestVersion();

    /// The raw 32-byte Ed25519 public key whose signature ("exe_ed25519" in the manifest, the
    /// base64 signature of the installer's exact bytes) an installer must carry before the
    /// upgrade is offered; for every dialog of the process. An installer without a valid
    /// signature is deleted, nothing is asked or started, and the "omra.update" logging
    /// category says why. An empty key switches the check off (the default); a key of another
    /// length is refused with a warning there and the check stays as it was.
    static void setInstallerPublicKey(const QByteArray& key);

Q_SIGNALS:
    /// Progress of the installer download: bytes received and bytes in total. Not emitted
    /// for the manifest.
    void sigDownProgress(qint64, qint64);
    /// The manifest step is over: \a bLatest is true when the running version equals the
    /// manifest's, character for character (also when both are empty).
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
};

} // namespace Omra
