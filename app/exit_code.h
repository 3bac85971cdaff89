// The process exit codes: the only answer a caller gets besides the log.
#ifndef THEATERLIST_APP_EXIT_CODE_H_
#define THEATERLIST_APP_EXIT_CODE_H_

constexpr int kExitEditDone = 1;     // the edit ran to its end
constexpr int kExitNothingDone = 0;  // every other outcome

#endif  // THEATERLIST_APP_EXIT_CODE_H_
