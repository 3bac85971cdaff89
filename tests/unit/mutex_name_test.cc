#include "platform/win32/mutex_name.h"

#include <gtest/gtest.h>

namespace {

TEST(MutexNameTest, OneNamePerDirectory) {
  const std::string name = platform::MutexNameForDirectory("C:\\Games\\Talvenor");
  for (const char* same : {"c:\\games\\TALVENOR", "C:/Games/Talvenor",
                           "C:\\Games\\\\Talvenor", "C:\\Games\\Talvenor\\"}) {
    EXPECT_EQ(platform::MutexNameForDirectory(same), name) << same;
  }
  for (const char* other : {"C:\\Games\\Talveno", "D:\\Games\\Talvenor", "C:\\Games"}) {
    EXPECT_NE(platform::MutexNameForDirectory(other), name) << other;
  }
  EXPECT_EQ(name.rfind("Global\\", 0), 0u);
  EXPECT_EQ(name.find('\\', 7), std::string::npos);
}

}  // namespace
