#include "platform/posix/system_reg.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/byte_loops.h"
#include "platform/posix/ascii.h"

namespace platform {
namespace {

constexpr size_t kChunkSize = 64 * 1024;
const std::string kWin64Mark = "#arch=win64";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf16Le(std::string* bytes, uint32_t unit) {
  *bytes += static_cast<char>(unit & 0xff);
  *bytes += static_cast<char>((unit >> 8) & 0xff);
}

// Appends the code point of the raw UTF-8 sequence at `text[*pos]` as UTF-16
// code units (little-endian bytes) and moves past it. A byte that does not
// start a valid sequence becomes U+FFFD.
void AppendUtf8CodePoint(const std::string& text, size_t* pos, std::string* utf16) {
  const unsigned char lead = static_cast<unsigned char>(text[*pos]);
  const int length = lead < 0x80    ? 1
                     : lead >= 0xf0 ? 4
                     : lead >= 0xe0 ? 3
                     : lead >= 0xc2 ? 2
                                    : 0;
  uint32_t code_point = length == 1   ? lead
                        : length == 2 ? lead & 0x1f
                        : length == 3 ? lead & 0x0f
                                      : lead & 0x07;
  bool valid = length != 0 && *pos + length <= text.size();
  for (int i = 1; valid && i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[*pos + i]);
    valid = (next & 0xc0) == 0x80;
    code_point = (code_point << 6) | (next & 0x3f);
  }
  if (!valid || code_point > 0x10ffff) {
    AppendUtf16Le(utf16, 0xfffd);
    *pos += 1;
    return;
  }
  if (code_point >= 0x10000) {
    code_point -= 0x10000;
    AppendUtf16Le(utf16, 0xd800 + (code_point >> 10));
    AppendUtf16Le(utf16, 0xdc00 + (code_point & 0x3ff));
  } else {
    AppendUtf16Le(utf16, code_point);
  }
  *pos += length;
}

// Decodes one escape sequence after a backslash at `text[*pos - 1]`.
uint32_t DecodeEscape(const std::string& text, size_t* pos) {
  if (*pos >= text.size()) return '\\';
  const char c = text[(*pos)++];
  switch (c) {
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 't':
      return '\t';
    case 'n':
      return '\n';
    case 'v':
      return '\v';
    case 'f':
      return '\f';
    case 'r':
      return '\r';
    case 'e':
      return 0x1b;
    case 'x': {
      uint32_t unit = 0;
      int digits = 0;
      while (digits < 4 && *pos < text.size() && HexDigitValue(text[*pos]) >= 0) {
        unit = unit * 16 + HexDigitValue(text[(*pos)++]);
        ++digits;
      }
      return digits ? unit : 'x';
    }
    default:
      if (c >= '0' && c <= '7') {
        uint32_t unit = c - '0';
        for (int digits = 1;
             digits < 3 && *pos < text.size() && text[*pos] >= '0' && text[*pos] <= '7';
             ++digits) {
          unit = unit * 8 + (text[(*pos)++] - '0');
        }
        return unit;
      }
      return static_cast<unsigned char>(c);
  }
}

// Decodes escaped text from `text[*pos]` up to an unescaped `terminator`,
// as UTF-16 little-endian bytes, and moves past the terminator. Returns
// false when the terminator is missing.
bool DecodeEscapedText(const std::string& text, size_t* pos, char terminator,
                       std::string* utf16) {
  while (*pos < text.size()) {
    const char c = text[*pos];
    if (c == terminator) {
      ++*pos;
      return true;
    }
    if (c == '\\') {
      ++*pos;
      AppendUtf16Le(utf16, DecodeEscape(text, pos));
    } else {
      AppendUtf8CodePoint(text, pos, utf16);
    }
  }
  return false;
}

void AppendUtf8(std::string* text, uint32_t code_point) {
  if (code_point < 0x80) {
    *text += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    *text += static_cast<char>(0xc0 | (code_point >> 6));
    *text += static_cast<char>(0x80 | (code_point & 0x3f));
  } else if (code_point < 0x10000) {
    *text += static_cast<char>(0xe0 | (code_point >> 12));
    *text += static_cast<char>(0x80 | ((code_point >> 6) & 0x3f));
    *text += static_cast<char>(0x80 | (code_point & 0x3f));
  } else {
    *text += static_cast<char>(0xf0 | (code_point >> 18));
    *text += static_cast<char>(0x80 | ((code_point >> 12) & 0x3f));
    *text += static_cast<char>(0x80 | ((code_point >> 6) & 0x3f));
    *text += static_cast<char>(0x80 | (code_point & 0x3f));
  }
}

// Converts UTF-16 little-endian bytes to UTF-8; a lone surrogate becomes
// U+FFFD and an odd last byte is dropped.
std::string Utf16LeToUtf8(const std::string& utf16) {
  std::string utf8;
  const size_t units = utf16.size() / 2;
  auto unit_at = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(utf16[2 * i])) |
           static_cast<uint32_t>(static_cast<unsigned char>(utf16[2 * i + 1])) << 8;
  };
  for (size_t i = 0; i < units; ++i) {
    const uint32_t unit = unit_at(i);
    if (unit >= 0xd800 && unit < 0xdc00 && i + 1 < units && unit_at(i + 1) >= 0xdc00 &&
        unit_at(i + 1) < 0xe000) {
      AppendUtf8(&utf8, 0x10000 + ((unit - 0xd800) << 10) + (unit_at(i + 1) - 0xdc00));
      ++i;
    } else if (unit >= 0xd800 && unit < 0xe000) {
      AppendUtf8(&utf8, 0xfffd);
    } else {
      AppendUtf8(&utf8, unit);
    }
  }
  return utf8;
}

