// The error log: at most one line per run, in a file at a fixed path.
#ifndef THEATERLIST_APP_ERROR_LOG_H_
#define THEATERLIST_APP_ERROR_LOG_H_

#include <string>

constexpr const char kErrorLogPath[] = "C:\\CorvantaErrorLog.txt";

// Deletes the log that an earlier run left. A missing log is not a failure;
// nothing is reported.
void DeleteErrorLog();

// Appends `text` and a line end to the log. A CR or LF inside `text` is
// written as a blank, so the log gains exactly one line. When the log cannot
// be opened or written the line is dropped; nothing is reported.
void AppendErrorLogLine(const std::string& text);

#endif  // THEATERLIST_APP_ERROR_LOG_H_
