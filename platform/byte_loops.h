// The byte work of the rewrite: text-mode translation (CR LF to LF on
// reading, LF to CR LF on writing) and finding the lines that equal an
// entry. Vector code where the processor has it (AVX2, else SSE2), chosen
// once at run time; plain loops elsewhere. None of these can fail.
#ifndef THEATERLIST_PLATFORM_BYTE_LOOPS_H_
#define THEATERLIST_PLATFORM_BYTE_LOOPS_H_

#include <cstddef>

namespace platform {

// Copies raw[0, size) to `text`, each CR LF pair as one LF, and returns the
// number of bytes written: at most `size`. A CR at the very end stays.
size_t CollapseCrLf(const char* raw, size_t size, char* text);

// Copies text[0, size) to `raw`, each LF as CR LF, and returns the number of
// bytes written: at most 2 * `size`. `raw` must hold 2 * `size` bytes.
size_t ExpandLf(const char* text, size_t size, char* raw);

// Finds the lines of data[begin, end) whose bytes are line[0, line_size)
// (which holds no LF; line_size > 0); data[begin] starts a line, and a line
// counts only when its LF stands before `end`. Writes the start of each, in
// increasing order, to `starts`, at most `max` of them, and returns how many
// it wrote. When that is `max`, the search goes on from the line after the
// last one written.
size_t FindLinesEqualTo(const char* data, size_t begin, size_t end, const char* line,
                        size_t line_size, size_t* starts, size_t max);

// Returns the last `byte` of data[0, size), or null when there is none.
const char* FindLastByte(const char* data, size_t size, char byte);

// The same, without the AVX2 code: what runs on processors without it.
size_t CollapseCrLfWithoutAvx2(const char* raw, size_t size, char* text);
size_t ExpandLfWithoutAvx2(const char* text, size_t size, char* raw);
size_t FindLinesEqualToWithoutAvx2(const char* data, size_t begin, size_t end,
                                   const char* line, size_t line_size, size_t* starts,
                                   size_t max);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_BYTE_LOOPS_H_