bool IsStringType(uint32_t type) { return type == 1 || type == 2 || type == 7; }

bool ConsumePrefix(const std::string& text, size_t* pos, const char* prefix) {
  const std::string wanted = prefix;
  if (text.compare(*pos, wanted.size(), wanted) != 0) return false;
  *pos += wanted.size();
  return true;
}

// Reads an optional "(N)" type in hex after "str" or "hex".
uint32_t ConsumeTypeSuffix(const std::string& text, size_t* pos, uint32_t plain_type) {
  if (*pos >= text.size() || text[*pos] != '(') return plain_type;
  const size_t close = text.find(')', *pos);
  if (close == std::string::npos) return plain_type;
  const uint32_t type =
      std::strtoul(text.substr(*pos + 1, close - *pos - 1).c_str(), nullptr, 16);
  *pos = close + 1;
  return type;
}

std::string ParseHexBytes(const std::string& text, size_t pos) {
  std::string bytes;
  int high = -1;
  for (; pos < text.size(); ++pos) {
    const int digit = HexDigitValue(text[pos]);
    if (digit < 0) {
      high = -1;
      continue;
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes += static_cast<char>(high * 16 + digit);
      high = -1;
    }
  }
  return bytes;
}

// Parses the data after "=" into the bytes Wine stores. Returns false when
// the data is not in a form this reader knows.
bool ParseValueData(const std::string& line, size_t pos, RegistryValue* value) {
  std::string stored;
  if (line.compare(pos, 1, "\"") == 0 || ConsumePrefix(line, &pos, "str")) {
    value->type = line[pos] == '"' ? 1 : ConsumeTypeSuffix(line, &pos, 1);
    if (line[pos] == ':') ++pos;
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    if (!DecodeEscapedText(line, &pos, '"', &stored)) return false;
    AppendUtf16Le(&stored, 0);
  } else if (ConsumePrefix(line, &pos, "dword:")) {
    value->type = 4;
    const uint32_t number = std::strtoul(line.substr(pos, 8).c_str(), nullptr, 16);
    for (int shift = 0; shift < 32; shift += 8)
      stored += static_cast<char>(number >> shift);
  } else if (ConsumePrefix(line, &pos, "hex")) {
    value->type = ConsumeTypeSuffix(line, &pos, 3);
    if (pos >= line.size() || line[pos] != ':') return false;
    stored = ParseHexBytes(line, pos + 1);
  } else {
    return false;
  }
  value->data = IsStringType(value->type) ? Utf16LeToUtf8(stored) : stored;
  return true;
}

size_t SkipBlanks(const std::string& text, size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  return pos;
}

// Parses `"name"=data` or `@=data`. Returns false for any other line.
bool ParseValueLine(const std::string& line, std::string* name, RegistryValue* value) {
  size_t pos = SkipBlanks(line, 0);
  if (pos >= line.size()) return false;
  if (line[pos] == '@') {
    name->clear();
    ++pos;
  } else if (line[pos] == '"') {
    std::string utf16;
    ++pos;
    if (!DecodeEscapedText(line, &pos, '"', &utf16)) return false;
    *name = ToLowerAscii(Utf16LeToUtf8(utf16));
  } else {
    return false;
  }
  pos = SkipBlanks(line, pos);
  if (pos >= line.size() || line[pos] != '=') return false;
  return ParseValueData(line, SkipBlanks(line, pos + 1), value);
}

// Returns the key path of a "[path] timestamp" line, lower-case, or false.
bool ParseKeyLine(const std::string& line, std::string* path) {
  if (line.empty() || line[0] != '[') return false;
  std::string utf16;
  size_t pos = 1;
  if (!DecodeEscapedText(line, &pos, ']', &utf16)) return false;
  *path = ToLowerAscii(Utf16LeToUtf8(utf16));
  return true;
}

enum class KeyMatch { kNo, kYes, kUnsure };

// Compares the path of a "[path]" line with `wanted` (lower-case) as it
// reads, without decoding the whole line: a real system.reg holds thousands
// of keys. Answers kUnsure where the line needs the full decoding (non-ASCII
// bytes, other escapes).
KeyMatch MatchKeyLine(const char* line, size_t size, const std::string& wanted) {
  size_t matched = 0;
  for (size_t i = 1; i < size; ++i) {
    char c = line[i];
    if (c == ']') return matched == wanted.size() ? KeyMatch::kYes : KeyMatch::kNo;
    if (c == '\\') {
      if (i + 1 >= size) return KeyMatch::kUnsure;
      c = line[++i];
      if (c != '\\' && c != '[' && c != ']') return KeyMatch::kUnsure;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      return KeyMatch::kUnsure;
    }
    if (matched >= wanted.size() || ToLowerAscii(c) != wanted[matched])
      return KeyMatch::kNo;
    ++matched;
  }
  return KeyMatch::kUnsure;
}

