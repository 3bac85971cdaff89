// The program's entry point as the process start-up calls it.
//
// The start-up of each build forms the command-line tail: the command line
// without the program's name, with every leading byte from 1 to 32 skipped.
// It calls WinMain with that tail and makes the result the exit code.
#ifndef THEATERLIST_PLATFORM_ENTRY_H_
#define THEATERLIST_PLATFORM_ENTRY_H_

#ifdef _WIN32
#include <windows.h>
#else
#define WINAPI
using HINSTANCE = void*;
using LPSTR = char*;
int WinMain(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_tail,
            int show_state);
#endif

#include <string>

namespace platform {

// Returns the part of `command_line` after the program's name: a leading
// name in double quotes ends at its closing quote (or at the end), any
// other name at the first byte from 1 to 32; then every byte from 1 to 32 is
// skipped.
std::string CommandTailFromCommandLine(const std::string& command_line);

// Returns the command-line tail of a program started with `argc`/`argv`:
// the arguments after the name joined with one blank, then every leading
// byte from 1 to 32 skipped.
std::string CommandTailFromArguments(int argc, char** argv);

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_ENTRY_H_
