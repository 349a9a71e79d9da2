// The scenes the pty benchmark times through the real program, what marks
// their frames on the screen, and the same scenes run on the headless backend,
// whose virtual clock gives the length the game's own pauses add up to.
#pragma once

#include <string>
#include <vector>

#include "platform/memory_console.h"
#include "tools/bench/screen_model.h"

// The console as a terminal that draws ● one column wide shows it, worked
// out cell by cell apart from the game's renderer, so that a frame the
// renderer gets wrong never counts as complete: each character at its
// column, converted from Shift-JIS; control bytes blank, bytes that are no
// character '?'.
ScreenModel ConsoleAsShown(const MemoryConsole& console, int columns, int rows);

// The headless console with its key help, as the terminal backend shows it
// on a terminal of `rows` rows.
MemoryConsole HeadlessDisplay(int rows);

// The first field screen as a terminal that draws ● one column wide shows
// it, and the hero's place on it.
struct FieldStart {
    ScreenModel frame;
    int heroX = 0;
    int heroY = 0;
    int steppedX = 0;  // his column after a step right; a step left brings him back
};

// Starts the game on the data tree headless and works out how a terminal
// shows its first frame.
bool HeadlessFieldStart(const std::string& data, int columns, int rows, FieldStart& start, std::string& error);

// When (milliseconds from any origin) the encounter's marks first showed; -1
// until then. The wipes run from wipeStarts to battleStarts, the command
// boxes slide in from battleStarts to boxesIn, and the flee announcement is
// typed from its first character to the whole of it.
struct PacingMarks {
    double wipeStarts = -1;        // the wipe's first frame: ■ in the top-left cell
    double battleStarts = -1;      // the battle screen's first frame: the top of a command box
    double boxesIn = -1;           // the boxes have slid in: the first command label shows
    double battleReady = -1;       // the commands and the enemy view are up: flee may be chosen
    double fleeTypingStarts = -1;  // the announcement's first character in the message window
    double fleeTypingEnds = -1;    // the announcement whole
};

// Notes the marks the screen shows now, at time `ms`.
void ObservePacing(PacingMarks& marks, const ScreenModel& screen, double ms);
bool AllPacingSeen(const PacingMarks& marks);

// The flee announcement in UTF-8, and its size in characters and in the
// Shift-JIS bytes the game types one by one.
std::string FleeAnnouncement();
int FleeAnnouncementCharacters();
int FleeAnnouncementBytes();

// Three downs and Enter as a terminal sends them: the flee command.
extern const char kFleeKeys[];

// The small world's encounter and flee, headless, on the virtual clock. The
// marks are taken where the terminal backend shows a frame: at every sleep
// and every key poll.
bool HeadlessPacing(const std::string& data, int columns, int rows, PacingMarks& marks, std::string& error);

// The chase world (WriteChaseWorld): the column of the first figure, the one
// on the hero's row left of him, or -1 when it does not show.
int ChaserColumn(const ScreenModel& screen);

// The chase world headless: when (virtual milliseconds) each of the first
// figure's first `moves` moves showed, taken where the terminal backend shows
// a frame.
bool HeadlessChase(const std::string& data, int columns, int rows, int moves, std::vector<double>& times,
                   std::string& error);

// The scroll world (WriteScrollWorld): which frame of the scroll into screen
// 2 the screen shows (0 to 59), or -1 for none.
int ScrollFrameShown(const ScreenModel& screen);