bool IsKey(const char* line, size_t size, const std::string& wanted) {
  const KeyMatch match = MatchKeyLine(line, size, wanted);
  if (match != KeyMatch::kUnsure) return match == KeyMatch::kYes;
  std::string path;
  return ParseKeyLine(std::string(line, size), &path) && path == wanted;
}

std::string ThirtyTwoBitView(const std::string& lower_path, bool win64) {
  const std::string software = "software\\";
  if (!win64 || lower_path.compare(0, software.size(), software) != 0) return lower_path;
  return software + "wow6432node\\" + lower_path.substr(software.size());
}

// Follows the lines of system.reg and keeps the values of one key. Lines
// outside that key are only looked at for "[": a real system.reg holds tens
// of thousands of lines.
class KeyReader {
 public:
  KeyReader(const std::string& key_path, RegistryValues* values)
      : key_path_(ToLowerAscii(key_path)), values_(values) {}

  void Line(const char* text, size_t size) {
    if (size > 0 && text[size - 1] == '\r') --size;
    if (continuing_) {
      // A hex value goes on after a backslash, its next line indented.
      const std::string next(text, size);
      value_line_ += next.substr(SkipBlanks(next, 0));
      FinishValueLineUnlessContinued();
    } else if (size > 0 && text[0] == '[') {
      if (!seen_key_line_) wanted_ = ThirtyTwoBitView(key_path_, win64_);
      seen_key_line_ = true;
      in_key_ = IsKey(text, size, wanted_);
      found_ = found_ || in_key_;
    } else if (!seen_key_line_) {
      win64_ = win64_ || (size == kWin64Mark.size() &&
                          kWin64Mark.compare(0, size, text, size) == 0);
    } else if (in_key_) {
      value_line_.assign(text, size);
      FinishValueLineUnlessContinued();
    }
  }

  bool found() const { return found_; }
  // True when nothing but the next key line matters.
  bool SkippingToNextKey() const { return seen_key_line_ && !in_key_ && !continuing_; }
  // True when the key line at `line` (of which `available` bytes are at
  // hand) is surely not the key wanted: it need not be read to its end.
  bool IsOtherKey(const char* line, size_t available) const {
    return MatchKeyLine(line, available, wanted_) == KeyMatch::kNo;
  }

 private:
  void FinishValueLineUnlessContinued() {
    continuing_ = !value_line_.empty() && value_line_.back() == '\\';
    if (continuing_) {
      value_line_.pop_back();
      return;
    }
    std::string name;
    RegistryValue value;
    if (ParseValueLine(value_line_, &name, &value)) (*values_)[name] = value;
  }

  const std::string key_path_;
  RegistryValues* const values_;
  bool win64_ = false;
  bool seen_key_line_ = false;
  bool in_key_ = false;
  bool found_ = false;
  bool continuing_ = false;
  std::string wanted_;
  std::string value_line_;
};

}  // namespace

// Returns the first "[" at a line start in (data, end), or null.
const char* FindKeyLineAfter(const char* data, const char* end) {
  for (const char* p = data + 1;
       p < end && (p = static_cast<const char*>(std::memchr(p, '[', end - p))); ++p) {
    if (p[-1] == '\n') return p;
  }
  return nullptr;
}

bool ReadSystemRegKey(std::istream& file, const std::string& key_path,
                      RegistryValues* values) {
  KeyReader reader(key_path, values);
  std::unique_ptr<char[]> buffer(new char[kChunkSize]);
  std::string carried;  // the start of a line that goes on in the next chunk
  while (file.read(buffer.get(), kChunkSize), file.gcount() > 0) {
    const char* data = buffer.get();
    const char* end = data + file.gcount();
    while (data < end) {
      if (carried.empty() && reader.SkippingToNextKey()) {
        // Straight to the next key line that may be the one wanted; the
        // lines between are not read.
        const char* key = *data == '[' ? data : FindKeyLineAfter(data, end);
        while (key && reader.IsOtherKey(key, end - key)) key = FindKeyLineAfter(key, end);
        if (!key) {
          const char* last_lf = FindLastByte(data, end - data, '\n');
          data = last_lf ? last_lf + 1 : data;
          break;
        }
        data = key;
      }
      const char* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
      if (!lf) break;
      if (carried.empty()) {
        reader.Line(data, lf - data);
      } else {
        carried.append(data, lf - data);
        reader.Line(carried.data(), carried.size());
        carried.clear();
      }
      data = lf + 1;
    }
    carried.append(data, end - data);
  }
  if (!carried.empty()) reader.Line(carried.data(), carried.size());
  return reader.found();
}

}  // namespace platform
