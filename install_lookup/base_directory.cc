#include "install_lookup/base_directory.h"

#include <cstring>
#include <memory>

#include "platform/system.h"

std::string BaseDirectory;

void ReadBaseDirectory() {
  char buffer[kBaseDirBufferSize] = {};
  std::unique_ptr<platform::RegistryKey> key =
      platform::CurrentSystem().OpenLocalMachineKey(kInstallKeyPath);
  if (key) {
    size_t size = sizeof(buffer);
    if (!key->QueryValue(kBaseDirValueName, buffer, &size)) buffer[0] = '\0';
    key.reset();
  }
  // Data that fills the whole buffer has no terminator: not a usable text.
  const void* terminator = std::memchr(buffer, '\0', sizeof(buffer));
  BaseDirectory = terminator ? std::string(buffer) : std::string();
}
