// Finding every occurrence of one byte in a buffer, 16 bytes at a time where
// the processor has SSE2, with memchr otherwise.
#ifndef THEATERLIST_PLATFORM_BYTE_SCAN_H_
#define THEATERLIST_PLATFORM_BYTE_SCAN_H_

#include <cstddef>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

// Calls `found(offset)` for the offset of every `byte` in data[0, size), in
// increasing order.
template <typename Found>
inline void ForEachByteOffset(const char* data, size_t size, char byte, Found found) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(byte);
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    for (unsigned mask = _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted)); mask;
         mask &= mask - 1) {
      found(i + __builtin_ctz(mask));
    }
  }
#endif
  const char* end = data + size;
  for (const char* p = data + i;
       (p = static_cast<const char*>(std::memchr(p, byte, end - p))); ++p) {
    found(static_cast<size_t>(p - data));
  }
}

// Returns the last `byte` in data[0, size), or null when there is none.
inline const char* FindLastByte(const char* data, size_t size, char byte) {
#if defined(__GLIBC__)
  return static_cast<const char*>(memrchr(data, byte, size));
#else
  for (const char* p = data + size; p != data;) {
    if (*--p == byte) return p;
  }
  return nullptr;
#endif
}

// Calls `found(start)` for the start of every line of data[begin, end) whose
// bytes are `line` (which holds no LF), in increasing order. data[begin]
// starts a line; a line counts only when its LF stands before `end`.
template <typename Found>
inline void ForEachLineEqualTo(const char* data, size_t begin, size_t end,
                               const std::string& line, Found found) {
  const size_t size = line.size();
  auto is_line_at = [&](size_t start) {
    return start + size < end && data[start + size] == '\n' &&
           std::memcmp(data + start, line.data(), size) == 0;
  };
  if (size == 0 || begin >= end) return;
  if (is_line_at(begin)) found(begin);
  // Every other line starts right after an LF at some offset e: a candidate
  // has an LF at e, the line's middle byte at e + 1 + size / 2 and an LF at
  // e + 1 + size, checked 16 offsets at a time.
  size_t e = begin;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i middle = _mm_set1_epi8(line[size / 2]);
  auto load = [&](size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
  };
  for (; e + size + 1 + 16 <= end; e += 16) {
    const __m128i candidates =
        _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(load(e), lf),
                                    _mm_cmpeq_epi8(load(e + size + 1), lf)),
                      _mm_cmpeq_epi8(load(e + 1 + size / 2), middle));
    for (unsigned mask = _mm_movemask_epi8(candidates); mask; mask &= mask - 1) {
      const size_t start = e + __builtin_ctz(mask) + 1;
      if (std::memcmp(data + start, line.data(), size) == 0) found(start);
    }
  }
#endif
  for (const char* p = data + e;
       (p = static_cast<const char*>(std::memchr(p, '\n', data + end - p))); ++p) {
    const size_t start = static_cast<size_t>(p - data) + 1;
    if (is_line_at(start)) found(start);
  }
}

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_BYTE_SCAN_H_
