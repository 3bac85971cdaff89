#include "platform/posix/text_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/byte_loops.h"

namespace platform {
namespace {

constexpr char kCtrlZ = '\x1a';

ssize_t ReadRetrying(int fd, char* buffer, size_t size) {
  ssize_t got;
  do {
    got = read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

class PosixTextInput : public TextInput {
 public:
  explicit PosixTextInput(int fd) : fd_(fd), raw_(new char[kStreamBufferSize + 1]) {}
  ~PosixTextInput() override { close(fd_); }

  size_t Read(char* buffer, size_t capacity) override {
    while (!at_end_ && !failed_ && capacity >= 2) {
      char* raw = raw_.get();
      size_t size = 0;
      if (carried_cr_) raw[size++] = '\r';
      carried_cr_ = false;
      const size_t wanted = std::min(capacity, kStreamBufferSize) - size;
      const ssize_t got = ReadRetrying(fd_, raw + size, wanted);
      if (got < 0) {
        failed_ = true;
        return 0;
      }
      if (got == 0) at_end_ = true;
      size += got;
      if (const char* ctrl_z = static_cast<const char*>(std::memchr(raw, kCtrlZ, size))) {
        const size_t text_size = ctrl_z - raw;
        failed_ = text_size + 1 < size || BytesFollow();
        at_end_ = true;
        size = text_size;
      }
      // A CR at the end of the chunk may begin a CR LF pair.
      if (!at_end_ && size > 0 && raw[size - 1] == '\r') {
        carried_cr_ = true;
        --size;
      }
      if (failed_) return 0;
      size = CollapseCrLf(raw, size, buffer);
      if (size > 0) return size;
    }
    return 0;
  }

  bool Failed() const override { return failed_; }

  bool IsReadOnly() override {
    struct stat info;
    return fstat(fd_, &info) != 0 || (info.st_mode & 0222) == 0;
  }

 private:
  bool BytesFollow() {
    char byte;
    return ReadRetrying(fd_, &byte, 1) != 0;
  }

  const int fd_;
  std::unique_ptr<char[]> raw_;
  bool carried_cr_ = false;
  bool at_end_ = false;
  bool failed_ = false;
};

class PosixTextOutput : public TextOutput {
 public:
  explicit PosixTextOutput(int fd) : fd_(fd), buffer_(new char[kBufferSize]) {}
  ~PosixTextOutput() override {
    if (fd_ >= 0) close(fd_);
  }

  bool Write(const char* data, size_t size) override {
    while (!failed_ && size > 0) {
      const size_t piece = std::min(size, kStreamBufferSize);
      if (used_ + 2 * piece > kBufferSize) WriteOutBuffer();
      if (failed_) break;
      used_ += ExpandLf(data, piece, buffer_.get() + used_);
      data += piece;
      size -= piece;
    }
    return !failed_;
  }

  bool Flush() override {
    if (used_ > 0) WriteOutBuffer();
    return !failed_;
  }

  bool SyncToDisk() override { return fsync(fd_) == 0; }

  bool Close() override {
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  // Room for two pieces that are all line ends.
  static constexpr size_t kBufferSize = 4 * kStreamBufferSize;

  void WriteOutBuffer() {
    const char* data = buffer_.get();
    size_t left = used_;
    while (left > 0) {
      const ssize_t written = write(fd_, data, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        failed_ = true;
        return;
      }
      data += written;
      left -= written;
    }
    file_size_ += used_;
    used_ = 0;
    StartWritebackOfFullStretches();
  }

  // Hands each full stretch of the file to the disk as soon as it is written,
  // without waiting, so that the writing overlaps the rest of the copy and
  // the final fsync has little left to wait for.
  void StartWritebackOfFullStretches() {
#if defined(SYNC_FILE_RANGE_WRITE)
    if (file_size_ - writeback_start_ < kWritebackStretch) return;
    sync_file_range(fd_, static_cast<off_t>(writeback_start_),
                    static_cast<off_t>(file_size_ - writeback_start_),
                    SYNC_FILE_RANGE_WRITE);
    writeback_start_ = file_size_;
#endif
  }

  static constexpr size_t kWritebackStretch = 4 * 1024 * 1024;

  int fd_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  size_t file_size_ = 0;        // bytes written to the file so far
  size_t writeback_start_ = 0;  // where the stretch not yet handed to the disk begins
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<TextInput> MakeTextInput(int fd) {
  return std::make_unique<PosixTextInput>(fd);
}

std::unique_ptr<TextOutput> MakeTextOutput(int fd) {
  return std::make_unique<PosixTextOutput>(fd);
}

std::string ToCrLf(const std::string& text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

}  // namespace platform
