// The real system of the Windows program: the Win32 API and the C runtime's
// text streams.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/system.h"
#include "platform/win32/mutex_name.h"

namespace platform {
namespace {

constexpr char kCtrlZ = '\x1a';

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }

  bool QueryValue(const std::string& name, char* buffer, size_t* size) override {
    DWORD type = 0;
    DWORD data_size = static_cast<DWORD>(*size);
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &data_size) != ERROR_SUCCESS) {
      return false;
    }
    *size = data_size;
    return true;
  }

 private:
  const HKEY key_;
};

HANDLE HandleOf(FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// A list read with the runtime's text stream ("rt"). The runtime ends the
// text at a Ctrl-Z silently; since rewriting would then drop whatever follows
// it, the raw bytes are checked for that once the text has ended.
class Win32TextInput : public TextInput {
 public:
  explicit Win32TextInput(FILE* file) : file_(file) {
    setvbuf(file_, nullptr, _IOFBF, kStreamBufferSize);
  }
  ~Win32TextInput() override { fclose(file_); }

  size_t Read(char* buffer, size_t capacity) override {
    if (failed_ || at_end_) return 0;
    const size_t got = fread(buffer, 1, capacity, file_);
    text_bytes_ += got;
    for (const char* p = buffer;
         (p = static_cast<const char*>(std::memchr(p, '\n', buffer + got - p))); ++p) {
      ++line_feeds_;
    }
    if (got == 0) {
      at_end_ = true;
      failed_ = ferror(file_) || BytesFollowACtrlZ();
    }
    return failed_ ? 0 : got;
  }

  bool Failed() const override { return failed_; }

  bool IsReadOnly() override {
    BY_HANDLE_FILE_INFORMATION info;
    return !GetFileInformationByHandle(HandleOf(file_), &info) ||
           (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

 private:
  // Without a Ctrl-Z the text ended at the file's end, and the file holds no
  // Ctrl-Z at all. With one, it stands at a raw offset between the text's
  // size and that size plus one byte per line end (a CR dropped from each
  // CR LF), so only that stretch of raw bytes needs to be looked at.
  bool BytesFollowACtrlZ() {
    const HANDLE handle = HandleOf(file_);
    LARGE_INTEGER file_size;
    if (!GetFileSizeEx(handle, &file_size)) return true;
    const unsigned long long size = file_size.QuadPart;
    if (size > text_bytes_ + line_feeds_ + 1) return true;
    std::unique_ptr<char[]> raw(new char[kStreamBufferSize]);
    for (unsigned long long offset = text_bytes_; offset + 1 < size;) {
      OVERLAPPED at = {};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      DWORD got = 0;
      if (!ReadFile(handle, raw.get(), kStreamBufferSize, &got, &at) || got == 0)
        return true;
      const unsigned long long before_last = size - 1 - offset;
      if (std::memchr(raw.get(), kCtrlZ, got < before_last ? got : before_last))
        return true;
      offset += got;
    }
    return false;
  }

  FILE* const file_;
  unsigned long long text_bytes_ = 0;
  unsigned long long line_feeds_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
};

class Win32TextOutput : public TextOutput {
 public:
  explicit Win32TextOutput(FILE* file) : file_(file) {
    setvbuf(file_, nullptr, _IOFBF, kStreamBufferSize);
  }
  ~Win32TextOutput() override {
    if (file_) fclose(file_);
  }

  bool Write(const char* data, size_t size) override {
    failed_ = failed_ || fwrite(data, 1, size, file_) != size;
    return !failed_;
  }

  // fclose may report success after a failed write, so the stream's error
  // flag is checked here, before it.
  bool Flush() override {
    failed_ = failed_ || fflush(file_) != 0 || ferror(file_);
    return !failed_;
  }

  bool SyncToDisk() override { return FlushFileBuffers(HandleOf(file_)) != 0; }

  bool Close() override {
    const bool closed = fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  FILE* file_;
  bool failed_ = false;
};

class MutexLock : public DirectoryLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }

 private:
  const HANDLE mutex_;
};

std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD size = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
  return size > 0 && size < sizeof(full) ? std::string(full, size) : path;
}

class Win32System : public System {
 public:
  std::unique_ptr<RegistryKey> OpenLocalMachineKey(const std::string& path) override {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(key);
  }

  std::unique_ptr<TextInput> OpenTextInput(const std::string& path) override {
    FILE* file = fopen(path.c_str(), "rt");
    if (!file) return nullptr;
    return std::make_unique<Win32TextInput>(file);
  }

  std::unique_ptr<TextOutput> CreateTextOutput(const std::string& path,
                                               const std::string&) override {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int fd =
        _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
    if (fd < 0) {
      CloseHandle(handle);
      DeleteFileA(path.c_str());
      return nullptr;
    }
    FILE* file = _fdopen(fd, "wt");
    if (!file) {
      _close(fd);
      DeleteFileA(path.c_str());
      return nullptr;
    }
    return std::make_unique<Win32TextOutput>(file);
  }

  bool RemoveFile(const std::string& path) override {
    return DeleteFileA(path.c_str()) != 0;
  }

  bool ReplaceFileAtomically(const std::string& from, const std::string& to) override {
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  // A named mutex: Windows abandons it when its owner dies, and the next
  // waiter then gets it (WAIT_ABANDONED), so no lock is ever left behind.
  std::unique_ptr<DirectoryLock> LockDirectory(const std::string& directory,
                                               int timeout_ms) override {
    const HANDLE mutex =
        CreateMutexA(nullptr, FALSE, MutexNameForDirectory(FullPath(directory)).c_str());
    if (!mutex) return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(timeout_ms));
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
      CloseHandle(mutex);
      return nullptr;
    }
    return std::make_unique<MutexLock>(mutex);
  }

  bool AppendText(const std::string& path, const std::string& text) override {
    FILE* file = fopen(path.c_str(), "at");
    if (!file) return false;
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
  }
};

}  // namespace

System& RealSystem() {
  static Win32System system;
  return system;
}

}  // namespace platform
