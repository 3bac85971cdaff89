#include "platform/posix/wine_prefix.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/unit/scratch.h"

namespace {

namespace fs = std::filesystem;

TEST(DosPathTest, MapsDriveLettersThroughDosdevices) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Games\\theater.lst", "/p/dosdevices/c:/Games/theater.lst"},
      {"c:/Games//theater.lst", "/p/dosdevices/c:/Games/theater.lst"},
      {"D:\\\\a\\\\b\\", "/p/dosdevices/d:/a/b"},
      {"C:\\a\\.\\b\\..\\c", "/p/dosdevices/c:/a/c"},
      {"C:\\..\\..\\x", "/p/dosdevices/c:/x"},
      {"C:", "/p/dosdevices/c:"},
      {"Games\\theater.lst", ""},
      {"\\\\server\\share\\x", ""},
      {"1:\\x", ""},
      {"", ""},
  };
  for (const auto& [dos, unix_path] : cases) {
    EXPECT_EQ(platform::MapDosPath("/p", dos), unix_path) << dos;
  }
  EXPECT_EQ(platform::MapDosPath("", "C:\\x"), "");
}

TEST(DosPathTest, MatchesComponentsIgnoringCaseWhenNotExact) {
  ScratchDirectory scratch;  // its files are C:\scratch\...
  fs::create_directories(scratch.NativePath("Games/Talvenor"));
  fs::create_directories(scratch.NativePath("games"));
  scratch.Write("Games/Talvenor/Theater.LST", "");
  const std::string prefix = platform::WinePrefixDirectory();
  const std::string scratch_dir = prefix + "/dosdevices/c:/scratch";
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\SCRATCH\\GAMES\\talvenor\\theater.lst", "/Games/Talvenor/Theater.LST"},
      {"C:\\scratch\\games\\x", "/games/x"},  // the exact spelling wins
      {"C:\\scratch\\Games\\TALVENOR\\newtheater.lst", "/Games/Talvenor/newtheater.lst"},
      {"C:\\scratch\\Missing\\Sub\\f", "/Missing/Sub/f"},
  };
  for (const auto& [dos, below_scratch] : cases) {
    EXPECT_EQ(platform::MapDosPath(prefix, dos), scratch_dir + below_scratch) << dos;
  }
}

TEST(WinePrefixTest, ComesFromWineprefixOrHome) {
  ScratchDirectory scratch;
  setenv("WINEPREFIX", "/some/prefix/", 1);
  EXPECT_EQ(platform::WinePrefixDirectory(), "/some/prefix/");
  setenv("WINEPREFIX", "relative/prefix", 1);
  EXPECT_EQ(platform::WinePrefixDirectory(), "");
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  setenv("WINEPREFIX", "", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(platform::WinePrefixDirectory(), "/home/someone/.wine");
  setenv("HOME", home.c_str(), 1);
}

}  // namespace
