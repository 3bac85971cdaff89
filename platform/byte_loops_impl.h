// The loops of byte_loops.h, written once for any vector width. Included
// by one source file per instruction set, each compiled for it; everything
// here has internal linkage, so the copies never meet.
#ifndef THEATERLIST_PLATFORM_BYTE_LOOPS_IMPL_H_
#define THEATERLIST_PLATFORM_BYTE_LOOPS_IMPL_H_

#include <cstddef>
#include <cstring>

namespace platform {
namespace {

// Vector: a type with static kWidth, Load(const char*), Store(char*, V),
// Splat(char) and Equal(V, V) -> bit mask of the equal bytes.
template <typename Vector>
size_t CollapseCrLfWith(const char* raw, size_t size, char* text) {
  constexpr size_t kWidth = Vector::kWidth;
  size_t i = 0;
  size_t written = 0;
  // A block at a time; each CR LF pair found moves the rest of the block one
  // byte back. The loads reach at most 2 * kWidth bytes past i.
  const auto cr = Vector::Splat('\r');
  const auto lf = Vector::Splat('\n');
  for (; i + 2 * kWidth <= size; i += kWidth) {
    const auto block = Vector::Load(raw + i);
    auto pairs = Vector::Equal(block, cr) & Vector::Equal(Vector::Load(raw + i + 1), lf);
    size_t from = i;
    Vector::Store(text + written, block);
    for (; pairs; pairs &= pairs - 1) {
      const size_t pair = i + __builtin_ctz(pairs);
      written += pair - from;
      from = pair + 1;
      Vector::Store(text + written, Vector::Load(raw + from));
    }
    written += i + kWidth - from;
  }
  for (; i < size; ++i) {
    if (raw[i] == '\r' && i + 1 < size && raw[i + 1] == '\n') continue;
    text[written++] = raw[i];
  }
  return written;
}

template <typename Vector>
size_t ExpandLfWith(const char* text, size_t size, char* raw) {
  constexpr size_t kWidth = Vector::kWidth;
  size_t i = 0;
  size_t written = 0;
  const auto lf = Vector::Splat('\n');
  for (; i + 2 * kWidth <= size; i += kWidth) {
    const auto block = Vector::Load(text + i);
    size_t from = i;
    Vector::Store(raw + written, block);
    for (auto ends = Vector::Equal(block, lf); ends; ends &= ends - 1) {
      const size_t end = i + __builtin_ctz(ends);
      written += end - from;
      raw[written++] = '\r';
      from = end;
      Vector::Store(raw + written, Vector::Load(text + from));
    }
    written += i + kWidth - from;
  }
  for (; i < size; ++i) {
    if (text[i] == '\n') raw[written++] = '\r';
    raw[written++] = text[i];
  }
  return written;
}

template <typename Vector>
size_t FindLinesWith(const char* data, size_t begin, size_t end, const char* line,
                     size_t size, size_t* starts, size_t max) {
  constexpr size_t kWidth = Vector::kWidth;
  size_t count = 0;
  auto is_line_at = [&](size_t start) {
    return start + size < end && data[start + size] == '\n' &&
           std::memcmp(data + start, line, size) == 0;
  };
  if (begin >= end || max == 0) return 0;
  if (is_line_at(begin)) {
    starts[count++] = begin;
    if (count == max) return count;
  }
  // Every other line starts right after an LF at some offset e: a candidate
  // has an LF at e, the line's middle byte at e + 1 + size / 2 and an LF at
  // e + 1 + size, checked a block of offsets at a time.
  size_t e = begin;
  const auto lf = Vector::Splat('\n');
  const auto middle = Vector::Splat(line[size / 2]);
  for (; e + size + 1 + kWidth <= end; e += kWidth) {
    auto candidates = Vector::Equal(Vector::Load(data + e), lf) &
                      Vector::Equal(Vector::Load(data + e + size + 1), lf) &
                      Vector::Equal(Vector::Load(data + e + 1 + size / 2), middle);
    for (; candidates; candidates &= candidates - 1) {
      const size_t start = e + __builtin_ctz(candidates) + 1;
      if (std::memcmp(data + start, line, size) != 0) continue;
      starts[count++] = start;
      if (count == max) return count;
    }
  }
  for (const char* p = data + e;
       (p = static_cast<const char*>(std::memchr(p, '\n', data + end - p))); ++p) {
    const size_t start = static_cast<size_t>(p - data) + 1;
    if (!is_line_at(start)) continue;
    starts[count++] = start;
    if (count == max) return count;
  }
  return count;
}

// No vectors: the loops' scalar tails do all the work.
struct NoVector {
  static constexpr size_t kWidth = 1 << 30;
  static int Load(const char*) { return 0; }
  static void Store(char*, int) {}
  static int Splat(char) { return 0; }
  static unsigned Equal(int, int) { return 0; }
};

}  // namespace
}  // namespace platform

#endif  // THEATERLIST_PLATFORM_BYTE_LOOPS_IMPL_H_
