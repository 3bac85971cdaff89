#include "app/error_log.h"

#include "platform/system.h"

void DeleteErrorLog() { platform::CurrentSystem().RemoveFile(kErrorLogPath); }

void AppendErrorLogLine(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  line += '\n';
  platform::CurrentSystem().AppendText(kErrorLogPath, line);
}
