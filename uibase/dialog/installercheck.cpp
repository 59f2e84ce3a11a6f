#include "uibase/dialog/installercheck_p.h"

#include <QFile>
#include <QObject>
#include <QThread>

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Omra {

namespace {

// Large enough to keep the disk busy, small enough that a cancel is seen within milliseconds.
constexpr qint64 chunkSize = qint64(1) << 20;

struct MdCtxFree
{
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// The downloaded file, opened for reading without following a link put in its place and
// without blocking on a pipe; reads report -1 on an error.
class Source
{
public:
    explicit Source(const QString& path)
    {
#ifdef Q_OS_UNIX
        descriptor = ::open(QFile::encodeName(path).constData(),
                            O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        struct stat status;
        if (descriptor >= 0 && (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(descriptor);
            descriptor = -1;
            errno = EINVAL;
        }
        if (descriptor < 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
#else
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly))
            problem = file.errorString();
#endif
    }
    ~Source()
    {
#ifdef Q_OS_UNIX
        if (descriptor >= 0)
            ::close(descriptor);
#endif
    }
    QString error() const
    {
        return problem;
    }
    qint64 read(char* buffer, qint64 size)
    {
#ifdef Q_OS_UNIX
        for (;;) {
            const ssize_t got = ::read(descriptor, buffer, std::size_t(size));
            if (got >= 0 || errno != EINTR) {
                if (got < 0)
                    problem = QString::fromLocal8Bit(std::strerror(errno));
                return got;
            }
        }
#else
        const qint64 got = file.read(buffer, size);
        if (got < 0)
            problem = file.errorString();
        return got;
#endif
    }

private:
#ifdef Q_OS_UNIX
    int descriptor = -1;
#else
    QFile file;
#endif
    QString problem;
};

QString copyAndHash(Source& source, QFile& copy, qint64 size, const QByteArray& sha256,
                    const std::atomic<bool>& cancel)
{
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> digest(EVP_MD_CTX_new());
    if (!digest || EVP_DigestInit_ex(digest.get(), EVP_sha256(), nullptr) != 1)
        return QStringLiteral("SHA-256 is not available");
    std::vector<char> buffer(static_cast<std::size_t>(chunkSize));
    qint64 total = 0;
    for (;;) {
        if (cancel)
            return QStringLiteral("the check was stopped");
        const qint64 got = source.read(buffer.data(), chunkSize);
        if (got < 0)
            return QStringLiteral("it cannot be read: ") + source.error();
        if (got == 0)
            break;
        total += got;
        // No more than the release names is ever read or copied.
        if (total > size)
            return QStringLiteral("it has more than the %1 bytes the release names").arg(size);
        if (EVP_DigestUpdate(digest.get(), buffer.data(), std::size_t(got)) != 1)
            return QStringLiteral("SHA-256 failed");
        if (copy.write(buffer.data(), got) != got)
            return QStringLiteral("it cannot be copied: ") + copy.errorString();
    }
    if (total != size)
        return QStringLiteral("it has %1 bytes, not the %2 the release names").arg(total).arg(size);
    QByteArray computed(EVP_MAX_MD_SIZE, '\0');
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(digest.get(), reinterpret_cast<uchar*>(computed.data()), &length) != 1)
        return QStringLiteral("SHA-256 failed");
    computed.truncate(int(length));
    if (computed != sha256)
        return QStringLiteral("its SHA-256 is not the one the release names");
    if (!copy.flush())
        return QStringLiteral("it cannot be copied: ") + copy.errorString();
    return QString();
}

} // namespace

CInstallerCheck::CInstallerCheck() = default;

CInstallerCheck::~CInstallerCheck()
{
    stop();
}

void CInstallerCheck::stop()
{
    if (cancel)
        *cancel = true;
    if (thread)
        thread->wait();
    thread.reset();
    cancel.reset();
}

bool CInstallerCheck::isRunning() const
{
    return thread && thread->isRunning();
}

void CInstallerCheck::start(const QString& source, const QString& copy, qint64 size,
                            const QByteArray& sha256, QObject* context,
                            std::function<void(const QString& whyNot)> done)
{
    stop();
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    cancel = stopped;
    thread.reset(QThread::create([=] {
        const QString whyNot = run(source, copy, size, sha256, *stopped);
        // Queued to the receiver's thread; dropped if the receiver went or the check was
        // stopped in the meantime.
        QMetaObject::invokeMethod(
            context,
            [=] {
                if (!*stopped)
                    done(whyNot);
            },
            Qt::QueuedConnection);
    }));
    thread->start();
}

QString CInstallerCheck::run(const QString& source, const QString& copy, qint64 size,
                             const QByteArray& sha256, const std::atomic<bool>& cancel)
{
    Source input(source);
    if (!input.error().isEmpty())
        return QStringLiteral("it cannot be opened as a file: ") + input.error();
    QFile output(copy);
    // NewOnly: never write into a file or through a link that was there before.
    if (!output.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !output.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return QStringLiteral("no copy can be made at %1: %2").arg(copy, output.errorString());
    const QString whyNot = copyAndHash(input, output, size, sha256, cancel);
    output.close();
    if (!whyNot.isEmpty())
        QFile::remove(copy);
    return whyNot;
}

} // namespace Omra
