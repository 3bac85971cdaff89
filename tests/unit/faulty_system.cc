#include "tests/unit/faulty_system.h"

#include <cstring>

namespace {

class FaultyRegistryKey : public platform::RegistryKey {
 public:
  FaultyRegistryKey(FaultySystem& faults, std::unique_ptr<platform::RegistryKey> real,
                    std::optional<std::string> value)
      : faults_(faults), real_(std::move(real)), value_(std::move(value)) {}

  bool QueryValue(const std::string& name, char* buffer, size_t* size) override {
    if (faults_.Fails(Operation::kQueryRegistryValue)) return false;
    if (!value_) return real_->QueryValue(name, buffer, size);
    if (value_->size() + 1 > *size) return false;
    std::memcpy(buffer, value_->c_str(), value_->size() + 1);
    *size = value_->size() + 1;
    return true;
  }

 private:
  FaultySystem& faults_;
  std::unique_ptr<platform::RegistryKey> real_;
  std::optional<std::string> value_;
};

class FaultyTextInput : public platform::TextInput {
 public:
  FaultyTextInput(FaultySystem& faults, std::unique_ptr<platform::TextInput> real)
      : faults_(faults), real_(std::move(real)) {}

  size_t Read(char* buffer, size_t capacity) override {
    if (failed_ || faults_.Fails(Operation::kRead)) {
      failed_ = true;
      return 0;
    }
    return real_->Read(buffer, capacity);
  }
  bool Failed() const override { return failed_ || real_->Failed(); }
  bool IsReadOnly() override {
    return faults_.Fails(Operation::kModeQuery) || real_->IsReadOnly();
  }

 private:
  FaultySystem& faults_;
  std::unique_ptr<platform::TextInput> real_;
  bool failed_ = false;
};

class FaultyTextOutput : public platform::TextOutput {
 public:
  FaultyTextOutput(FaultySystem& faults, std::unique_ptr<platform::TextOutput> real)
      : faults_(faults), real_(std::move(real)) {}

  bool Write(const char* data, size_t size) override {
    return !faults_.Fails(Operation::kWrite) && real_->Write(data, size);
  }
  bool Flush() override { return !faults_.Fails(Operation::kFlush) && real_->Flush(); }
  bool SyncToDisk() override {
    return !faults_.Fails(Operation::kSync) && real_->SyncToDisk();
  }
  // A failed close still releases the file, as a real one does.
  bool Close() override {
    const bool fails = faults_.Fails(Operation::kClose);
    return real_->Close() && !fails;
  }

 private:
  FaultySystem& faults_;
  std::unique_ptr<platform::TextOutput> real_;
};

}  // namespace

const char* OperationName(Operation operation) {
  static const char* const kNames[] = {"open registry key",
                                       "query registry value",
                                       "lock",
                                       "open for reading",
                                       "read",
                                       "mode query",
                                       "delete",
                                       "create",
                                       "write",
                                       "flush",
                                       "sync",
                                       "close",
                                       "replace",
                                       "append"};
  return kNames[static_cast<size_t>(operation)];
}

void FaultySystem::FailAt(Operation operation, int nth, bool from_then_on) {
  failing_ = operation;
  fail_at_ = nth;
  from_then_on_ = from_then_on;
}

bool FaultySystem::Fails(Operation operation) {
  const int call = ++calls_[Index(operation)];
  return operation == failing_ &&
         (call == fail_at_ || (from_then_on_ && call > fail_at_));
}

std::unique_ptr<platform::RegistryKey> FaultySystem::OpenLocalMachineKey(
    const std::string& path) {
  if (Fails(Operation::kOpenRegistryKey)) return nullptr;
  std::unique_ptr<platform::RegistryKey> real;
  if (!registry_value_) {
    real = real_.OpenLocalMachineKey(path);
    if (!real) return nullptr;
  }
  return std::make_unique<FaultyRegistryKey>(*this, std::move(real), registry_value_);
}

std::unique_ptr<platform::TextInput> FaultySystem::OpenTextInput(
    const std::string& path) {
  if (Fails(Operation::kOpenForReading)) return nullptr;
  std::unique_ptr<platform::TextInput> real = real_.OpenTextInput(path);
  if (!real) return nullptr;
  return std::make_unique<FaultyTextInput>(*this, std::move(real));
}

std::unique_ptr<platform::TextOutput> FaultySystem::CreateTextOutput(
    const std::string& path, const std::string& model_path) {
  if (Fails(Operation::kCreate)) return nullptr;
  std::unique_ptr<platform::TextOutput> real = real_.CreateTextOutput(path, model_path);
  if (!real) return nullptr;
  return std::make_unique<FaultyTextOutput>(*this, std::move(real));
}

bool FaultySystem::RemoveFile(const std::string& path) {
  return !Fails(Operation::kDelete) && real_.RemoveFile(path);
}

bool FaultySystem::ReplaceFileAtomically(const std::string& from, const std::string& to) {
  return !Fails(Operation::kReplace) && real_.ReplaceFileAtomically(from, to);
}

std::unique_ptr<platform::DirectoryLock> FaultySystem::LockDirectory(
    const std::string& directory, int timeout_ms) {
  if (Fails(Operation::kLock)) return nullptr;
  return real_.LockDirectory(directory, timeout_ms);
}

bool FaultySystem::AppendText(const std::string& path, const std::string& text) {
  return !Fails(Operation::kAppend) && real_.AppendText(path, text);
}
