// Where the Linux build finds its Windows: a Wine prefix.
#ifndef THEATERLIST_PLATFORM_POSIX_WINE_PREFIX_H_
#define THEATERLIST_PLATFORM_POSIX_WINE_PREFIX_H_

#include <string>

namespace platform {

// Returns $WINEPREFIX, or $HOME/.wine when WINEPREFIX is unset or empty.
// Returns "" when that is not an absolute path.
std::string WinePrefixDirectory();

// Maps a Windows path with a drive letter ("C:\Games\theater.lst") to the
// file it names in `prefix`: the drive through dosdevices/<letter>:, "\" and
// "/" as separators, "." and ".." resolved, and each component that is not
// on disk in its exact spelling matched case-insensitively against the
// directory's entries. A component matched by nothing is kept as written, so
// a file that is yet to be made maps too. Returns "" when the path has no
// drive letter or `prefix` is "".
std::string MapDosPath(const std::string& prefix, const std::string& dos_path);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_WINE_PREFIX_H_
