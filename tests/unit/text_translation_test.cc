// The Linux build's text-mode translation, against a byte-at-a-time model, on
// random text rich in CR and LF, at every length around the 16-byte blocks.
#include "platform/posix/text_translation.h"

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

using Translation = size_t (*)(const char*, size_t, char*);

struct Variant {
  const char* name;
  Translation collapse;
  Translation expand;
};

const Variant kVariants[] = {
    {"chosen at run time", platform::CollapseCrLf, platform::ExpandLf},
    {"without AVX2", platform::CollapseCrLfWithoutAvx2, platform::ExpandLfWithoutAvx2},
};

std::string Apply(Translation translation, const std::string& in, size_t room) {
  std::string out(room, '\0');
  out.resize(translation(in.data(), in.size(), &out[0]));
  return out;
}

TEST(TextTranslationTest, MatchesTheByteModel) {
  std::mt19937 random(12345);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\r', '\n', 'x', '\0'};
  for (size_t length = 0; length < 200; ++length) {
    for (int round = 0; round < 50; ++round) {
      std::string raw;
      for (size_t i = 0; i < length; ++i) raw += alphabet[random() % sizeof(alphabet)];
      for (const Variant& variant : kVariants) {
        EXPECT_EQ(Apply(variant.collapse, raw, raw.size()), CollapseModel(raw))
            << variant.name << ", length " << length;
        EXPECT_EQ(Apply(variant.expand, raw, 2 * raw.size()), platform::ToCrLf(raw))
            << variant.name << ", length " << length;
      }
    }
  }
}

}  // namespace
