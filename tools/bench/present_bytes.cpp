// Bytes to the terminal: a recorded play is shown four ways and the bytes each
// sends are counted, scene by scene.
//  - ours: the terminal backend's present (changed cells, at each pause);
//  - write-through: every console call sent at once as it comes, the way a
//    direct port of the console calls would draw;
//  - ncurses: the same frames drawn with mvaddstr and shown with refresh;
//  - lower bound: the UTF-8 text of the characters whose look changed between
//    two presents, without a single cursor move or attribute.
// Usage: present_bytes DATA_DIR
// With PRESENT_BYTES_DUMP=N (a scene's index from 0) the bytes of every frame
// of that scene, ours and ncurses', go to standard error.
#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sjis_utf8.h"
#include "platform/terminal_render.h"
#include "tools/bench/recorded_play.h"

namespace {

constexpr int kRows = 30;  // the terminal the play is shown on: 80 x 30

// Control bytes made visible, for reading frames.
std::string Escaped(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == 0x1b) {
            text += "\\e";
        } else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            text += code;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

struct Counts {
    long long ours = 0;
    long long writeThrough = 0;
    long long curses = 0;
    long long lowerBound = 0;
    long long frames = 0;
};

// What the write-through baseline sends for one console call.
long long WriteThroughBytes(const ConsoleCall& call, unsigned& attribute) {
    char sequence[32];
    switch (call.kind) {
    case ConsoleCall::kPlace:
        return call.ok ? std::snprintf(sequence, sizeof sequence, "\x1b[%d;%dH", call.y + 1, call.x + 1) : 0;
    case ConsoleCall::kAttribute:
        if (call.attribute == attribute) return 0;
        attribute = call.attribute;
        return (attribute & 8) ? 13 : 10;  // the game's looks on black: ESC[0;1;97;40m or ESC[0;37;40m
    case ConsoleCall::kWrite: {
        long long bytes = static_cast<long long>(SjisToUtf8(call.bytes.data(), call.bytes.size()).size());
        for (char c : call.bytes) bytes += c == '\n';  // a line break is sent as CR LF
        return bytes;
    }
    case ConsoleCall::kHint: {
        std::string text = SjisToUtf8(call.bytes.data(), call.bytes.size());
        return static_cast<long long>(text.size()) + 12;  // placed on its row, the rest of the row erased
    }
    case ConsoleCall::kShow:
        return 0;
    }
    return 0;
}

// The text of the characters whose look changed since `before`.
long long ChangedTextBytes(const TerminalView& view, const MemoryConsole& before, const MemoryConsole& now) {
    long long bytes = 0;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kConsoleColumns;) {
            int cells = 1;
            std::string text = ShownText(view, now.cells[y], x, cells);
            bool changed = false;
            for (int i = x; i < x + cells; ++i) changed = changed || !SameLook(before.cells[y][i], now.cells[y][i]);
            if (changed) bytes += static_cast<long long>(text.size());
            x += cells;
        }
    }
    return bytes;
}

// ncurses on an 80 x 30 xterm whose output goes to a scratch file.
struct Curses {
    std::FILE* output = nullptr;
    std::FILE* input = nullptr;
    SCREEN* screen = nullptr;
    TerminalView view;  // only for the characters' texts
    static constexpr short kNormalPair = 1;
    static constexpr short kBrightPair = 2;

    bool Start() {
        setenv("LINES", "30", 1);
        setenv("COLUMNS", "80", 1);
        output = std::tmpfile();
        input = std::fopen("/dev/null", "r");
        if (!output || !input) return false;
        screen = newterm("xterm-256color", output, input);
        if (!screen) return false;
        set_term(screen);
        curs_set(0);
        leaveok(stdscr, TRUE);  // the cursor is hidden: never move it back
        // The game's looks: light grey, and bright white and bold, on black.
        start_color();
        init_pair(kNormalPair, COLOR_WHITE, COLOR_BLACK);
        init_pair(kBrightPair, COLORS > 15 ? 15 : COLOR_WHITE, COLOR_BLACK);
        bkgdset(COLOR_PAIR(kNormalPair));
        ResetTerminalView(view, kConsoleColumns, kRows, AmbiguousWidth::kNarrow);
        return true;
    }

    // What ncurses wrote from byte `from` of its output on.
    std::string BytesSince(long long from) const {
        long long size = BytesSoFar();
        std::string bytes(static_cast<std::size_t>(size - from), '\0');
        if (pread(fileno(output), &bytes[0], bytes.size(), from) < 0) bytes.clear();
        return bytes;
    }

