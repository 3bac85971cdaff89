// The byte loops, every variant, against byte-at-a-time models, on random
// text rich in CR and LF, at every length around the vector blocks.
#include "platform/byte_loops.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string CollapseModel(const std::string& raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += raw[i];
  }
  return text;
}

std::string ExpandModel(const std::string& text) {
  std::string raw;
  for (char c : text) {
    if (c == '\n') raw += '\r';
    raw += c;
  }
  return raw;
}

std::vector<size_t> FindLinesModel(const std::string& data, size_t begin, size_t end,
                                   const std::string& line) {
  std::vector<size_t> starts;
  for (size_t start = begin; start < end;) {
    const size_t lf = data.find('\n', start);
    if (lf == std::string::npos || lf >= end) break;
    if (data.compare(start, lf - start, line) == 0 && lf - start == line.size()) {
      starts.push_back(start);
    }
    start = lf + 1;
  }
  return starts;
}

using Translation = size_t (*)(const char*, size_t, char*);
using FindLines = size_t (*)(const char*, size_t, size_t, const char*, size_t, size_t*,
                             size_t);

struct Variant {
  const char* name;
  Translation collapse;
  Translation expand;
  FindLines find_lines;
};

const Variant kVariants[] = {
    {"chosen at run time", platform::CollapseCrLf, platform::ExpandLf,
     platform::FindLinesEqualTo},
    {"without AVX2", platform::CollapseCrLfWithoutAvx2, platform::ExpandLfWithoutAvx2,
     platform::FindLinesEqualToWithoutAvx2},
};

std::string Apply(Translation translation, const std::string& in, size_t room) {
  std::string out(room, '\0');
  out.resize(translation(in.data(), in.size(), &out[0]));
  return out;
}

// Collects every match, a few at a time, as the line filter does.
std::vector<size_t> FindAll(FindLines find_lines, const std::string& data, size_t begin,
                            size_t end, const std::string& line) {
  std::vector<size_t> all;
  size_t starts[2];
  for (size_t from = begin; from < end;) {
    const size_t found =
        find_lines(data.data(), from, end, line.data(), line.size(), starts, 2);
    all.insert(all.end(), starts, starts + found);
    if (found < 2) break;
    from = starts[1] + line.size() + 1;
  }
  return all;
}

TEST(ByteLoopsTest, MatchesTheByteModels) {
  std::mt19937 random(12345);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', 'a', '\0'};
  const std::string lines[] = {"a", "ab", "aba", "abababababababababab"};
  for (size_t length = 0; length < 200; ++length) {
    for (int round = 0; round < 40; ++round) {
      std::string raw;
      for (size_t i = 0; i < length; ++i) raw += alphabet[random() % sizeof(alphabet)];
      for (const Variant& variant : kVariants) {
        EXPECT_EQ(Apply(variant.collapse, raw, raw.size()), CollapseModel(raw))
            << variant.name << ", length " << length;
        EXPECT_EQ(Apply(variant.expand, raw, 2 * raw.size()), ExpandModel(raw))
            << variant.name << ", length " << length;
        const std::string& line = lines[round % 4];
        const size_t begin = length ? random() % length : 0;
        const size_t line_start = raw.rfind('\n', begin);
        const size_t from = line_start == std::string::npos ? 0 : line_start + 1;
        EXPECT_EQ(FindAll(variant.find_lines, raw, from, length, line),
                  FindLinesModel(raw, from, length, line))
            << variant.name << ", length " << length << ", line " << line;
      }
    }
  }
}

TEST(ByteLoopsTest, FindsTheLastByte) {
  const std::string text = "a\nbc\nd";
  EXPECT_EQ(platform::FindLastByte(text.data(), text.size(), '\n'), text.data() + 4);
  EXPECT_EQ(platform::FindLastByte(text.data(), 1, '\n'), nullptr);
  EXPECT_EQ(platform::FindLastByte(text.data(), 0, 'a'), nullptr);
}

}  // namespace
