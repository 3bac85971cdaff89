#include "app/command_line.h"

#include "app/process_state.h"

namespace {

int EditModeForOption(const std::string& option) {
  if (option == "a") return kEditAdd;
  if (option == "r") return kEditRemove;
  return kEditNone;
}

}  // namespace

ParsedCommand ParseCommandLine(const std::string& command_tail) {
  const size_t hyphen = command_tail.find('-');
  if (hyphen == std::string::npos) return {kEditNone, ""};
  const int edit_mode = EditModeForOption(command_tail.substr(hyphen + 1, 1));
  // The byte right after the option letter separates it from the entry,
  // whatever that byte is.
  const size_t entry_start = hyphen + 3;
  if (entry_start >= command_tail.size()) return {edit_mode, ""};
  const size_t entry_end = command_tail.find('$', entry_start);
  return {edit_mode, command_tail.substr(entry_start, entry_end == std::string::npos
                                                          ? std::string::npos
                                                          : entry_end - entry_start)};
}
