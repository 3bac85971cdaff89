// What the command line asked for, set once per run by the run driver.
#ifndef THEATERLIST_APP_PROCESS_STATE_H_
#define THEATERLIST_APP_PROCESS_STATE_H_

#include <string>

enum EditModeValue : int { kEditNone = -1, kEditRemove = 0, kEditAdd = 1 };

// The requested edit: kEditNone until an option letter chose one.
extern int EditMode;
// The entry to add or remove; empty until the command line gave one.
extern std::string TheaterName;

#endif  // THEATERLIST_APP_PROCESS_STATE_H_
