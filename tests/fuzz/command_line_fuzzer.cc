// Any bytes as a command line: the grammar and the forming of the tail never
// read out of bounds, and their results keep their promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/process_state.h"
#include "platform/entry.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

void CheckGrammar(const std::string& tail) {
  const ParsedCommand parsed = ParseCommandLine(tail);
  const size_t hyphen = tail.find('-');
  if (hyphen == std::string::npos) {
    Require(parsed.edit_mode == kEditNone && parsed.entry.empty());
    return;
  }
  const char letter = hyphen + 1 < tail.size() ? tail[hyphen + 1] : '\0';
  Require(parsed.edit_mode == (letter == 'a'   ? kEditAdd
                               : letter == 'r' ? kEditRemove
                                               : kEditNone));
  if (parsed.entry.empty()) {
    Require(hyphen + 3 >= tail.size() || tail[hyphen + 3] == '$');
    return;
  }
  Require(tail.compare(hyphen + 3, parsed.entry.size(), parsed.entry) == 0);
  Require(parsed.entry.find('$') == std::string::npos);
  const size_t end = hyphen + 3 + parsed.entry.size();
  Require(end == tail.size() || tail[end] == '$');
}

void CheckTail(const std::string& command_line) {
  const std::string tail = platform::CommandTailFromCommandLine(command_line);
  Require(tail.size() <= command_line.size());
  Require(command_line.compare(command_line.size() - tail.size(), tail.size(), tail) ==
          0);
  Require(tail.empty() || !IsBlankOrControl(tail[0]));
}

void CheckArguments(const std::string& joined) {
  std::vector<std::string> storage(1, "theaterlist");
  size_t start = 0;
  for (size_t zero; (zero = joined.find('\0', start)) != std::string::npos;
       start = zero + 1) {
    storage.push_back(joined.substr(start, zero - start));
  }
  storage.push_back(joined.substr(start));
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(&argument[0]);
  const std::string tail =
      platform::CommandTailFromArguments(static_cast<int>(argv.size()), argv.data());
  Require(tail.empty() || !IsBlankOrControl(tail[0]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckGrammar(bytes);
  CheckTail(bytes.substr(0, bytes.find('\0')));
  CheckArguments(bytes);
  return 0;
}
