// The two edits of the theater list "theater.lst" in the installation
// directory (BaseDirectory).
#ifndef THEATERLIST_THEATER_LIST_THEATER_LIST_H_
#define THEATERLIST_THEATER_LIST_THEATER_LIST_H_

#include <string>

#include "theater_list/line_filter.h"

// Appends `entry` as the last line of the list unless a line already is
// `entry`. Returns true when the edit ran to its end (also when the entry
// was there already); false when the list is left as it was.
bool AddTheaterEntry(std::string entry);

// Drops every line of the list that is `entry`. Returns true when the edit
// ran to its end (also when no line was dropped); false when the list is
// left as it was.
bool RemoveTheaterEntry(std::string entry);

// Copies the list through the filter of `edit` into "newtheater.lst" beside
// it and puts the copy in the list's place in one step, holding the lock of
// the installation directory meanwhile. Returns false, with the list
// untouched and no copy left, when the entry cannot stand on one line, when
// the lock is not had within 10 seconds, when the list is missing,
// unreadable or read-only, or when the copy cannot be written in full,
// flushed to disk and put in place.
bool RewriteTheaterList(ListEdit edit, const std::string& entry);

#endif  // THEATERLIST_THEATER_LIST_THEATER_LIST_H_
