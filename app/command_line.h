// The command-line grammar: anything, "-", an option letter ("a" add, "r"
// remove), one separator byte, then the entry up to the first "$" or the end.
#ifndef THEATERLIST_APP_COMMAND_LINE_H_
#define THEATERLIST_APP_COMMAND_LINE_H_

#include <string>

struct ParsedCommand {
  int edit_mode;      // kEditAdd, kEditRemove, or kEditNone when no valid option
  std::string entry;  // empty when the command line ends before the entry
};

// Never fails: a tail without "-" or with another option letter gives
// kEditNone; one that ends at or right after the option letter gives an empty
// entry.
ParsedCommand ParseCommandLine(const std::string& command_tail);

#endif  // THEATERLIST_APP_COMMAND_LINE_H_
