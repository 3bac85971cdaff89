#include "platform/posix/system_reg.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr char kHeader32[] =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";
constexpr char kHeader64[] =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
constexpr char kKey[] = "Software\\Oskmere\\Talvenor\\4.0";

struct RegCase {
  std::string name;
  std::string file;
  bool key_found;
  uint32_t type;
  std::string data;  // as RegQueryValueExA hands it over
};

std::string Key(const std::string& values, const std::string& header = kHeader32) {
  return header +
         "[Software\\\\Oskmere\\\\Talvenor\\\\4.0] 1796987123\n#time=1dd895f849514dc\n" +
         values + "\n";
}

const std::string kZ("\0", 1);

TEST(SystemRegTest, ReadsTheValueAsA32BitProgramSeesIt) {
  const RegCase cases[] = {
      {"plain string", Key("\"baseDir\"=\"C:\\\\Games\\\\Talvenor\"\n"), true, 1,
       "C:\\Games\\Talvenor" + kZ},
      {"CR LF lines",
       "WINE REGISTRY Version 2\r\n\r\n[Software\\\\Oskmere\\\\Talvenor\\\\4.0]\r\n"
       "\"baseDir\"=\"C:\\\\x\"\r\n",
       true, 1, "C:\\x" + kZ},
      {"names ignore case", Key("\"BASEDIR\"=\"a\"\n"), true, 1, "a" + kZ},
      {"escapes", Key("\"baseDir\"=\"q\\\"\\t\\101\\x42\\x\\z\\0end\"\n"), true, 1,
       "q\"\tABxz" + kZ + "end" + kZ},
      {"non-ASCII escaped and raw",
       Key("\"baseDir\"=\"\\xe9\\x20ac\xc3\xa9\\xd83d\\xde00\"\n"), true, 1,
       "\xc3\xa9\xe2\x82\xac\xc3\xa9\xf0\x9f\x98\x80" + kZ},
      {"blanks around =", Key("  \"baseDir\" = \"a\"\n"), true, 1, "a" + kZ},
      {"last repeat holds", Key("\"baseDir\"=\"a\"\n\"baseDir\"=\"b\"\n"), true, 1,
       "b" + kZ},
      {"str form", Key("\"baseDir\"=str:\"a\"\n"), true, 1, "a" + kZ},
      {"expand string", Key("\"baseDir\"=str(2):\"%WINDIR%\"\n"), true, 2,
       "%WINDIR%" + kZ},
      {"multi string", Key("\"baseDir\"=str(7):\"a\\0b\\0\"\n"), true, 7,
       "a" + kZ + "b" + kZ + kZ},
      {"dword", Key("\"baseDir\"=dword:0000002a\n"), true, 4,
       std::string("\x2a\0\0\0", 4)},
      {"binary over lines", Key("\"baseDir\"=hex:41,42,\\\n  43,00\n"), true, 3,
       std::string("ABC\0", 4)},
      {"hex(1) string without zero", Key("\"baseDir\"=hex(1):41,00,42,00\n"), true, 1,
       "AB"},
      {"default value is not it", Key("@=\"a\"\n"), true, 0, ""},
      {"value of another key", Key("") + "[Software\\\\Other] 1\n\"baseDir\"=\"a\"\n",
       true, 0, ""},
      {"missing key",
       std::string(kHeader32) + "[Software\\\\Other] 1\n\"baseDir\"=\"a\"\n", false, 0,
       ""},
      {"key names ignore case",
       std::string(kHeader32) +
           "[software\\\\OSKMERE\\\\talvenor\\\\4.0] 1\n\"baseDir\"=\"a\"\n",
       true, 1, "a" + kZ},
      {"64-bit prefix: 32-bit view",
       std::string(kHeader64) +
           "[Software\\\\Wow6432Node\\\\Oskmere\\\\Talvenor\\\\4.0] 1\n"
           "\"baseDir\"=\"b\"\n",
       true, 1, "b" + kZ},
      {"64-bit prefix: 64-bit key unseen", Key("\"baseDir\"=\"a\"\n", kHeader64), false,
       0, ""},
      {"unparsable line skipped", Key("\"baseDir\"=\"a\n\"other\"=\"b\"\n"), true, 0, ""},
  };
  for (const RegCase& c : cases) {
    std::istringstream file(c.file);
    platform::RegistryValues values;
    EXPECT_EQ(platform::ReadSystemRegKey(file, kKey, &values), c.key_found) << c.name;
    const auto value = values.find("basedir");
    if (c.type == 0) {
      EXPECT_TRUE(value == values.end()) << c.name;
    } else if (value == values.end()) {
      ADD_FAILURE() << c.name << ": no value";
    } else {
      EXPECT_EQ(value->second.type, c.type) << c.name;
      EXPECT_EQ(value->second.data, c.data) << c.name;
    }
  }
}

TEST(SystemRegTest, KeyNamesKeepEscapedBrackets) {
  std::istringstream file(std::string(kHeader32) + "[Software\\\\a\\[1\\]] 1\n@=\"v\"\n");
  platform::RegistryValues values;
  EXPECT_TRUE(platform::ReadSystemRegKey(file, "Software\\a[1]", &values));
  EXPECT_EQ(values[""].data, "v" + kZ);
}

// A system.reg as large as a real one: the key is found wherever the reads
// of the file happen to cut its lines.
TEST(SystemRegTest, FindsTheKeyInALargeFile) {
  for (size_t shift = 0; shift < 40; shift += 7) {
    std::string file = std::string(kHeader64) + std::string(shift, ';') + "\n";
    for (int i = 0; file.size() < 300 * 1024; ++i) {
      file += "[Software\\\\Classes\\\\k" + std::to_string(i) +
              "] 1\n\"baseDir\"=\"x\"\n" + "\"Data\"=hex:00,01,\\\n  02\n\n";
    }
    file +=
        "[Software\\\\Wow6432Node\\\\Oskmere\\\\Talvenor\\\\4.0] 1\n"
        "\"baseDir\"=hex:41,\\\n  42,00\n\n[Software\\\\Z] 1\n\"baseDir\"=\"z\"\n";
    std::istringstream stream(file);
    platform::RegistryValues values;
    EXPECT_TRUE(platform::ReadSystemRegKey(stream, kKey, &values)) << shift;
    EXPECT_EQ(values["basedir"].data, std::string("AB\0", 3)) << shift;
  }
}

}  // namespace
