#pragma once

// Stand-in for the platform's general utilities library (utils.dll).

#include "uibase/dialog/contracts/platform_global.h"

#include <log4cxx/logger.h>

#include <QSet>

#include <cstddef>
#include <string>
#include <vector>

namespace utils {

// The one object of type T in the process, created on first use. It is never destroyed:
// widgets that outlive main() (static or leaked ones) may still reach it while unwinding.
// Singletons of the platform's own classes are specialised and exported by the library, so
// that every module of the process shares one object.
template <class T> class CSingletonT
{
public:
    static T* instance()
    {
        static T* const object = new T;
        return object;
    }

    CSingletonT() = delete;
};

// Switchboard of numbered console-log switches. OMRA_CONSOLE_LOG, a comma-separated list
// of switch numbers (for example "35" or "35,40"), turns switches on at start-up.
class OMRA_PLATFORM_EXPORT CLogCenter
{
public:
    CLogCenter();

    bool conLogEnabled(int logSwitch) const;
    void setConLogEnabled(int logSwitch, bool enabled);

private:
    QSet<int> enabledSwitches;
};

template <> OMRA_PLATFORM_EXPORT CLogCenter* CSingletonT<CLogCenter>::instance();

// Writes one printf-style formatted line at debug level to the logger. When the
// application configured no log4cxx appender at all, a basic console set-up is made first
// so that the line is not silently lost.
OMRA_PLATFORM_EXPORT void velDebugNew(const log4cxx::LoggerPtr& logger, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

class OMRA_PLATFORM_EXPORT FileHelper
{
public:
    // Reads the whole file at the UTF-8 path into content. Returns false when the file
    // cannot be opened or read, or is larger than maxBytes; content is then left empty.
    static bool open(const std::string& utf8Path, std::string& content,
                     std::size_t maxBytes = std::size_t(64) * 1024 * 1024);
};

// Starts program detached with the argument vector (no shell is involved, so arguments
// need no quoting). Returns the new process id, or 0 when the program could not start.
OMRA_PLATFORM_EXPORT unsigned long startProcess(const std::string& utf8Program,
                                                const std::vector<std::string>& utf8Arguments);

// SHA-1 of len bytes at data into out (20 bytes).
OMRA_PLATFORM_EXPORT void sha1_checksum(unsigned char* out, const void* data, std::size_t len);

// Writes 2 * len lower-case hexadecimal digits for the len bytes at in into out (no
// terminating zero is written).
OMRA_PLATFORM_EXPORT void hexlify(char* out, const unsigned char* in, std::size_t len);

} // namespace utils
