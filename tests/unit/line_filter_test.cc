#include "theater_list/line_filter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/string_sink.h"

namespace {

// Feeds `list` in chunks of `chunk` bytes, so that every line end, and every
// place inside the entry, falls on a chunk boundary in some run.
std::string Filter(ListEdit edit, const std::string& entry, const std::string& list,
                   size_t chunk) {
  LineFilter filter(edit, entry);
  StringSink sink;
  for (size_t pos = 0; pos < list.size(); pos += chunk) {
    EXPECT_TRUE(filter.Feed(list.data() + pos, std::min(chunk, list.size() - pos), sink));
  }
  EXPECT_TRUE(filter.Finish(sink));
  return sink.text;
}

struct FilterCase {
  ListEdit edit;
  std::string entry;
  std::string before;
  std::string after;
};

const std::string kLong(3000, 'x');

const FilterCase kCases[] = {
    {ListEdit::kAdd, "foo", "", "foo\n"},
    {ListEdit::kAdd, "foo", "a\nb\n", "a\nb\nfoo\n"},
    {ListEdit::kAdd, "foo", "a\nfoo\nb\n", "a\nfoo\nb\n"},
    {ListEdit::kAdd, "foo", "foo\nfoo\n", "foo\nfoo\n"},         // duplicates stay
    {ListEdit::kAdd, "foo", "Foo\nfoo \n", "Foo\nfoo \nfoo\n"},  // exact comparison
    {ListEdit::kAdd, "foo", "fo\nfooo\n", "fo\nfooo\nfoo\n"},
    {ListEdit::kAdd, "foo", "a\nfoo", "a\nfoo"},     // unterminated last line
    {ListEdit::kAdd, "foo", "a\nb", "a\nb\nfoo\n"},  // line end first
    {ListEdit::kAdd, "foo", "a\n" + kLong, "a\n" + kLong + "\nfoo\n"},
    {ListEdit::kAdd, "foo", "\n\n", "\n\nfoo\n"},
    {ListEdit::kAdd, "foo", "foo\r\n", "foo\r\nfoo\n"},  // a lone CR is a byte
    {ListEdit::kAdd, "100%s", "1%d\n", "1%d\n100%s\n"},
    {ListEdit::kAdd, kLong, "a\n" + kLong + "\nb\n", "a\n" + kLong + "\nb\n"},
    {ListEdit::kAdd, kLong, kLong + "x\n", kLong + "x\n" + kLong + "\n"},
    {ListEdit::kAdd, "x", kLong + "\n", kLong + "\nx\n"},  // no piece matches
    {ListEdit::kRemove, "foo", "", ""},
    {ListEdit::kRemove, "foo", "foo\n", ""},
    {ListEdit::kRemove, "foo", "foo\na\nfoo\nb\nfoo\n", "a\nb\n"},
    {ListEdit::kRemove, "foo", "a\nb\n", "a\nb\n"},
    {ListEdit::kRemove, "foo", "Foo\nfoo \n foo\nfoo\r\n", "Foo\nfoo \n foo\nfoo\r\n"},
    {ListEdit::kRemove, "foo", "a\nfoo", "a\n"},  // unterminated last line
    {ListEdit::kRemove, "foo", "a\nb", "a\nb"},   // kept as it is
    {ListEdit::kRemove, "foo", "foo", ""},
    {ListEdit::kRemove, "foo", "\nfoo\n\n", "\n\n"},
    {ListEdit::kRemove, "x", kLong + "\nx\n" + kLong, kLong + "\n" + kLong},
    {ListEdit::kRemove, kLong, "a\n" + kLong + "\n" + kLong, "a\n"},
    {ListEdit::kRemove, kLong, kLong + kLong + "\n", kLong + kLong + "\n"},
};

TEST(LineFilterTest, AddsAndRemovesWholeLines) {
  for (const FilterCase& c : kCases) {
    for (size_t chunk : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{7},
                         size_t{1024}, size_t{65536}}) {
      EXPECT_EQ(Filter(c.edit, c.entry, c.before, chunk), c.after)
          << (c.edit == ListEdit::kAdd ? "add " : "remove ") << c.entry.substr(0, 20)
          << " to [" << c.before.substr(0, 40) << "] in chunks of " << chunk;
    }
  }
}

class RefusingSink : public TextSink {
 public:
  bool Write(const char*, size_t) override { return false; }
};

TEST(LineFilterTest, ReportsARefusedWrite) {
  RefusingSink sink;
  LineFilter add(ListEdit::kAdd, "foo");
  EXPECT_TRUE(add.Feed("", 0, sink));
  EXPECT_FALSE(add.Finish(sink));
  LineFilter remove(ListEdit::kRemove, "foo");
  EXPECT_FALSE(remove.Feed("a\n", 2, sink));
}

}  // namespace