    long long BytesSoFar() const {
        struct stat info;
        std::fflush(output);
        return fstat(fileno(output), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
    }

    // Draws the frame as runs of one attribute, then shows it.
    void Present(const MemoryConsole& console) {
        for (int y = 0; y < kRows; ++y) {
            const ConsoleCell* row = console.cells[y];
            for (int x = 0; x < kConsoleColumns;) {
                int start = x;
                bool bright = (row[x].attribute & 8) != 0;
                std::string run;
                while (x < kConsoleColumns && ((row[x].attribute & 8) != 0) == bright) {
                    int cells = 1;
                    run += ShownText(view, row, x, cells);
                    x += cells;
                }
                attrset(bright ? A_BOLD | COLOR_PAIR(kBrightPair) : COLOR_PAIR(kNormalPair));
                mvaddstr(y, start, run.c_str());
            }
        }
        refresh();
    }

    void Stop() {
        if (screen) {
            endwin();
            delscreen(screen);
        }
        if (output) std::fclose(output);
        if (input) std::fclose(input);
    }
};

// Replays the play, presenting at the same points as the terminal backend:
// each pause, key poll and key read, and each frame of the scroll.
std::vector<Counts> CountScenes(const RecordedPlay& play, Curses& curses, int dumpScene) {
    std::vector<Counts> counts(play.scenes.size());
    MemoryConsole console;
    MemoryConsole shown;
    ResetMemoryConsole(console);
    ResetMemoryConsole(shown);
    TerminalView view;
    ResetTerminalView(view, kConsoleColumns, kRows, AmbiguousWidth::kNarrow);
    unsigned writeThroughAttribute = kNormalAttribute;
    bool dirty = true;
    std::string hint;        // the key help below the game, Shift-JIS
    MemoryConsole display;   // the console with the key help, as the terminal shows it
    std::size_t scene = 0;
    std::string out;
    long long cursesBefore = curses.BytesSoFar();

    auto present = [&] {
        Counts& c = counts[scene];
        out.clear();
        ComposeDisplay(console, hint, kRows, display);
        RenderConsole(view, display, out);
        c.ours += static_cast<long long>(out.size());
        long long lower = ChangedTextBytes(view, shown, display);
        c.lowerBound += lower;
        shown = display;
        long long cursesBefore = curses.BytesSoFar();
        curses.Present(display);
        if (dumpScene == static_cast<int>(scene)) {
            std::fprintf(stderr, "frame: ours %zu, lower bound %lld\n  ours:    %s\n  ncurses: %s\n", out.size(), lower,
                         Escaped(out).c_str(), Escaped(curses.BytesSince(cursesBefore)).c_str());
        }
        c.frames += 1;
        dirty = false;
    };

    for (std::size_t i = 0; i < play.calls.size(); ++i) {
        if (scene + 1 < play.scenes.size() && i == play.scenes[scene + 1].firstCall) {
            long long cursesNow = curses.BytesSoFar();
            counts[scene].curses = cursesNow - cursesBefore;
            cursesBefore = cursesNow;
            ++scene;
        }
        const ConsoleCall& call = play.calls[i];
        counts[scene].writeThrough += WriteThroughBytes(call, writeThroughAttribute);
        switch (call.kind) {
        case ConsoleCall::kPlace:
            PlaceMemoryCursor(console, call.x, call.y);
            break;
        case ConsoleCall::kAttribute:
            console.attribute = call.attribute;
            break;
        case ConsoleCall::kWrite:
            WriteMemoryConsole(console, call.bytes.data(), call.bytes.size());
            dirty = true;
            break;
        case ConsoleCall::kHint:
            hint = call.bytes;
            dirty = true;
            break;
        case ConsoleCall::kShow:
            if (dirty) present();
            break;
        }
    }
    if (dirty) present();
    counts[scene].curses = curses.BytesSoFar() - cursesBefore;
    return counts;
}

std::string Ratio(long long a, long long b) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f×", b > 0 ? static_cast<double>(a) / static_cast<double>(b) : 0.0);
    return text;
}

void PrintRow(const std::string& measure, long long ours, long long reference, const char* goal, const char* met) {
    std::printf("row\t%s\t%lld B\t%lld B\t%s\t%s\t%s\n", measure.c_str(), ours, reference, Ratio(ours, reference).c_str(),
                goal, met);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    std::string dataRoot = argc > 1 ? argv[1] : "data";
    RecordedPlay play = RecordPlay(dataRoot);
    if (!play.failure.empty()) {
        std::fprintf(stderr, "present_bytes: %s\n", play.failure.c_str());
        return 1;
    }
    Curses curses;
    if (!curses.Start()) {
        std::fprintf(stderr, "present_bytes: ncurses cannot start an xterm screen\n");
        return 1;
    }
    const char* dump = std::getenv("PRESENT_BYTES_DUMP");
    std::vector<Counts> counts = CountScenes(play, curses, dump ? std::atoi(dump) : -1);
    curses.Stop();

    Counts total;
    std::printf("%-34s %7s %10s %10s %10s %10s\n", "scene", "frames", "ours", "lower", "ncurses", "write-thru");
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const Counts& c = counts[i];
        std::printf("%-34s %7lld %10lld %10lld %10lld %10lld\n", play.scenes[i].name.c_str(), c.frames, c.ours,
                    c.lowerBound, c.curses, c.writeThrough);
        total.ours += c.ours;
        total.lowerBound += c.lowerBound;
        total.curses += c.curses;
        total.writeThrough += c.writeThrough;
        total.frames += c.frames;
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const Counts& c = counts[i];
        PrintRow(play.scenes[i].name + " vs ncurses", c.ours, c.curses, "< 1×", c.ours < c.curses ? "yes" : "no");
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const Counts& c = counts[i];
        PrintRow(play.scenes[i].name + " vs lower bound", c.ours, c.lowerBound, "-", "-");
    }
    PrintRow("whole play vs ncurses", total.ours, total.curses, "< 1×", total.ours < total.curses ? "yes" : "no");
    PrintRow("whole play vs lower bound", total.ours, total.lowerBound, "≤ 1.20×",
             total.ours * 5 <= total.lowerBound * 6 ? "yes" : "no");
    PrintRow("whole play vs write-through", total.ours, total.writeThrough, "-", "-");
    return 0;
}
