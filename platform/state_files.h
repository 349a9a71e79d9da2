// The player's own files: saves in the state folder, the lock that keeps one
// running game per save, and the path of the data tree a save belongs to;
// recordings, at the paths the player names.
// posix_save_files.cpp, win32_save_files.cpp or web_save_files.cpp implements
// the saves; posix_named_files.cpp or win32_journal.cpp the recordings.
#pragma once

#include <cstddef>
#include <cstdio>

// The saving and the data checker: the data tree's full path as the system spells it; false when it cannot be told.
// The working directory once PlatformEnterDataDirectory has run; in the
// browser, the data folder's address. A save belongs to one tree.
bool PlatformDataTreePath(char* path, std::size_t size);

// The saving: a file of the state folder opened for reading, bytes as they are; null when it cannot be.
// The folder: $XDG_STATE_HOME/chessrpg, else ~/.local/state/chessrpg;
// %LOCALAPPDATA%\chessrpg on Windows; the page's localStorage in the browser.
// Only a regular file opens, never through a link, and never waiting (a pipe
// is "not a regular file"); a folder that is not the player's own, or that
// others may write in, is not used. When null, `why` is "" if the file does
// not exist, else the reason (Shift-JIS, for the player).
std::FILE* PlatformOpenStateFile(const char* name, char* why, std::size_t whySize);

// The saving: a file of the state folder written whole, so that the old file or the new one is always there.
// The folder is made when missing; a new file is created exclusively beside
// the old one and never through a link, flushed to disk, then renamed over the
// old one. New files left by writers that are gone are removed. False, with
// the reason (Shift-JIS, for the player), when it could not; "" when the
// platform keeps no saves at all (nothing to tell).
bool PlatformWriteStateFile(const char* name, const char* bytes, std::size_t count, char* why,
                            std::size_t whySize);

// The saving: the lock named `name` in the state folder, held until the program ends.
// One running game at a time writes a save. kBusy: another running game holds
// it. kUnavailable: the folder cannot be used (the reason in `why`,
// Shift-JIS). Where the system has no locks, it counts as held.
enum class StateLock { kHeld, kBusy, kUnavailable };
StateLock PlatformLockStateFile(const char* name, char* why, std::size_t whySize);

// The saving: like PlatformLeaveLine, the label (Shift-JIS) and the full path of a file of the state folder.
void PlatformLeaveStatePath(const char* label, const char* name);

// The recording: a new file at the path the player named, for writing; null with the reason when it cannot be.
// Created exclusively and for the player alone: whatever is already at the
// path (a file, a link) is never written over or through. The reason is one
// line of English for the command line.
std::FILE* PlatformCreateNamedFile(const char* path, char* why, std::size_t whySize);

// The replay: the file at the path the player named, for reading; null with the reason (English) when it cannot be.
// Only a regular file opens, never waiting (a pipe is "not a regular file").
std::FILE* PlatformOpenNamedFile(const char* path, char* why, std::size_t whySize);
