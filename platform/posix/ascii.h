// ASCII case folding, as Windows applies it to names of files and keys.
#ifndef THEATERLIST_PLATFORM_POSIX_ASCII_H_
#define THEATERLIST_PLATFORM_POSIX_ASCII_H_

#include <string>

namespace platform {

inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

inline std::string ToLowerAscii(std::string text) {
  for (char& c : text) c = ToLowerAscii(c);
  return text;
}

inline bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_ASCII_H_
