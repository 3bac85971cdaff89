#include "platform/win32/mutex_name.h"

#include <cstdint>
#include <cstdio>

namespace platform {
namespace {

std::string NormalizedPath(const std::string& path) {
  std::string normalized;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
    if (c == '\\' && !normalized.empty() && normalized.back() == '\\') continue;
    normalized += c;
  }
  while (!normalized.empty() && normalized.back() == '\\') normalized.pop_back();
  return normalized;
}

uint64_t Fnv1a64(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

}  // namespace

std::string MutexNameForDirectory(const std::string& full_path) {
  char name[64];
  std::snprintf(name, sizeof(name), "Global\\theaterlist-%016llx",
                static_cast<unsigned long long>(Fnv1a64(NormalizedPath(full_path))));
  return name;
}

}  // namespace platform
