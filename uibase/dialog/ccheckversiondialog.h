#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/ccommondialog.h"

namespace Omra {

class CHttpDownLoader;

// Compares the running version with the one a published JSON manifest names and, on the
// user's request, downloads the installer and hands over to the upgrade program.
//
// Calling order: construct, setCurrentVersion, setGetVersionUrl, connect
// sigDownConfigFinish (and sigDownProgress), startGetLatestVersion, then exec when the user
// is to see the dialog. The manifest and the installer are looked for in the application's
// directory under the file names of their URLs, so downloadDir should be that directory.
class DIALOG_EXPORT CCheckVersionDialog : public CCommonDialog
{
    Q_OBJECT
public:
    CCheckVersionDialog(QString downloadDir, QString upgradeParam, QString baseDir,
                        QWidget* parent = nullptr);
    ~CCheckVersionDialog() override;

    void setCurrentVersion(QString version);
    void setGetVersionUrl(QString url);
    void startGetLatestVersion();

    // The raw 32-byte Ed25519 public key whose signature ("exe_ed25519" in the manifest, the
    // base64 signature of the installer's exact bytes) an installer must carry before the
    // upgrade is offered; for every dialog of the process. An installer without a valid
    // signature is deleted, nothing is asked or started, and the "omra.update" logging
    // category says why. An empty key switches the check off (the default); a key of another
    // length is refused with a warning there and the check stays as it was.
    static void setInstallerPublicKey(const QByteArray& key);

Q_SIGNALS:
    // Bytes received and in total of the installer download.
    void sigDownProgress(qint64, qint64);
    // The manifest step is over; bLatest: the running version equals the manifest's.
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
