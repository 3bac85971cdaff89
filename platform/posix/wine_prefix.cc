#include "platform/posix/wine_prefix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "platform/posix/ascii.h"

namespace platform {
namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<std::string> SplitComponents(const std::string& path_after_drive) {
  std::vector<std::string> components;
  std::string current;
  auto end_component = [&]() {
    if (current == "..") {
      if (!components.empty()) components.pop_back();
    } else if (!current.empty() && current != ".") {
      components.push_back(current);
    }
    current.clear();
  };
  for (char c : path_after_drive) {
    if (c == '\\' || c == '/') {
      end_component();
    } else {
      current += c;
    }
  }
  end_component();
  return components;
}

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// Returns the name in `directory` that equals `name` but for ASCII case (the
// smallest such name, so that the choice does not depend on the order of the
// directory), or "" when there is none.
std::string FindNameIgnoringCase(const std::string& directory, const std::string& name) {
  DIR* dir = opendir(directory.c_str());
  if (!dir) return "";
  std::string best;
  while (const dirent* entry = readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (EqualsIgnoringAsciiCase(candidate, name) && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  closedir(dir);
  return best;
}

}  // namespace

std::string WinePrefixDirectory() {
  const char* prefix = std::getenv("WINEPREFIX");
  std::string directory;
  if (prefix && *prefix) {
    directory = prefix;
  } else if (const char* home = std::getenv("HOME")) {
    directory = std::string(home) + "/.wine";
  }
  if (directory.empty() || directory[0] != '/') return "";
  return directory;
}

std::string MapDosPath(const std::string& prefix, const std::string& dos_path) {
  if (prefix.empty() || dos_path.size() < 2 || !IsDriveLetter(dos_path[0]) ||
      dos_path[1] != ':') {
    return "";
  }
  std::string mapped =
      prefix + "/dosdevices/" + ToLowerAscii(dos_path.substr(0, 1)) + ":";
  bool matching = true;  // false once a component is missing: nothing below it exists
  for (const std::string& component : SplitComponents(dos_path.substr(2))) {
    std::string name = component;
    if (matching && !Exists(mapped + "/" + component)) {
      const std::string found = FindNameIgnoringCase(mapped, component);
      if (found.empty()) {
        matching = false;
      } else {
        name = found;
      }
    }
    mapped += "/" + name;
  }
  return mapped;
}

}  // namespace platform
