// A sink for the line filter that keeps what it is given, for tests.
#ifndef THEATERLIST_TESTS_STRING_SINK_H_
#define THEATERLIST_TESTS_STRING_SINK_H_

#include <string>

#include "theater_list/line_filter.h"

class StringSink : public TextSink {
 public:
  bool Write(const char* data, size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

#endif  // THEATERLIST_TESTS_STRING_SINK_H_
