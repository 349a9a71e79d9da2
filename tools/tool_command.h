// What the data tools share on their command line: the language of their
// messages, and the first look at the folder they are given.
#pragma once

#include <string>

// The Japanese text, or the English one with --english.
inline const char* Pick(bool english, const char* ja, const char* en) { return english ? en : ja; }

// "" when the folder holds a data tree (any of Hero_Info, Enemy_Info,
// Abilities, map_form, map_info, in any case), otherwise the one line that
// says why not, for standard error.
std::string DataTreeMissing(const char* program, const std::string& folder, bool english);

// Writes text to standard output; false when the write failed (a full disk, a
// closed pipe).
bool PrintText(const std::string& text);
