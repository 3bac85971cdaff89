// The name of the mutex that serializes the edits of one installation.
#ifndef THEATERLIST_PLATFORM_WIN32_MUTEX_NAME_H_
#define THEATERLIST_PLATFORM_WIN32_MUTEX_NAME_H_

#include <string>

namespace platform {

// Returns a mutex name in the Global namespace (so that installers in other
// sessions wait too) that is the same for every spelling of `full_path` that
// Windows takes for the same directory: case, "/" for "\", repeated or
// trailing separators. Never fails.
std::string MutexNameForDirectory(const std::string& full_path);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_WIN32_MUTEX_NAME_H_
