// The scratch directory of the Windows build: a new directory under the
// user's temporary directory, named by its own Windows path.
#include <windows.h>

#include "tests/unit/scratch.h"

ScratchDirectory::ScratchDirectory() {
  static int made = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  root_ = std::filesystem::path(temp) /
          ("theaterlist-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++made));
  std::filesystem::create_directories(root_);
  dir_ = root_;
  dos_dir_ = root_.string();
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(root_, ignored)) {
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path ScratchDirectory::ErrorLogPath() const {
  return "C:\\CorvantaErrorLog.txt";
}
