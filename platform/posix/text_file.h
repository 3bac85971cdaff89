// Text-mode streams on file descriptors that read and write the same bytes as
// the Windows C runtime's text mode.
#ifndef THEATERLIST_PLATFORM_POSIX_TEXT_FILE_H_
#define THEATERLIST_PLATFORM_POSIX_TEXT_FILE_H_

#include <memory>

#include "platform/system.h"

namespace platform {

// Takes ownership of `fd`, open for reading.
std::unique_ptr<TextInput> MakeTextInput(int fd);

// Takes ownership of `fd`, open for writing.
std::unique_ptr<TextOutput> MakeTextOutput(int fd);

// Turns every LF of `text` into CR LF.
std::string ToCrLf(const std::string& text);

// Copies raw[0, size) to `text`, each CR LF pair as one LF, and returns the
// number of bytes written: at most `size`. A CR at the very end stays.
size_t CollapseCrLf(const char* raw, size_t size, char* text);

// Copies text[0, size) to `raw`, each LF as CR LF, and returns the number of
// bytes written: at most 2 * `size`. `raw` must hold 2 * `size` bytes.
size_t ExpandLf(const char* text, size_t size, char* raw);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_TEXT_FILE_H_
