// The loops of text_translation.cc, written once for any vector width.
// Included by one source file per instruction set, each compiled for it;
// everything here has internal linkage, so the copies never meet.
#ifndef THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_LOOPS_H_
#define THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_LOOPS_H_

#include <cstddef>

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

#endif  // THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_LOOPS_H_
