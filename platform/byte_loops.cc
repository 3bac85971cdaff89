#include "platform/byte_loops.h"

#include <cstring>

#include "platform/byte_loops_impl.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

#if defined(THEATERLIST_HAVE_AVX2)
// In byte_loops_avx2.cc, which is compiled for AVX2.
size_t CollapseCrLfAvx2(const char* raw, size_t size, char* text);
size_t ExpandLfAvx2(const char* text, size_t size, char* raw);
size_t FindLinesEqualToAvx2(const char* data, size_t begin, size_t end, const char* line,
                            size_t line_size, size_t* starts, size_t max);
#endif

namespace {

#if defined(__SSE2__)
struct Sse2 {
  static constexpr size_t kWidth = 16;
  static __m128i Load(const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  }
  static void Store(char* at, __m128i block) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), block);
  }
  static __m128i Splat(char byte) { return _mm_set1_epi8(byte); }
  static unsigned Equal(__m128i a, __m128i b) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
  }
};
using BaseVector = Sse2;
#else
using BaseVector = NoVector;
#endif

#if defined(THEATERLIST_HAVE_AVX2)
bool HasAvx2() {
  static const bool has_avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
  return has_avx2;
}
#endif

}  // namespace

size_t CollapseCrLfWithoutAvx2(const char* raw, size_t size, char* text) {
  return CollapseCrLfWith<BaseVector>(raw, size, text);
}

size_t ExpandLfWithoutAvx2(const char* text, size_t size, char* raw) {
  return ExpandLfWith<BaseVector>(text, size, raw);
}

size_t CollapseCrLf(const char* raw, size_t size, char* text) {
#if defined(THEATERLIST_HAVE_AVX2)
  if (HasAvx2()) return CollapseCrLfAvx2(raw, size, text);
#endif
  return CollapseCrLfWithoutAvx2(raw, size, text);
}

size_t ExpandLf(const char* text, size_t size, char* raw) {
#if defined(THEATERLIST_HAVE_AVX2)
  if (HasAvx2()) return ExpandLfAvx2(text, size, raw);
#endif
  return ExpandLfWithoutAvx2(text, size, raw);
}

size_t FindLinesEqualToWithoutAvx2(const char* data, size_t begin, size_t end,
                                   const char* line, size_t line_size, size_t* starts,
                                   size_t max) {
  return FindLinesWith<BaseVector>(data, begin, end, line, line_size, starts, max);
}

size_t FindLinesEqualTo(const char* data, size_t begin, size_t end, const char* line,
                        size_t line_size, size_t* starts, size_t max) {
#if defined(THEATERLIST_HAVE_AVX2)
  if (HasAvx2())
    return FindLinesEqualToAvx2(data, begin, end, line, line_size, starts, max);
#endif
  return FindLinesEqualToWithoutAvx2(data, begin, end, line, line_size, starts, max);
}

const char* FindLastByte(const char* data, size_t size, char byte) {
#if defined(__GLIBC__)
  return static_cast<const char*>(memrchr(data, byte, size));
#else
  for (const char* p = data + size; p != data;) {
    if (*--p == byte) return p;
  }
  return nullptr;
#endif
}

}  // namespace platform
