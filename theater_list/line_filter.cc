#include "theater_list/line_filter.h"

#include <cstring>
#include <iterator>
#include <utility>

#include "platform/byte_loops.h"

LineFilter::LineFilter(ListEdit edit, std::string entry)
    : edit_(edit), entry_(std::move(entry)) {}

bool LineFilter::IsEntry(const char* line, size_t size) const {
  return size == entry_.size() && std::memcmp(line, entry_.data(), size) == 0;
}

bool LineFilter::WriteAndTrack(const char* data, size_t size, TextSink& sink) {
  if (size == 0) return true;
  wrote_unterminated_line_ = data[size - 1] != '\n';
  return sink.Write(data, size);
}

bool LineFilter::EmitHeldLine(bool with_line_end, TextSink& sink) {
  const bool is_entry = held_ == entry_;
  if (is_entry) found_ = true;
  if (with_line_end) held_ += '\n';
  const bool keep = !(is_entry && edit_ == ListEdit::kRemove);
  const bool written = !keep || WriteAndTrack(held_.data(), held_.size(), sink);
  held_.clear();
  return written;
}

// Goes on with a line that began in an earlier chunk, up to its end or the
// end of this chunk, and sets `*consumed` to the bytes of `data` it took.
bool LineFilter::ContinueCarriedLine(const char* data, size_t size, size_t* consumed,
                                     TextSink& sink) {
  const char* line_end = static_cast<const char*>(std::memchr(data, '\n', size));
  const size_t piece = line_end ? static_cast<size_t>(line_end - data) : size;
  if (state_ == LineState::kHolding && held_.size() + piece > entry_.size()) {
    if (!WriteAndTrack(held_.data(), held_.size(), sink)) return false;
    held_.clear();
    state_ = LineState::kPassingLongLine;
  }
  if (state_ == LineState::kPassingLongLine) {
    *consumed = line_end ? piece + 1 : size;
    if (line_end) state_ = LineState::kAtLineStart;
    return WriteAndTrack(data, *consumed, sink);
  }
  held_.append(data, piece);
  if (!line_end) {
    *consumed = size;
    return true;
  }
  *consumed = piece + 1;
  state_ = LineState::kAtLineStart;
  return EmitHeldLine(true, sink);
}

bool LineFilter::Feed(const char* data, size_t size, TextSink& sink) {
  size_t pos = 0;
  if (state_ != LineState::kAtLineStart && !ContinueCarriedLine(data, size, &pos, sink)) {
    return false;
  }
  if (pos == size) return true;
  // data[pos, size) starts at a line start; its complete lines end at the
  // last LF. Only lines that are the entry need a look of their own.
  const char* last_lf = platform::FindLastByte(data + pos, size - pos, '\n');
  const size_t line_start = last_lf ? static_cast<size_t>(last_lf - data) + 1 : pos;
  size_t pass_from = pos;  // data[pass_from, ...) is kept and not yet written
  size_t starts[64];
  for (size_t from = pos; from < line_start;) {
    const size_t found = platform::FindLinesEqualTo(
        data, from, line_start, entry_.data(), entry_.size(), starts, std::size(starts));
    if (found == 0) break;
    found_ = true;
    if (edit_ == ListEdit::kAdd) break;  // every line is kept all the same
    for (size_t i = 0; i < found; ++i) {
      if (!WriteAndTrack(data + pass_from, starts[i] - pass_from, sink)) return false;
      pass_from = starts[i] + entry_.size() + 1;
    }
    from = pass_from;
  }
  // The last line of the chunk goes on in the next one, or ends the list.
  if (size - line_start > entry_.size()) {
    state_ = LineState::kPassingLongLine;
    return WriteAndTrack(data + pass_from, size - pass_from, sink);
  }
  if (!WriteAndTrack(data + pass_from, line_start - pass_from, sink)) return false;
  if (line_start < size) {
    held_.assign(data + line_start, size - line_start);
    state_ = LineState::kHolding;
  }
  return true;
}

bool LineFilter::Finish(TextSink& sink) {
  if (state_ == LineState::kHolding && !EmitHeldLine(false, sink)) return false;
  state_ = LineState::kAtLineStart;
  if (edit_ == ListEdit::kRemove || found_) return true;
  if (wrote_unterminated_line_ && !WriteAndTrack("\n", 1, sink)) return false;
  const std::string line = entry_ + '\n';
  return WriteAndTrack(line.data(), line.size(), sink);
}
