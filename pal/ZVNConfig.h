// The plug-in's configuration: string values under one registry key per
// product and version, each with a built-in default.
#pragma once

#include <cstdint>
#include <string>

namespace ZVNPal {

class ZVNConfig {
public:
    // Sets the configuration key to "Software\Marrowby Music Software", then
    // "\<product>" when the product is not empty and "\<version>" when the
    // version is not empty as well. Returns 0.
    static int32_t Initialize(const std::string& product, const std::string& version);

    // The key that Initialize sets for a product and version.
    static std::string KeyOf(const std::string& product, const std::string& version);

    // The key set by Initialize (below HKEY_LOCAL_MACHINE); empty before.
    static std::string GetKey();

    // The string value `name` of the configuration key. A value that cannot be
    // read yields its default ("Log Path": the home folder followed by
    // Documents, Marrowby, OL7T and Logs with the platform's separators;
    // everything else: empty) and, unless quiet, one debug line naming the
    // value.
    static std::string GetValue(const std::string& name, bool quiet);

    // Reads the string value `name` into `value` from the system registry
    // (SystemRegistry.h): 0 on success, 0x80004005 when the key is not set or
    // absent, or the value is missing, not a string or of size 0. Without a
    // stored "AppData Path" the store answers with the Contents folder of the
    // bundle that holds this library.
    static int32_t ReadString(const std::string& name, std::string& value);
};

} // namespace ZVNPal
