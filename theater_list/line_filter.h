// The streaming filter that adds an entry to, or removes it from, the text
// of a theater list as it is copied.
#ifndef THEATERLIST_THEATER_LIST_LINE_FILTER_H_
#define THEATERLIST_THEATER_LIST_LINE_FILTER_H_

#include <cstddef>
#include <string>

// Where the filter writes the kept text.
class TextSink {
 public:
  virtual ~TextSink() = default;
  // Returns false when the bytes could not be written.
  virtual bool Write(const char* data, size_t size) = 0;
};

enum class ListEdit { kAdd, kRemove };

// Copies list text (lines ending in LF) chunk by chunk. A line is the entry
// when its bytes, without the LF, equal the entry's; the last line counts
// even without an LF. Add keeps every line and appends the entry as a new
// last line when no line is the entry; remove drops every line that is the
// entry. Memory stays bounded by the entry's length: a line longer than the
// entry cannot match and is passed through as it comes.
class LineFilter {
 public:
  LineFilter(ListEdit edit, std::string entry);

  // Returns false as soon as the sink refused a write.
  bool Feed(const char* data, size_t size, TextSink& sink);
  // Ends the text. Returns false when the sink refused a write.
  bool Finish(TextSink& sink);

 private:
  enum class LineState { kAtLineStart, kHolding, kPassingLongLine };

  bool IsEntry(const char* line, size_t size) const;
  bool ContinueCarriedLine(const char* data, size_t size, size_t* consumed,
                           TextSink& sink);
  bool EmitHeldLine(bool with_line_end, TextSink& sink);
  bool WriteAndTrack(const char* data, size_t size, TextSink& sink);

  const ListEdit edit_;
  const std::string entry_;
  LineState state_ = LineState::kAtLineStart;
  std::string held_;  // start of a line that may still turn out to be the entry
  bool found_ = false;
  bool wrote_unterminated_line_ = false;
};

#endif  // THEATERLIST_THEATER_LIST_LINE_FILTER_H_
