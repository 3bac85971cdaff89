#include "theater_list/theater_list.h"

#include <memory>

#include "install_lookup/base_directory.h"
#include "platform/system.h"

namespace {

constexpr char kListName[] = "\\theater.lst";
constexpr char kCopyName[] = "\\newtheater.lst";
constexpr int kLockTimeoutMs = 10 * 1000;

// A CR or LF would split the entry over lines, and a Ctrl-Z would end the
// list for every later reader.
bool FitsOnOneLine(const std::string& entry) {
  return entry.find_first_of("\r\n\x1a") == std::string::npos;
}

class OutputSink : public TextSink {
 public:
  explicit OutputSink(platform::TextOutput& output) : output_(output) {}
  bool Write(const char* data, size_t size) override { return output_.Write(data, size); }

 private:
  platform::TextOutput& output_;
};

bool CopyThroughFilter(platform::TextInput& input, LineFilter& filter, TextSink& sink) {
  std::unique_ptr<char[]> buffer(new char[platform::kStreamBufferSize]);
  for (;;) {
    const size_t read = input.Read(buffer.get(), platform::kStreamBufferSize);
    if (read == 0) break;
    if (!filter.Feed(buffer.get(), read, sink)) return false;
  }
  return !input.Failed() && filter.Finish(sink);
}

}  // namespace

bool RewriteTheaterList(ListEdit edit, const std::string& entry) {
  if (!FitsOnOneLine(entry)) return false;
  platform::System& system = platform::CurrentSystem();
  // Runs that edit the same list one after the other, never at once.
  const std::unique_ptr<platform::DirectoryLock> lock =
      system.LockDirectory(BaseDirectory, kLockTimeoutMs);
  if (!lock) return false;
  const std::string list_path = BaseDirectory + kListName;
  const std::string copy_path = BaseDirectory + kCopyName;

  std::unique_ptr<platform::TextInput> list = system.OpenTextInput(list_path);
  if (!list || list->IsReadOnly()) return false;

  // Whatever stands at the copy's path (a stale copy, a planted link) goes;
  // the copy is then made fresh, so nothing is written through it.
  system.RemoveFile(copy_path);
  std::unique_ptr<platform::TextOutput> copy =
      system.CreateTextOutput(copy_path, list_path);
  if (!copy) return false;

  LineFilter filter(edit, entry);
  OutputSink sink(*copy);
  bool copied = CopyThroughFilter(*list, filter, sink);
  list.reset();
  copied = copied && copy->Flush() && copy->SyncToDisk();
  copied = copy->Close() && copied;
  copy.reset();
  if (copied && system.ReplaceFileAtomically(copy_path, list_path)) return true;
  system.RemoveFile(copy_path);
  return false;
}

bool AddTheaterEntry(std::string entry) {
  return RewriteTheaterList(ListEdit::kAdd, entry);
}

bool RemoveTheaterEntry(std::string entry) {
  return RewriteTheaterList(ListEdit::kRemove, entry);
}
