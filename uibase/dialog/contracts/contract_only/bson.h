#pragma once

// The BSON library's JSON reader as the dialogs may use it: declarations only. Malformed
// text and a value of the wrong type are reported by exceptions derived from
// std::exception.

#include <string>

namespace bson {

class BSONElement
{
public:
    std::string String() const;
};

class BSONObj
{
public:
    bool hasField(const char* name) const;
    BSONElement operator[](const char* name) const;
};

BSONObj fromjson(const std::string& json);

} // namespace bson
