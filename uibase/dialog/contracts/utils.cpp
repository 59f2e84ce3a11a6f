#include "uibase/dialog/contracts/utils.h"

#include <log4cxx/basicconfigurator.h>
#include <log4cxx/logmanager.h>
#include <log4cxx/spi/loggerrepository.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <cstdarg>
#include <cstdio>

namespace utils {

template <> CLogCenter* CSingletonT<CLogCenter>::instance()
{
    static CLogCenter* const object = new CLogCenter;
    return object;
}

CLogCenter::CLogCenter()
{
    const QByteArray list = qgetenv("OMRA_CONSOLE_LOG");
    for (const QByteArray& item : list.split(',')) {
        bool ok = false;
        const int logSwitch = item.trimmed().toInt(&ok);
        if (ok)
            enabledSwitches.insert(logSwitch);
    }
}

bool CLogCenter::conLogEnabled(int logSwitch) const
{
    return enabledSwitches.contains(logSwitch);
}

void CLogCenter::setConLogEnabled(int logSwitch, bool enabled)
{
    if (enabled)
        enabledSwitches.insert(logSwitch);
    else
        enabledSwitches.remove(logSwitch);
}

void velDebugNew(const log4cxx::LoggerPtr& logger, const char* format, ...)
{
    if (!logger || !format)
        return;

    auto repository = log4cxx::LogManager::getLoggerRepository();
    if (repository && !repository->isConfigured())
        log4cxx::BasicConfigurator::configure();

    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return;
    }
    std::string line(std::size_t(length) + 1, '\0');
    std::vsnprintf(&line[0], line.size(), format, args);
    va_end(args);
    line.resize(std::size_t(length));

    LOG4CXX_DEBUG(logger, line);
}

bool FileHelper::open(const std::string& utf8Path, std::string& content, std::size_t maxBytes)
{
    content.clear();
    QFile file(QString::fromStdString(utf8Path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (std::size_t(file.size()) > maxBytes)
        return false;
    // Read in chunks rather than trusting size(): special files report 0.
    QByteArray data;
    char buffer[16384];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (std::size_t(data.size()) + std::size_t(n) > maxBytes)
            return false;
        data.append(buffer, int(n));
    }
    content.assign(data.constData(), std::size_t(data.size()));
    return true;
}

unsigned long startProcess(const std::string& utf8Program,
                           const std::vector<std::string>& utf8Arguments)
{
    QStringList arguments;
    arguments.reserve(int(utf8Arguments.size()));
    for (const std::string& argument : utf8Arguments)
        arguments << QString::fromStdString(argument);
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(utf8Program), arguments, QString(), &pid))
        return 0;
    return pid > 0 ? static_cast<unsigned long>(pid) : 0;
}

void sha1_checksum(unsigned char* out, const void* data, std::size_t len)
{
    if (!out)
        return;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const char* bytes = static_cast<const char*>(data);
    // addData takes an int length; feed very large inputs in pieces.
    while (bytes && len > 0) {
        const int piece = len > (1u << 30) ? (1 << 30) : int(len);
        hash.addData(QByteArray::fromRawData(bytes, piece));
        bytes += piece;
        len -= std::size_t(piece);
    }
    const QByteArray digest = hash.result();
    std::copy(digest.constBegin(), digest.constEnd(), out);
}

void hexlify(char* out, const unsigned char* in, std::size_t len)
{
    static const char digits[] = "0123456789abcdef";
    if (!out || !in)
        return;
    for (std::size_t i = 0; i < len; ++i) {
        out[2 * i] = digits[in[i] >> 4];
        out[2 * i + 1] = digits[in[i] & 0x0f];
    }
}

} // namespace utils
