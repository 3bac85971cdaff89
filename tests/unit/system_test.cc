// The real system of the build, through the interface the program uses.
#include "platform/system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/unit/scratch.h"

namespace {

platform::System& System() { return platform::RealSystem(); }

std::string ReadText(const std::string& path, size_t capacity, bool* failed) {
  std::unique_ptr<platform::TextInput> input = System().OpenTextInput(path);
  EXPECT_TRUE(input) << path;
  if (!input) return "";
  std::string text;
  std::string buffer(capacity, '\0');
  while (size_t got = input->Read(&buffer[0], capacity)) text.append(buffer, 0, got);
  *failed = input->Failed();
  return text;
}

TEST(TextModeTest, ReadsLikeTheWindowsRuntime) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\nb", "a\nb"},
      {"a\rb\r", "a\rb\r"},  // a lone CR stays
      {"a\r\r\n\r", "a\r\n\r"},
      {"\r\n\r\n", "\n\n"},
      {"a\r\nb\x1a", "a\nb"},  // Ctrl-Z ends the text
      {"\x1a", ""},
      {"a\r\x1a", "a\r"},
      {"%s%d\\\"\t\xff", "%s%d\\\"\t\xff"},
  };
  ScratchDirectory scratch;
  for (const auto& [bytes, text] : cases) {
    scratch.Write("in.txt", bytes);
    for (size_t capacity : {size_t{2}, size_t{3}, size_t{64 * 1024}}) {
      bool failed = true;
      EXPECT_EQ(ReadText(scratch.DosPath("in.txt"), capacity, &failed), text)
          << "capacity " << capacity;
      EXPECT_FALSE(failed);
    }
  }
}

TEST(TextModeTest, ReadsLongTextAcrossBufferBoundaries) {
  std::string bytes;
  for (int i = 0; bytes.size() < 3 * 1024 * 1024; ++i) {
    bytes += "line" + std::to_string(i) + (i % 7 ? "\r\n" : "\r\r\n");
  }
  // A CR LF pair split by the end of the first 64 KiB read.
  const size_t pair = bytes.find("\r\n", 64 * 1024 - 40);
  bytes.insert(pair, 64 * 1024 - 1 - pair, 'x');
  ASSERT_EQ(bytes.substr(64 * 1024 - 1, 2), "\r\n");
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' || bytes[i + 1] != '\n') text += bytes[i];
  }
  ScratchDirectory scratch;
  scratch.Write("in.txt", bytes);
  bool failed = true;
  EXPECT_EQ(ReadText(scratch.DosPath("in.txt"), 64 * 1024, &failed), text);
  EXPECT_FALSE(failed);
}

TEST(TextModeTest, RefusesTextThatStopsBeforeTheEndOfTheFile) {
  ScratchDirectory scratch;
  scratch.Write("in.txt",
                "a\r\n\x1a"
                "b\r\n");
  bool failed = false;
  ReadText(scratch.DosPath("in.txt"), 64 * 1024, &failed);
  EXPECT_TRUE(failed);
}

TEST(TextModeTest, WritesEveryLineFeedAsCrLf) {
  ScratchDirectory scratch;
  scratch.Write("model.txt", "");
  std::unique_ptr<platform::TextOutput> output =
      System().CreateTextOutput(scratch.DosPath("out.txt"), scratch.DosPath("model.txt"));
  ASSERT_TRUE(output);
  const std::string big(200 * 1024, 'x');
  EXPECT_TRUE(output->Write("a\nb\r\n\n%s", 8));
  EXPECT_TRUE(output->Write(big.data(), big.size()));
  EXPECT_TRUE(output->Write("\n", 1));
  EXPECT_TRUE(output->Flush());
  EXPECT_TRUE(output->SyncToDisk());
  EXPECT_TRUE(output->Close());
  EXPECT_EQ(scratch.Read("out.txt"), "a\r\nb\r\r\n\r\n%s" + big + "\r\n");
}

TEST(FileOperationsTest, CreatesOnlyNewFiles) {
  ScratchDirectory scratch;
  scratch.Write("model.txt", "");
  scratch.Write("taken.txt", "old");
  EXPECT_FALSE(System().CreateTextOutput(scratch.DosPath("taken.txt"),
                                         scratch.DosPath("model.txt")));
  EXPECT_EQ(scratch.Read("taken.txt"), "old");
  EXPECT_FALSE(System().CreateTextOutput(scratch.DosPath("missing\\new.txt"),
                                         scratch.DosPath("model.txt")));
}

TEST(FileOperationsTest, ReplacesDeletesAndAppends) {
  ScratchDirectory scratch;
  scratch.Write("list.txt", "old");
  scratch.Write("copy.txt", "new");
  EXPECT_TRUE(System().ReplaceFileAtomically(scratch.DosPath("copy.txt"),
                                             scratch.DosPath("list.txt")));
  EXPECT_EQ(scratch.Read("list.txt"), "new");
  EXPECT_FALSE(scratch.Exists("copy.txt"));
  EXPECT_FALSE(System().ReplaceFileAtomically(scratch.DosPath("copy.txt"),
                                              scratch.DosPath("list.txt")));
  EXPECT_EQ(scratch.Read("list.txt"), "new");

  EXPECT_TRUE(System().RemoveFile(scratch.DosPath("list.txt")));
  EXPECT_FALSE(System().RemoveFile(scratch.DosPath("list.txt")));

  EXPECT_TRUE(System().AppendText(scratch.DosPath("log.txt"), "one\n"));
  EXPECT_TRUE(System().AppendText(scratch.DosPath("log.txt"), "two\n"));
  EXPECT_EQ(scratch.Read("log.txt"), "one\r\ntwo\r\n");
  std::filesystem::create_directory(scratch.NativePath("dir"));
  EXPECT_FALSE(System().AppendText(scratch.DosPath("dir"), "x\n"));
}

TEST(FileOperationsTest, SeesReadOnlyFiles) {
  ScratchDirectory scratch;
  scratch.Write("list.txt", "a\r\n");
  EXPECT_FALSE(System().OpenTextInput(scratch.DosPath("list.txt"))->IsReadOnly());
  std::filesystem::permissions(scratch.NativePath("list.txt"),
                               std::filesystem::perms::owner_read |
                                   std::filesystem::perms::group_read |
                                   std::filesystem::perms::others_read);
  EXPECT_TRUE(System().OpenTextInput(scratch.DosPath("list.txt"))->IsReadOnly());
  EXPECT_FALSE(System().OpenTextInput(scratch.DosPath("missing.txt")));
}

}  // namespace
