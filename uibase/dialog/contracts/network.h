#pragma once

// Stand-in for the platform's network library (Network.dll): an HTTP(S) file downloader.

#include "uibase/dialog/contracts/platform_global.h"

#include <QObject>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace Omra {

// Downloads one URL at a time into a folder. The file is named after the URL's text
// behind its last '/', taken as written (query text included, nothing decoded), which is
// what QFileInfo(url).fileName() gives a caller looking for it afterwards. The body is
// written to a temporary file beside the target and renamed only once the whole response
// has arrived, so a half-written file never stands under the final name. Redirects are
// followed as long as they do not go from https to http; TLS errors are never ignored.
class OMRA_PLATFORM_EXPORT CHttpDownLoader : public QObject
{
    Q_OBJECT
public:
    // What getErrorCode() returns. Codes below 10 are refusals of startRequest (nothing was
    // started, no signal follows); codes from 10 on describe how the last request ended.
    enum EErrorCode {
        ErrorNone = 0,
        ErrorFileExists = 1,        // replace was false and the target file is there
        ErrorBadUrl = 2,            // empty or malformed URL, no host, or no usable file name
        ErrorUnsupportedScheme = 3, // only http and https are fetched
        ErrorBusy = 4,              // a request is already running
        ErrorCannotCreateFile = 5,  // the folder is missing or the file cannot be written
        ErrorNetwork = 10,          // transport, TLS or HTTP failure; see lastError()
        ErrorTooLarge = 11,         // the response passed maxResponseSize()
        ErrorSaveFailed = 12,       // writing or renaming the file failed
    };

    CHttpDownLoader();
    ~CHttpDownLoader() override;

    // Folder the downloads are saved into; an empty path means the working directory.
    void setFilePath(QString dir);
    QString filePath() const { return folder; }

    // Starts fetching url. Returns false, with getErrorCode() telling why, when the request
    // is refused; then no signal is emitted.
    // replace true: a file already under the target name is removed before the request
    // starts (so a failed request never leaves an older file to be taken for its answer),
    // and sigDownFinish follows the end whether the file was saved or not.
    // replace false: an existing file refuses the request with ErrorFileExists, and
    // sigDownFinish follows only a saved file; a failed request ends silently (isRunning()
    // turns false, getErrorCode() tells why).
    bool startRequest(QString url, bool replace);

    int getErrorCode() const { return errorCode; }
    // Human-readable reason for the last error, empty when there was none.
    QString lastError() const { return errorText; }
    // HTTP status of the last finished request's final response, 0 when none arrived.
    int lastHttpStatus() const { return httpStatus; }
    // Full path of the file the last request saved (or would have saved).
    QString targetFile() const { return target; }
    bool isRunning() const { return reply != nullptr; }

    // Ends the running request, if any, and removes what it had written. No sigDownFinish
    // follows for it: the caller asked for the end.
    void stopDownLoad();

    // Largest response body accepted, in bytes; 0 or less means no limit. 1 GiB by default.
    void setMaxResponseSize(qint64 bytes) { maxSize = bytes; }
    qint64 maxResponseSize() const { return maxSize; }
    // A request without any data flowing for this long fails; 0 turns the check off.
    void setTransferTimeout(int milliseconds) { transferTimeout = milliseconds; }
    int getTransferTimeout() const { return transferTimeout; }

    // Most redirects followed for one request.
    static constexpr int maxRedirects = 10;

Q_SIGNALS:
    // Once for every request that ended by itself with its file saved (getErrorCode() is
    // ErrorNone), and for a failed one (a code from 10 on, no file) only when it was started
    // with replace true.
    void sigDownFinish();
    // Bytes of the body received so far and in total (-1 while unknown). A successful
    // request ends with received == total.
    void sigDownProgress(qint64 received, qint64 total);

private:
    void slotReadyRead();
    qint64 expectedSize() const;
    void slotFinished();
    void fail(int code, const QString& text);
    void discardReply();

    QNetworkAccessManager* manager;
    QNetworkReply* reply = nullptr;
    std::unique_ptr<QSaveFile> file;
    QString folder;
    QString target;
    QString errorText;
    int errorCode = ErrorNone;
    int httpStatus = 0;
    bool reportFailure = true;
    qint64 written = 0;
    qint64 lastReceived = -1;
    qint64 lastTotal = -1;
    qint64 maxSize = qint64(1) << 30;
    int transferTimeout = 60000;
};

} // namespace Omra
