// Test helper of the Windows build: takes the lock of an installation
// directory as the program does, says so by creating a marker file, and
// holds the lock until it is killed.
//
//   lock_holder.exe DIRECTORY MARKER
#include <windows.h>

#include <memory>

#include "platform/system.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::unique_ptr<platform::DirectoryLock> lock =
      platform::RealSystem().LockDirectory(argv[1], 0);
  if (!lock) return 1;
  CloseHandle(CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  Sleep(INFINITE);
  return 0;
}
