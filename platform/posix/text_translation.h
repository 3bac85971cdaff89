// The byte work of text mode: CR LF to LF on reading, LF to CR LF on
// writing. Vector code where the processor has it (AVX2, else SSE2), chosen
// once at run time.
#ifndef THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_H_
#define THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_H_

#include <cstddef>

namespace platform {

// Copies raw[0, size) to `text`, each CR LF pair as one LF, and returns the
// number of bytes written: at most `size`. A CR at the very end stays.
size_t CollapseCrLf(const char* raw, size_t size, char* text);

// Copies text[0, size) to `raw`, each LF as CR LF, and returns the number of
// bytes written: at most 2 * `size`. `raw` must hold 2 * `size` bytes.
size_t ExpandLf(const char* text, size_t size, char* raw);

// The same, without the AVX2 code: what runs on processors without it.
size_t CollapseCrLfWithoutAvx2(const char* raw, size_t size, char* text);
size_t ExpandLfWithoutAvx2(const char* text, size_t size, char* raw);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_TEXT_TRANSLATION_H_
