#include "tools/bench/scenes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "game/game.h"
#include "game/game_state.h"
#include "records/records.h"
#include "platform/headless.h"
#include "platform/sjis_utf8.h"
#include "platform/terminal_render.h"

const char kFleeKeys[] = "\x1b[B\x1b[B\x1b[B\r";

namespace {

// The same keys as the headless backend gives them: an arrow is 224 and its
// scan code.
const std::vector<int> kFleeCodes = {224, KeyDown, 224, KeyDown, 224, KeyDown, KeyEnter};

// Virtual time after which a headless scene is given up.
constexpr long long kSceneLimitMs = 120000;

std::string Utf8(const char* sjis) { return SjisToUtf8(sjis, std::strlen(sjis)); }

// The first character of UTF-8 text.
std::string FirstCharacter(const std::string& text) {
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return text.substr(0, length);
}

bool ShowsAnywhere(const ScreenModel& screen, const std::string& text) {
    for (int row = 0; row < screen.rows; ++row) {
        if (ScreenRowText(screen, row).find(text) != std::string::npos) return true;
    }
    return false;
}

// Brings a screen model up to date with the headless console, as the terminal
// backend brings the terminal up to date at a present.
struct HeadlessTerminal {
    TerminalView view;
    ScreenModel screen;
    std::string bytes;

    HeadlessTerminal(int columns, int rows) {
        ResetTerminalView(view, columns, rows, AmbiguousWidth::kNarrow);
        ResetScreenModel(screen, columns, rows);
    }
    void Present() {
        bytes.clear();
        RenderConsole(view, HeadlessDisplay(screen.rows), bytes);
        FeedScreenModel(screen, bytes);
    }
};

std::string Describe(const HeadlessStop& stop) {
    switch (stop.reason) {
    case HeadlessStop::kOutOfKeys: return "it waited for a key";
    case HeadlessStop::kTimeLimit: return "it ran out of time";
    default: return "it ended with status " + std::to_string(stop.status);
    }
}

}  // namespace

MemoryConsole HeadlessDisplay(int rows) {
    MemoryConsole display;
    ComposeDisplay(HeadlessScreen(), HeadlessHint(), rows, display);
    return display;
}

ScreenModel ConsoleAsShown(const MemoryConsole& console, int columns, int rows) {
    ScreenModel screen;
    ResetScreenModel(screen, columns, rows);
    for (int y = 0; y < std::min(rows, kConsoleRows); ++y) {
        const ConsoleCell* row = console.cells[y];
        for (int x = 0; x < std::min(columns, kConsoleColumns); ++x) {
            const char bytes[2] = {static_cast<char>(row[x].byte),
                                   static_cast<char>(x + 1 < kConsoleColumns ? row[x + 1].byte : 0)};
            unsigned char byte = row[x].byte;
            std::string text;
            if (row[x].half == kLeadCell && x + 1 < kConsoleColumns && row[x + 1].half == kTrailCell) {
                text = SjisToUtf8(bytes, 2);
                if (text.empty() || static_cast<unsigned char>(text[0]) < 0x80 || FirstCharacter(text) != text) {
                    text = "?";  // a code with no character
                }
            } else if (row[x].half != kSingleCell || byte < 0x20 || byte == 0x7F) {
                continue;  // half a character, or a control byte: a blank
            } else if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) {
                text = SjisToUtf8(bytes, 1);
            } else {
                text = "?";
            }
            FeedScreenModel(screen, "\x1b[" + std::to_string(y + 1) + ";" + std::to_string(x + 1) + "H" + text);
        }
    }
    return screen;
}

bool HeadlessFieldStart(const std::string& data, int columns, int rows, FieldStart& start, std::string& error) {
    HeadlessReset(data);
    ResetGameState();
    bool started = true;
    try {
        StartGame();
        start.frame = ConsoleAsShown(HeadlessDisplay(rows), columns, rows);
        start.heroX = hero.fieldX;
        start.heroY = hero.fieldY;
        MoveHero(KeyRight);
        start.steppedX = hero.fieldX;
        MoveHero(KeyLeft);
        if (start.steppedX == start.heroX || hero.fieldX != start.heroX || hero.fieldY != start.heroY) {
            error = "the hero cannot walk right and back from his start";
            started = false;
        }
    } catch (const HeadlessStop& stop) {
        error = "the game did not start on " + data + ": " + Describe(stop);
        started = false;
    }
    ResetGameState();
    return started;
}

