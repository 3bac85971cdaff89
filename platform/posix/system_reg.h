// Reading one key's values from a Wine registry file (system.reg).
#ifndef THEATERLIST_PLATFORM_POSIX_SYSTEM_REG_H_
#define THEATERLIST_PLATFORM_POSIX_SYSTEM_REG_H_

#include <cstdint>
#include <istream>
#include <map>
#include <string>

namespace platform {

// A value's data as a 32-bit program's RegQueryValueExA returns it: string
// types (1, 2, 7) converted to UTF-8 with their terminating zero, other types
// as their raw bytes.
struct RegistryValue {
  uint32_t type = 0;
  std::string data;
};

// The values of one key, by lower-case name ("" is the default value).
using RegistryValues = std::map<std::string, RegistryValue>;

// Reads the values of the key at `key_path` (relative to HKEY_LOCAL_MACHINE,
// "\"-separated, matched case-insensitively) from `file`. In a file marked
// "#arch=win64" a key under "Software\" is read from the 32-bit view under
// "Software\Wow6432Node\". When a value name repeats, the last one holds.
// Returns false when the file holds no such key; lines it cannot parse are
// skipped.
bool ReadSystemRegKey(std::istream& file, const std::string& key_path,
                      RegistryValues* values);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_SYSTEM_REG_H_
