#include "platform/posix/text_file.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

constexpr char kCtrlZ = '\x1a';

#if defined(__SSE2__)
__m128i Load(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
void Store(char* at, __m128i block) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(at), block);
}
#endif

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
    used_ = 0;
  }

  int fd_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace

size_t CollapseCrLf(const char* raw, size_t size, char* text) {
  size_t i = 0;
  size_t written = 0;
#if defined(__SSE2__)
  // 16 bytes at a time; each CR LF pair found moves the rest of the block one
  // byte back. The loads reach at most 32 bytes past i.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 32 <= size; i += 16) {
    const __m128i block = Load(raw + i);
    unsigned pairs = _mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(Load(raw + i + 1), lf)));
    size_t from = i;
    Store(text + written, block);
    for (; pairs; pairs &= pairs - 1) {
      const size_t pair = i + __builtin_ctz(pairs);
      written += pair - from;
      from = pair + 1;
      Store(text + written, Load(raw + from));
    }
    written += i + 16 - from;
  }
#endif
  for (; i < size; ++i) {
    if (raw[i] == '\r' && i + 1 < size && raw[i + 1] == '\n') continue;
    text[written++] = raw[i];
  }
  return written;
}

size_t ExpandLf(const char* text, size_t size, char* raw) {
  size_t i = 0;
  size_t written = 0;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 32 <= size; i += 16) {
    const __m128i block = Load(text + i);
    size_t from = i;
    Store(raw + written, block);
    for (unsigned ends = _mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)); ends;
         ends &= ends - 1) {
      const size_t end = i + __builtin_ctz(ends);
      written += end - from;
      raw[written++] = '\r';
      from = end;
      Store(raw + written, Load(text + from));
    }
    written += i + 16 - from;
  }
#endif
  for (; i < size; ++i) {
    if (text[i] == '\n') raw[written++] = '\r';
    raw[written++] = text[i];
  }
  return written;
}

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
