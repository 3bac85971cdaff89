// The whole run: one edit of the theater list, reported by the exit code
// and, when the command line is empty or the edit fails, one log line.
#include <string>

#include "app/command_line.h"
#include "app/error_log.h"
#include "app/exit_code.h"
#include "app/process_state.h"
#include "install_lookup/base_directory.h"
#include "platform/entry.h"
#include "theater_list/theater_list.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_tail, int) {
  DeleteErrorLog();
  const std::string tail = command_tail ? command_tail : "";
  if (tail.empty()) {
    AppendErrorLogLine("Commandline: ");
    return kExitNothingDone;
  }

  ReadBaseDirectory();
  if (BaseDirectory.empty()) return kExitNothingDone;

  ParsedCommand command = ParseCommandLine(tail);
  EditMode = command.edit_mode;
  if (EditMode == kEditNone) return kExitNothingDone;
  TheaterName = std::move(command.entry);
  if (TheaterName.empty()) return kExitNothingDone;

  const bool edited = EditMode == kEditAdd ? AddTheaterEntry(TheaterName)
                                           : RemoveTheaterEntry(TheaterName);
  if (edited) return kExitEditDone;
  AppendErrorLogLine(
      (EditMode == kEditAdd ? "Could not add tdf " : "Could not remove tdf ") +
      TheaterName);
  return kExitNothingDone;
}