void ObservePacing(PacingMarks& marks, const ScreenModel& screen, double ms) {
    static const std::string wipeBlock = Utf8(kTextWipeBlock);
    static const std::string boxTop = FirstCharacter(Utf8(kTextBoxTop));
    static const std::string fight = Utf8(kTextCommandFight);
    static const std::string flee = Utf8(kTextCommandFlee);
    static const std::string announcement = FleeAnnouncement();
    static const std::string announcementStart = FirstCharacter(announcement);
    const int column = LogColumn();
    if (marks.wipeStarts < 0 && ScreenText(screen, 0, 0, 1) == wipeBlock) marks.wipeStarts = ms;
    if (marks.wipeStarts >= 0 && marks.battleStarts < 0 && ShowsAnywhere(screen, boxTop)) marks.battleStarts = ms;
    if (marks.battleStarts >= 0 && marks.boxesIn < 0 && ShowsAnywhere(screen, fight)) marks.boxesIn = ms;
    if (marks.boxesIn >= 0 && marks.battleReady < 0 && ShowsAnywhere(screen, "Enemy View") &&
        ShowsAnywhere(screen, fight) && ShowsAnywhere(screen, flee)) {
        marks.battleReady = ms;
    }
    if (marks.battleReady < 0) return;
    if (marks.fleeTypingStarts < 0 && ScreenText(screen, kLogFirstRow, column, column + 2) == announcementStart) {
        marks.fleeTypingStarts = ms;
    }
    if (marks.fleeTypingStarts >= 0 && marks.fleeTypingEnds < 0 &&
        ScreenText(screen, kLogFirstRow, column, column + FleeAnnouncementBytes()) == announcement) {
        marks.fleeTypingEnds = ms;
    }
}

bool AllPacingSeen(const PacingMarks& marks) {
    return marks.wipeStarts >= 0 && marks.battleStarts >= 0 && marks.boxesIn >= 0 && marks.battleReady >= 0 &&
           marks.fleeTypingStarts >= 0 && marks.fleeTypingEnds >= 0;
}

std::string FleeAnnouncement() { return Utf8(kTextHeroFlees); }

int FleeAnnouncementCharacters() {
    int count = 0;
    for (char byte : FleeAnnouncement()) count += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return count;
}

int FleeAnnouncementBytes() { return static_cast<int>(std::strlen(kTextHeroFlees)); }

bool HeadlessPacing(const std::string& data, int columns, int rows, PacingMarks& marks, std::string& error) {
    HeadlessReset(data);
    ResetGameState();
    HeadlessSetTimeLimit(kSceneLimitMs);
    HeadlessTerminal terminal(columns, rows);
    marks = PacingMarks{};
    std::size_t keysGiven = 0;
    // The terminal backend shows a frame at every sleep and key poll; the
    // scene ends once every mark has shown.
    auto present = [&] {
        terminal.Present();
        ObservePacing(marks, terminal.screen, static_cast<double>(HeadlessMilliseconds()));
        if (AllPacingSeen(marks)) throw HeadlessStop{HeadlessStop::kExited, 0};
    };
    HeadlessSetSleepWatcher([&](unsigned) { present(); });
    HeadlessSetKeySource([&] {
        present();
        if (marks.battleReady < 0 || keysGiven == kFleeCodes.size()) return -1;
        return kFleeCodes[keysGiven++];
    });
    try {
        StartGame();
        for (;;) MainLoopPass();
    } catch (const HeadlessStop& stop) {
        if (!AllPacingSeen(marks)) error = "the headless encounter stopped early: " + Describe(stop);
    }
    HeadlessSetSleepWatcher(nullptr);
    HeadlessSetKeySource(nullptr);
    ResetGameState();
    return AllPacingSeen(marks);
}

int ChaserColumn(const ScreenModel& screen) {
    for (int column = 1; column < 54; ++column) {
        char32_t shown = ScreenCharacter(screen, 10, column);
        if (shown != U' ' && shown != U'#' && shown != 0) return column;
    }
    return -1;
}

bool HeadlessChase(const std::string& data, int columns, int rows, int moves, std::vector<double>& times,
                   std::string& error) {
    HeadlessReset(data);
    ResetGameState();
    HeadlessSetTimeLimit(kSceneLimitMs);
    HeadlessTerminal terminal(columns, rows);
    times.clear();
    int lastColumn = -1;
    auto present = [&] {
        terminal.Present();
        int column = ChaserColumn(terminal.screen);
        if (column >= 0 && lastColumn >= 0 && column != lastColumn) times.push_back(HeadlessMilliseconds());
        if (column >= 0) lastColumn = column;
        if (static_cast<int>(times.size()) >= moves) throw HeadlessStop{HeadlessStop::kExited, 0};
    };
    HeadlessSetSleepWatcher([&](unsigned) { present(); });
    HeadlessSetKeySource([&] {
        present();
        return -1;
    });
    try {
        StartGame();
        for (;;) MainLoopPass();
    } catch (const HeadlessStop& stop) {
        if (static_cast<int>(times.size()) < moves) error = "the headless chase stopped early: " + Describe(stop);
    }
    HeadlessSetSleepWatcher(nullptr);
    HeadlessSetKeySource(nullptr);
    ResetGameState();
    return static_cast<int>(times.size()) >= moves;
}

int ScrollFrameShown(const ScreenModel& screen) {
    // Frame k shows screen 1's columns k + 1 to 59, then screen 2's: screen
    // 1's wall of column 58 stands at 57 - k until it leaves, then screen 2's
    // 'o' of column 58 comes in at 59 and 58. Screen 1 whole has both walls.
    if (ScreenCharacter(screen, 5, 0) == U'#' && ScreenCharacter(screen, 5, 58) == U'#') return -1;
    for (int column = 0; column <= 57; ++column) {
        if (ScreenCharacter(screen, 5, column) == U'#') return 57 - column;
    }
    if (ScreenCharacter(screen, 5, 59) == U'o') return 58;
    if (ScreenCharacter(screen, 5, 58) == U'o') return 59;
    return -1;
}
