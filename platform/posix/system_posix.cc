// The real system of the Linux build: a Wine prefix stands for Windows.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>

#include "platform/posix/ascii.h"
#include "platform/posix/system_reg.h"
#include "platform/posix/text_file.h"
#include "platform/posix/wine_prefix.h"
#include "platform/system.h"

namespace platform {
namespace {

class PrefixRegistryKey : public RegistryKey {
 public:
  explicit PrefixRegistryKey(RegistryValues values) : values_(std::move(values)) {}

  bool QueryValue(const std::string& name, char* buffer, size_t* size) override {
    const auto value = values_.find(ToLowerAscii(name));
    if (value == values_.end() || value->second.data.size() > *size) return false;
    value->second.data.copy(buffer, value->second.data.size());
    *size = value->second.data.size();
    return true;
  }

 private:
  RegistryValues values_;
};

std::string Directory(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

class FlockedDirectory : public DirectoryLock {
 public:
  explicit FlockedDirectory(int fd) : fd_(fd) {}
  ~FlockedDirectory() override { close(fd_); }

 private:
  const int fd_;
};

long long MonotonicMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Polls, so that the wait has a bound; the kernel drops the lock of a
// process that dies, so no lock is ever left behind.
bool FlockWithin(int fd, int timeout_ms) {
  const long long deadline = MonotonicMilliseconds() + timeout_ms;
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (MonotonicMilliseconds() >= deadline) return false;
    const timespec pause = {0, 2 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

class PosixSystem : public System {
 public:
  std::unique_ptr<RegistryKey> OpenLocalMachineKey(const std::string& path) override {
    const std::string prefix = WinePrefixDirectory();
    if (prefix.empty()) return nullptr;
    std::ifstream file(prefix + "/system.reg", std::ios::binary);
    RegistryValues values;
    if (!file || !ReadSystemRegKey(file, path, &values)) return nullptr;
    return std::make_unique<PrefixRegistryKey>(std::move(values));
  }

  std::unique_ptr<TextInput> OpenTextInput(const std::string& path) override {
    const std::string mapped = Map(path);
    if (mapped.empty()) return nullptr;
    // Non-blocking, so that a FIFO at the path cannot hang the run; only a
    // regular file is read.
    const int fd = open(mapped.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
      close(fd);
      return nullptr;
    }
    return MakeTextInput(fd);
  }

  std::unique_ptr<TextOutput> CreateTextOutput(const std::string& path,
                                               const std::string& model_path) override {
    const std::string mapped = Map(path);
    const std::string mapped_model = Map(model_path);
    struct stat model_info;
    if (mapped.empty() || mapped_model.empty() ||
        stat(mapped_model.c_str(), &model_info) != 0) {
      return nullptr;
    }
    const int fd =
        open(mapped.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    // Owner and group only where the process may set them; the mode always.
    if (fchown(fd, model_info.st_uid, model_info.st_gid) != 0) {
      // Not ours to give away: keep the process's own.
    }
    if (fchmod(fd, model_info.st_mode & 07777) != 0) {
      close(fd);
      unlink(mapped.c_str());
      return nullptr;
    }
    return MakeTextOutput(fd);
  }

  bool RemoveFile(const std::string& path) override {
    const std::string mapped = Map(path);
    return !mapped.empty() && unlink(mapped.c_str()) == 0;
  }

  bool ReplaceFileAtomically(const std::string& from, const std::string& to) override {
    const std::string mapped_from = Map(from);
    const std::string mapped_to = Map(to);
    if (mapped_from.empty() || mapped_to.empty() ||
        rename(mapped_from.c_str(), mapped_to.c_str()) != 0) {
      return false;
    }
    // The new content is in place either way; syncing the directory makes
    // the rename itself survive a power loss.
    SyncDirectory(Directory(mapped_to));
    return true;
  }

  std::unique_ptr<DirectoryLock> LockDirectory(const std::string& directory,
                                               int timeout_ms) override {
    const std::string mapped = Map(directory);
    if (mapped.empty()) return nullptr;
    const int fd = open(mapped.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (!FlockWithin(fd, timeout_ms)) {
      close(fd);
      return nullptr;
    }
    return std::make_unique<FlockedDirectory>(fd);
  }

  bool AppendText(const std::string& path, const std::string& text) override {
    const std::string mapped = Map(path);
    if (mapped.empty()) return false;
    const int fd = open(mapped.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const std::string bytes = ToCrLf(text);
    const bool written =
        write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return close(fd) == 0 && written;
  }

 private:
  static std::string Map(const std::string& path) {
    return MapDosPath(WinePrefixDirectory(), path);
  }
};

}  // namespace

System& RealSystem() {
  static PosixSystem system;
  return system;
}

}  // namespace platform
