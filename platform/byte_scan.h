// Finding every occurrence of one byte in a buffer, 16 bytes at a time where
// the processor has SSE2, with memchr otherwise.
#ifndef THEATERLIST_PLATFORM_BYTE_SCAN_H_
#define THEATERLIST_PLATFORM_BYTE_SCAN_H_

#include <cstddef>
#include <cstring>

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

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_BYTE_SCAN_H_
