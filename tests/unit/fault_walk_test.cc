// Whatever call fails during a run, the list holds its whole old or whole new
// content, the exit code says which, the log says why, no copy is left, and
// the next run completes the edit.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/entry.h"
#include "tests/unit/faulty_system.h"
#include "tests/unit/scratch.h"

namespace {

struct Edit {
  std::string tail;
  std::string before;
  std::string after;
  std::string failure_line;
  bool stale_copy;
};

const Edit kEdits[] = {
    {"-a c.tdf", "a.tdf\r\nb.tdf\r\n", "a.tdf\r\nb.tdf\r\nc.tdf\r\n",
     "Could not add tdf c.tdf\r\n", false},
    {"-r a.tdf", "a.tdf\r\nb.tdf\r\na.tdf", "b.tdf\r\n", "Could not remove tdf a.tdf\r\n",
     false},
    {"-a c.tdf", "a.tdf\r\n", "a.tdf\r\nc.tdf\r\n", "Could not add tdf c.tdf\r\n", true},
};

const Operation kEditOperations[] = {
    Operation::kLock,      Operation::kOpenForReading, Operation::kRead,
    Operation::kModeQuery, Operation::kDelete,         Operation::kCreate,
    Operation::kWrite,     Operation::kFlush,          Operation::kSync,
    Operation::kClose,     Operation::kReplace};

int RunProgram(std::string tail) { return WinMain(nullptr, nullptr, &tail[0], 0); }

std::string ReadOrMissing(const std::filesystem::path& path) {
  if (!std::filesystem::exists(path)) return "(missing)";
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

class FaultWalk {
 public:
  explicit FaultWalk(const Edit& edit) : edit_(edit) {}

  void LayOut() {
    scratch_.Write("theater.lst", edit_.before);
    std::filesystem::remove(scratch_.NativePath("newtheater.lst"));
    if (edit_.stale_copy) scratch_.Write("newtheater.lst", "stale\r\n");
    std::filesystem::remove(scratch_.ErrorLogPath());
  }

  // Runs the edit with `faults` in front of the real system.
  int Run(FaultySystem& faults) {
    faults.SetRegistryValue(scratch_.DosDirectory());
    platform::SetSystemForTesting(&faults);
    const int code = RunProgram(edit_.tail);
    platform::SetSystemForTesting(nullptr);
    return code;
  }

  int CountCalls(Operation operation) {
    LayOut();
    FaultySystem faults(platform::RealSystem());
    EXPECT_EQ(Run(faults), 1);
    return faults.Calls(operation);
  }

  void CheckRunFailing(Operation operation, int nth, bool from_then_on) {
    const std::string where = std::string(OperationName(operation)) + " #" +
                              std::to_string(nth) + (from_then_on ? " onwards" : "") +
                              " in " + edit_.tail;
    LayOut();
    FaultySystem faults(platform::RealSystem());
    faults.FailAt(operation, nth, from_then_on);
    const int code = Run(faults);
    const std::string list = scratch_.Read("theater.lst");
    EXPECT_TRUE(list == edit_.before || list == edit_.after) << where << ": " << list;
    EXPECT_EQ(code == 1, list == edit_.after) << where << ": exit code " << code;
    EXPECT_EQ(ReadOrMissing(scratch_.ErrorLogPath()),
              code == 1 ? "(missing)" : edit_.failure_line)
        << where;
    // A stale copy goes only once the run gets to it; never one of its own.
    const std::string copy = ReadOrMissing(scratch_.NativePath("newtheater.lst"));
    EXPECT_TRUE(copy == "(missing)" || (edit_.stale_copy && copy == "stale\r\n"))
        << where << ": copy " << copy;

    FaultySystem no_faults(platform::RealSystem());
    EXPECT_EQ(Run(no_faults), 1) << "the run after " << where;
    EXPECT_EQ(scratch_.Read("theater.lst"), edit_.after) << "the run after " << where;
    EXPECT_FALSE(scratch_.Exists("newtheater.lst")) << "the run after " << where;
  }

 private:
  const Edit& edit_;
  ScratchDirectory scratch_;
};

TEST(FaultWalkTest, NoFailedCallLosesTheList) {
  int faulted_runs = 0;
  for (const Edit& edit : kEdits) {
    FaultWalk walk(edit);
    for (Operation operation : kEditOperations) {
      const int calls = walk.CountCalls(operation);
      EXPECT_GT(calls, 0) << OperationName(operation) << " in " << edit.tail;
      for (int nth = 1; nth <= calls; ++nth) {
        for (bool from_then_on : {false, true}) {
          walk.CheckRunFailing(operation, nth, from_then_on);
          ++faulted_runs;
        }
      }
    }
  }
  std::cout << "fault walk: " << faulted_runs << " runs, each with a failed call\n";
}

TEST(FaultWalkTest, RegistryAndLogFailuresEndQuietly) {
  const Edit& edit = kEdits[0];
  const std::pair<Operation, std::string> cases[] = {
      {Operation::kOpenRegistryKey, "(missing)"},
      {Operation::kQueryRegistryValue, "(missing)"},
  };
  for (const auto& [operation, log] : cases) {
    FaultWalk walk(edit);
    walk.LayOut();
    FaultySystem faults(platform::RealSystem());
    faults.FailAt(operation, 1, true);
    EXPECT_EQ(walk.Run(faults), 0) << OperationName(operation);
  }
  // A log that cannot be written: the exit code stands.
  ScratchDirectory scratch;
  FaultySystem faults(platform::RealSystem());
  faults.SetRegistryValue(scratch.DosDirectory());
  faults.FailAt(Operation::kAppend, 1, true);
  platform::SetSystemForTesting(&faults);
  EXPECT_EQ(RunProgram("-a missing-list.tdf"), 0);
  platform::SetSystemForTesting(nullptr);
  EXPECT_EQ(faults.Calls(Operation::kAppend), 1);
  EXPECT_FALSE(std::filesystem::exists(scratch.ErrorLogPath()));
}

}  // namespace
