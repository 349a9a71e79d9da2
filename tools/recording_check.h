// The data checker's look at a recording (--recording FILE): whether it
// belongs to the data tree and this version, and whether it replays to its
// end, replayed at once without a terminal.
#pragma once

// Prints one line about the recording at `path`, replayed on the tool's data
// tree, and ends the program: status 0 when it replays to its end (or to
// where it was cut), 1 otherwise. `worst` is the status the tree's own check
// came to; the higher one wins.
[[noreturn]] void CheckRecording(const char* path, bool english, int worst);
