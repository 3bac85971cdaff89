// The byte loops for processors with AVX2; this file alone is compiled
// with -mavx2, and its functions run only where the processor has it.
#include <immintrin.h>

#include "platform/byte_loops.h"
#include "platform/byte_loops_impl.h"

namespace platform {
namespace {

struct Avx2 {
  static constexpr size_t kWidth = 32;
  static __m256i Load(const char* at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  }
  static void Store(char* at, __m256i block) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), block);
  }
  static __m256i Splat(char byte) { return _mm256_set1_epi8(byte); }
  static unsigned Equal(__m256i a, __m256i b) {
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, b)));
  }
};

}  // namespace

size_t CollapseCrLfAvx2(const char* raw, size_t size, char* text) {
  return CollapseCrLfWith<Avx2>(raw, size, text);
}

size_t ExpandLfAvx2(const char* text, size_t size, char* raw) {
  return ExpandLfWith<Avx2>(text, size, raw);
}

size_t FindLinesEqualToAvx2(const char* data, size_t begin, size_t end, const char* line,
                            size_t line_size, size_t* starts, size_t max) {
  return FindLinesWith<Avx2>(data, begin, end, line, line_size, starts, max);
}

}  // namespace platform
