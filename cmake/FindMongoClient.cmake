# Finds the legacy MongoDB C++ driver (Debian: libmongoclient-dev), of which the BSON
# library and its JSON reader are used. Defines the imported target MongoClient::MongoClient.

find_path(MongoClient_INCLUDE_DIR NAMES mongo/bson/bson.h)
find_library(MongoClient_LIBRARY NAMES mongoclient)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(MongoClient REQUIRED_VARS MongoClient_LIBRARY MongoClient_INCLUDE_DIR)

if(MongoClient_FOUND AND NOT TARGET MongoClient::MongoClient)
    add_library(MongoClient::MongoClient UNKNOWN IMPORTED)
    set_target_properties(MongoClient::MongoClient PROPERTIES
        IMPORTED_LOCATION "${MongoClient_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${MongoClient_INCLUDE_DIR}")
endif()
mark_as_advanced(MongoClient_INCLUDE_DIR MongoClient_LIBRARY)
