#pragma once

// The utilities library as the dialogs may use it: declarations only.

#include <log4cxx/logger.h>

#include <cstddef>
#include <string>
#include <vector>

namespace utils {

template <class T> class CSingletonT
{
public:
    static T* instance();
};

class CLogCenter
{
public:
    bool conLogEnabled(int logSwitch) const;
};

void velDebugNew(const log4cxx::LoggerPtr& logger, const char* format, ...);

class FileHelper
{
public:
    static bool open(const std::string& utf8Path, std::string& content);
};

unsigned long startProcess(const std::string& utf8Program,
                           const std::vector<std::string>& utf8Arguments);

void sha1_checksum(unsigned char* out, const void* data, std::size_t len);
void hexlify(char* out, const unsigned char* in, std::size_t len);

} // namespace utils
