#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/process_state.h"
#include "platform/entry.h"

namespace {

struct GrammarCase {
  std::string tail;
  int edit_mode;
  std::string entry;
};

TEST(CommandLineTest, ParsesOptionAndEntry) {
  const GrammarCase cases[] = {
      {"-a foo.tdf", kEditAdd, "foo.tdf"},
      {"-r foo.tdf", kEditRemove, "foo.tdf"},
      {"-afoo", kEditAdd, "oo"},               // the byte after the letter is skipped
      {"-a\tfoo", kEditAdd, "foo"},            // whatever it is
      {"list -r foo", kEditRemove, "foo"},     // text before the hyphen is ignored
      {"-r foo-bar", kEditRemove, "foo-bar"},  // a later hyphen is part of the entry
      {"-a foo$bar", kEditAdd, "foo"},         // "$" ends the entry
      {"-a foo$", kEditAdd, "foo"},
      {"-a $foo", kEditAdd, ""},
      {"-a foo ", kEditAdd, "foo "},  // trailing blanks belong to the entry
      {"-a \"a b\\c %s\"", kEditAdd, "\"a b\\c %s\""},  // nothing is unquoted
      {"-A foo", kEditNone, "foo"},                     // letters are case-sensitive
      {"-R foo", kEditNone, "foo"},
      {"-x foo", kEditNone, "foo"},
      {"foo", kEditNone, ""},  // no hyphen at all
      {"-", kEditNone, ""},    // nothing after the hyphen
      {"-a", kEditAdd, ""},    // the letter ends the line
      {"-a ", kEditAdd, ""},   // nothing after the separator
      {"-ab", kEditAdd, ""},
      {"x-r -a foo", kEditRemove, "-a foo"},  // only the first hyphen counts
  };
  for (const GrammarCase& c : cases) {
    const ParsedCommand parsed = ParseCommandLine(c.tail);
    EXPECT_EQ(parsed.edit_mode, c.edit_mode) << c.tail;
    EXPECT_EQ(parsed.entry, c.entry) << c.tail;
  }
}

TEST(CommandTailTest, SkipsProgramNameAndLeadingBlanks) {
  const std::pair<std::string, std::string> cases[] = {
      {"theaterlist.exe -a foo", "-a foo"},
      {"\"C:\\Program Files\\theaterlist.exe\" -a foo", "-a foo"},
      {"\"C:\\x y\\t.exe\"-a foo", "-a foo"},  // the closing quote ends the name
      {"\"unclosed -a foo", ""},
      {"t.exe \t \t-r  foo ", "-r  foo "},
      {"t.exe\t-a foo", "-a foo"},
      {"t.exe", ""},
      {"t.exe    ", ""},
      {"", ""},
      {"t.exe \x01\x1f\x20x", "x"},
      {"t.exe \xe9t\xe9", "\xe9t\xe9"},  // bytes above 127 are not blanks
  };
  for (const auto& [command_line, tail] : cases) {
    EXPECT_EQ(platform::CommandTailFromCommandLine(command_line), tail) << command_line;
  }
}

TEST(CommandTailTest, JoinsArgumentsWithOneBlank) {
  char name[] = "theaterlist";
  char a[] = "-a";
  char b[] = "two  words";
  char blank[] = " ";
  char empty[] = "";
  {
    char* argv[] = {name, a, b};
    EXPECT_EQ(platform::CommandTailFromArguments(3, argv), "-a two  words");
  }
  {
    char* argv[] = {name, blank, empty, a};
    EXPECT_EQ(platform::CommandTailFromArguments(4, argv), "-a");
  }
  {
    char* argv[] = {name};
    EXPECT_EQ(platform::CommandTailFromArguments(1, argv), "");
  }
}

}  // namespace
