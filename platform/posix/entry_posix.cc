// Process start-up of the Linux build.
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "platform/entry.h"

namespace {

// The program prints nothing, whatever happens: its answer is the exit code.
void SilenceStandardStreams() {
  const int null_fd = open("/dev/null", O_RDWR | O_CLOEXEC);
  if (null_fd < 0) return;
  dup2(null_fd, STDOUT_FILENO);
  dup2(null_fd, STDERR_FILENO);
  if (null_fd > STDERR_FILENO) close(null_fd);
}

}  // namespace

int main(int argc, char** argv) {
  SilenceStandardStreams();
  std::string tail = platform::CommandTailFromArguments(argc, argv);
  return WinMain(nullptr, nullptr, tail.data(), 0);
}
