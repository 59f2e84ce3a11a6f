#include "uibase/dialog/contracts/network.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace Omra {

namespace {

// The file name a URL is saved under: its text behind the last '/', as written. Returns
// an empty string when that text cannot safely name a file in the download folder.
QString fileNameOf(const QString& url, const QUrl& parsed)
{
    // A URL whose path ends in '/' (or has none) names a folder, not a file.
    const QString path = parsed.path(QUrl::FullyEncoded);
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return QString();
    const QString name = url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    // The name is used as written: a backslash or an encoded separator must not sneak a
    // path into it on any platform.
    if (name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1String("%2f"), Qt::CaseInsensitive) ||
        name.contains(QLatin1String("%5c"), Qt::CaseInsensitive))
        return QString();
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QString();
    }
    return name;
}

} // namespace

CHttpDownLoader::CHttpDownLoader() : QObject(nullptr), manager(new QNetworkAccessManager(this)) {}

CHttpDownLoader::~CHttpDownLoader()
{
    discardReply();
}

void CHttpDownLoader::setFilePath(QString dir)
{
    folder = dir;
}

bool CHttpDownLoader::startRequest(QString url, bool replace)
{
    if (reply) {
        errorCode = ErrorBusy;
        errorText = QStringLiteral("a request is already running");
        return false;
    }
    errorText.clear();
    httpStatus = 0;

    const QString trimmed = url.trimmed();
    const QUrl parsed(trimmed, QUrl::StrictMode);
    if (trimmed.isEmpty() || !parsed.isValid() || parsed.isRelative()) {
        errorCode = ErrorBadUrl;
        errorText = QStringLiteral("not a valid absolute URL");
        return false;
    }
    const QString scheme = parsed.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        errorCode = ErrorUnsupportedScheme;
        errorText = QStringLiteral("unsupported scheme \"%1\"").arg(scheme);
        return false;
    }
    const QString name = fileNameOf(trimmed, parsed);
    if (parsed.host().isEmpty() || name.isEmpty()) {
        errorCode = ErrorBadUrl;
        errorText = QStringLiteral("the URL names no host or no file");
        return false;
    }

    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    target = dir.filePath(name);
    const QFileInfo targetInfo(target);
    if (!replace && targetInfo.exists()) {
        errorCode = ErrorFileExists;
        errorText = QStringLiteral("the file is already there");
        return false;
    }
    if (!dir.exists() || targetInfo.isDir()) {
        errorCode = ErrorCannotCreateFile;
        errorText = QStringLiteral("cannot write %1").arg(target);
        return false;
    }
    auto saveFile = std::make_unique<QSaveFile>(target);
    // Never fall back to writing the target in place: that is what the temporary is for.
    saveFile->setDirectWriteFallback(false);
    if (!saveFile->open(QIODevice::WriteOnly)) {
        errorCode = ErrorCannotCreateFile;
        errorText = saveFile->errorString();
        return false;
    }
    // An older file under the name must not outlive a failed request and pass for its answer.
    if (replace && (targetInfo.exists() || targetInfo.isSymLink()) && !QFile::remove(target)) {
        saveFile->cancelWriting();
        errorCode = ErrorCannotCreateFile;
        errorText = QStringLiteral("cannot remove the older %1").arg(target);
        return false;
    }

    QNetworkRequest request(parsed);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
#if QT_VERSION >= QT_VERSION_CHECK(5, 15, 0)
    request.setTransferTimeout(qMax(0, transferTimeout));
#endif

    file = std::move(saveFile);
    reportFailure = replace;
    errorCode = ErrorNone;
    written = 0;
    lastReceived = -1;
    lastTotal = -1;
    reply = manager->get(request);
    connect(reply, &QNetworkReply::readyRead, this, &CHttpDownLoader::slotReadyRead);
    connect(reply, &QNetworkReply::finished, this, &CHttpDownLoader::slotFinished);
    return true;
}

void CHttpDownLoader::stopDownLoad()
{
    discardReply();
}

void CHttpDownLoader::slotReadyRead()
{
    if (!reply || !file)
        return;
    // The body of an error page is not the file asked for.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299)) {
        reply->readAll();
        return;
    }
    const qint64 total = expectedSize();
    if (maxSize > 0 && total > maxSize) {
        fail(ErrorTooLarge, QStringLiteral("the response is larger than %1 bytes").arg(maxSize));
        return;
    }
    const QByteArray data = reply->readAll();
    if (data.isEmpty())
        return;
    if (maxSize > 0 && written + data.size() > maxSize) {
        fail(ErrorTooLarge, QStringLiteral("the response is larger than %1 bytes").arg(maxSize));
        return;
    }
    if (file->write(data) != data.size()) {
        fail(ErrorSaveFailed, file->errorString());
        return;
    }
    written += data.size();
    // Reported here rather than through QNetworkReply::downloadProgress, which Qt throttles
    // to a few signals a second and so stays silent for short or stalled transfers.
    lastReceived = written;
    lastTotal = (total >= 0 && total >= written) ? total : -1;
    emit sigDownProgress(lastReceived, lastTotal);
}

qint64 CHttpDownLoader::expectedSize() const
{
    if (!reply)
        return -1;
    // A compressed body is unpacked on the way in, so its announced length says nothing
    // about the bytes written.
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return -1;
    bool ok = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
    return ok ? length : -1;
}

void CHttpDownLoader::slotFinished()
{
    if (!reply)
        return;
    httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        fail(ErrorNetwork, reply->errorString());
        return;
    }
    if (httpStatus < 200 || httpStatus > 299) {
        fail(ErrorNetwork, QStringLiteral("HTTP status %1").arg(httpStatus));
        return;
    }
    // Whatever is still buffered belongs to the file.
    slotReadyRead();
    if (!reply)
        return; // failed while writing the rest
    if (!file->commit()) {
        fail(ErrorSaveFailed, file->errorString());
        return;
    }
    file.reset();
    reply->disconnect(this);
    reply->deleteLater();
    reply = nullptr;
    errorCode = ErrorNone;
    errorText.clear();
    // Callers wait for received == total to know the transfer is complete; a response
    // without a length never told them the total.
    if (lastReceived != written || lastTotal != written)
        emit sigDownProgress(written, written);
    emit sigDownFinish();
}

void CHttpDownLoader::fail(int code, const QString& text)
{
    if (reply)
        httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    discardReply();
    errorCode = code;
    errorText = text;
    if (reportFailure)
        emit sigDownFinish();
}

void CHttpDownLoader::discardReply()
{
    if (reply) {
        QNetworkReply* old = reply;
        reply = nullptr;
        old->disconnect(this);
        old->abort();
        old->deleteLater();
    }
    if (file) {
        // Removes the temporary; the target itself was never touched.
        file->cancelWriting();
        file.reset();
    }
}

} // namespace Omra
