#include "platform/entry.h"

namespace platform {
namespace {

bool IsBlankOrControl(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

std::string SkipLeadingBlanks(const std::string& text, size_t from) {
  while (from < text.size() && IsBlankOrControl(text[from])) ++from;
  return text.substr(from);
}

}  // namespace

std::string CommandTailFromCommandLine(const std::string& command_line) {
  size_t end_of_name = 0;
  if (!command_line.empty() && command_line[0] == '"') {
    const size_t closing_quote = command_line.find('"', 1);
    end_of_name =
        closing_quote == std::string::npos ? command_line.size() : closing_quote + 1;
  } else {
    while (end_of_name < command_line.size() &&
           !IsBlankOrControl(command_line[end_of_name])) {
      ++end_of_name;
    }
  }
  return SkipLeadingBlanks(command_line, end_of_name);
}

std::string CommandTailFromArguments(int argc, char** argv) {
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) joined += ' ';
    joined += argv[i];
  }
  return SkipLeadingBlanks(joined, 0);
}

}  // namespace platform
