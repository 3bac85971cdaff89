// The scratch directory of the Linux build: a small Wine prefix of its own,
// made the current one through WINEPREFIX.
#include <stdlib.h>

#include "tests/unit/scratch.h"

ScratchDirectory::ScratchDirectory() {
  char pattern[] = "/tmp/theaterlist-test-XXXXXX";
  root_ = mkdtemp(pattern);
  std::filesystem::create_directories(root_ / "dosdevices");
  std::filesystem::create_directories(root_ / "drive_c" / "scratch");
  std::filesystem::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
  setenv("WINEPREFIX", root_.c_str(), 1);
  dir_ = root_ / "drive_c" / "scratch";
  dos_dir_ = "C:\\scratch";
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
  unsetenv("WINEPREFIX");
}

std::filesystem::path ScratchDirectory::ErrorLogPath() const {
  return root_ / "drive_c" / "CorvantaErrorLog.txt";
}
