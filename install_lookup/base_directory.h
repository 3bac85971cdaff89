// The installation directory, as the registry records it.
#ifndef THEATERLIST_INSTALL_LOOKUP_BASE_DIRECTORY_H_
#define THEATERLIST_INSTALL_LOOKUP_BASE_DIRECTORY_H_

#include <cstddef>
#include <string>

// The installation directory, without a trailing backslash; empty until
// ReadBaseDirectory found it.
extern std::string BaseDirectory;

// The registry key under HKEY_LOCAL_MACHINE and its value that hold the
// installation directory.
constexpr const char kInstallKeyPath[] = "Software\\Oskmere\\Talvenor\\4.0";
constexpr const char kBaseDirValueName[] = "baseDir";
constexpr size_t kBaseDirBufferSize = 1024;

// Sets BaseDirectory from the registry value. On any failure (missing key
// or value, a value that leaves no room for its terminator in the
// 1,024-byte buffer) BaseDirectory becomes empty; nothing is reported.
void ReadBaseDirectory();

#endif  // THEATERLIST_INSTALL_LOOKUP_BASE_DIRECTORY_H_
