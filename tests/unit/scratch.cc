#include "tests/unit/scratch.h"

#include <fstream>
#include <sstream>

std::string ScratchDirectory::DosPath(const std::string& name) const {
  return dos_dir_ + "\\" + name;
}

void ScratchDirectory::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(NativePath(name), std::ios::binary) << bytes;
}

std::string ScratchDirectory::Read(const std::string& name) const {
  std::ostringstream bytes;
  bytes << std::ifstream(NativePath(name), std::ios::binary).rdbuf();
  return bytes.str();
}

bool ScratchDirectory::Exists(const std::string& name) const {
  std::error_code ignored;
  return std::filesystem::exists(
      std::filesystem::symlink_status(NativePath(name), ignored));
}
