// Any list, any entry, any chunking: the streaming filter gives the bytes
// that a short, whole-text model of add and remove gives.
//
// Input: one byte for the edit (low bit) and the chunk size (the rest), one
// byte for the entry's length, the entry, then the list text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/string_sink.h"
#include "theater_list/line_filter.h"

namespace {

// Splits at every LF; a last piece without one is a line too.
std::string Model(ListEdit edit, const std::string& entry, const std::string& list) {
  std::string kept;
  bool found = false;
  for (size_t start = 0; start < list.size();) {
    const size_t lf = list.find('\n', start);
    const size_t end = lf == std::string::npos ? list.size() : lf;
    const bool is_entry =
        list.compare(start, end - start, entry) == 0 && end - start == entry.size();
    found = found || is_entry;
    const size_t next = lf == std::string::npos ? list.size() : lf + 1;
    if (!(is_entry && edit == ListEdit::kRemove))
      kept += list.substr(start, next - start);
    start = next;
  }
  if (edit == ListEdit::kAdd && !found) {
    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    kept += entry + '\n';
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const ListEdit edit = (data[0] & 1) ? ListEdit::kAdd : ListEdit::kRemove;
  const size_t chunk = (data[0] >> 1) + 1;
  const size_t entry_size = data[1];
  if (entry_size == 0 || size < 2 + entry_size) return 0;
  const std::string entry(reinterpret_cast<const char*>(data) + 2, entry_size);
  if (entry.find('\n') != std::string::npos) return 0;  // the program refuses these
  const std::string list(reinterpret_cast<const char*>(data) + 2 + entry_size,
                         size - 2 - entry_size);

  LineFilter filter(edit, entry);
  StringSink sink;
  for (size_t pos = 0; pos < list.size(); pos += chunk) {
    filter.Feed(list.data() + pos, std::min(chunk, list.size() - pos), sink);
  }
  filter.Finish(sink);
  if (sink.text != Model(edit, entry, list)) std::abort();
  return 0;
}
