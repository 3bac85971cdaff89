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

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_POSIX_TEXT_FILE_H_
