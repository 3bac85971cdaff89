// Process start-up of the Windows program. The runtime's start-up calls
// main; the tail is formed here from the real command line, byte for byte,
// so that it does not depend on how the runtime would cut it.
#include <string>

#include "platform/entry.h"

int main() {
  std::string tail = platform::CommandTailFromCommandLine(GetCommandLineA());
  return WinMain(GetModuleHandleA(nullptr), nullptr, &tail[0], SW_SHOWDEFAULT);
}
