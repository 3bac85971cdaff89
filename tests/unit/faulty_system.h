// A system that stands in front of the real one and makes chosen calls fail:
// the Nth call of one operation, once or from then on. It also counts every
// call, and can answer the registry with a value of the test's choosing.
#ifndef THEATERLIST_TESTS_UNIT_FAULTY_SYSTEM_H_
#define THEATERLIST_TESTS_UNIT_FAULTY_SYSTEM_H_

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "platform/system.h"

enum class Operation {
  kOpenRegistryKey,
  kQueryRegistryValue,
  kLock,
  kOpenForReading,
  kRead,
  kModeQuery,
  kDelete,
  kCreate,
  kWrite,
  kFlush,
  kSync,
  kClose,
  kReplace,
  kAppend,
  kCount
};

const char* OperationName(Operation operation);

class FaultySystem : public platform::System {
 public:
  explicit FaultySystem(platform::System& real) : real_(real) {}

  // Makes the `nth` call (from 1) of `operation` fail; with `from_then_on`,
  // every later one too.
  void FailAt(Operation operation, int nth, bool from_then_on);
  // Answers every registry query with `value` (nullopt: the real registry).
  void SetRegistryValue(std::optional<std::string> value) { registry_value_ = value; }

  int Calls(Operation operation) const { return calls_[Index(operation)]; }

  // Counts a call of `operation` and returns true when it is to fail.
  bool Fails(Operation operation);

  std::unique_ptr<platform::RegistryKey> OpenLocalMachineKey(
      const std::string& path) override;
  std::unique_ptr<platform::TextInput> OpenTextInput(const std::string& path) override;
  std::unique_ptr<platform::TextOutput> CreateTextOutput(
      const std::string& path, const std::string& model_path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReplaceFileAtomically(const std::string& from, const std::string& to) override;
  std::unique_ptr<platform::DirectoryLock> LockDirectory(const std::string& directory,
                                                         int timeout_ms) override;
  bool AppendText(const std::string& path, const std::string& text) override;

 private:
  static size_t Index(Operation operation) { return static_cast<size_t>(operation); }

  platform::System& real_;
  std::array<int, static_cast<size_t>(Operation::kCount)> calls_ = {};
  Operation failing_ = Operation::kCount;
  int fail_at_ = 0;
  bool from_then_on_ = false;
  std::optional<std::string> registry_value_;
};

#endif  // THEATERLIST_TESTS_UNIT_FAULTY_SYSTEM_H_
