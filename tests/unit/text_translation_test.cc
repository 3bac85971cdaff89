// The Linux build's text-mode translation, against a byte-at-a-time model, on
// random text rich in CR and LF, at every length around the 16-byte blocks.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/posix/text_file.h"

namespace {

std::string CollapseModel(const std::string& raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += raw[i];
  }
  return text;
}

std::string Collapse(const std::string& raw) {
  std::string text(raw.size(), '\0');
  text.resize(platform::CollapseCrLf(raw.data(), raw.size(), &text[0]));
  return text;
}

std::string Expand(const std::string& text) {
  std::string raw(2 * text.size(), '\0');
  raw.resize(platform::ExpandLf(text.data(), text.size(), &raw[0]));
  return raw;
}

TEST(TextTranslationTest, MatchesTheByteModel) {
  std::mt19937 random(12345);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', 'x', '\0'};
  for (size_t length = 0; length < 200; ++length) {
    for (int round = 0; round < 50; ++round) {
      std::string raw;
      for (size_t i = 0; i < length; ++i) raw += alphabet[random() % sizeof(alphabet)];
      EXPECT_EQ(Collapse(raw), CollapseModel(raw)) << length;
      EXPECT_EQ(Expand(raw), platform::ToCrLf(raw)) << length;
    }
  }
  const std::string lines =
      std::string(1000, 'x') + "\r\n\r\r\n\n" + std::string(40, '\n');
  EXPECT_EQ(Collapse(lines), CollapseModel(lines));
  EXPECT_EQ(Expand(lines), platform::ToCrLf(lines));
}

}  // namespace
