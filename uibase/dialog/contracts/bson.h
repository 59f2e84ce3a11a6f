#pragma once

// The legacy BSON library with its JSON reader, reached under the name the dialogs use:
// bson::fromjson, bson::BSONObj, bson::BSONElement. Its reader throws exceptions derived
// from std::exception for malformed text, and BSONElement::String() throws for a value
// that is not a string.

#include <mongo/bson/bson.h>
#include <mongo/db/json.h>

namespace bson = mongo;
