// Bytes to the terminal: a recorded play is shown four ways and the bytes each
// sends are counted, scene by scene.
//  - ours: the terminal backend's present (changed cells, at each pause);
//  - write-through: every console call sent at once as it comes, the way a
//    direct port of the console calls would draw;
//  - ncurses: the same frames drawn with mvaddstr and shown with refresh;
//  - lower bound: the UTF-8 text of the characters whose look changed between
//    two presents, without a single cursor move or attribute.
// Usage: present_bytes DATA_DIR
#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <sys/stat.h>

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
        return (attribute & 8) ? 6 : 4;  // ESC[0;1m or ESC[0m
    case ConsoleCall::kWrite: {
        long long bytes = static_cast<long long>(SjisToUtf8(call.bytes.data(), call.bytes.size()).size());
        for (char c : call.bytes) bytes += c == '\n';  // a line break is sent as CR LF
        return bytes;
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
        ResetTerminalView(view, kConsoleColumns, kRows, AmbiguousWidth::kNarrow);
        return true;
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
                attrset(bright ? A_BOLD : A_NORMAL);
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
// each pause, and whenever more than a backlog of bytes was written.
std::vector<Counts> CountScenes(const RecordedPlay& play, Curses& curses) {
    std::vector<Counts> counts(play.scenes.size());
    MemoryConsole console;
    MemoryConsole shown;
    ResetMemoryConsole(console);
    ResetMemoryConsole(shown);
    TerminalView view;
    ResetTerminalView(view, kConsoleColumns, kRows, AmbiguousWidth::kNarrow);
    unsigned writeThroughAttribute = kNormalAttribute;
    bool dirty = true;
    std::size_t backlog = 0;
    std::size_t scene = 0;
    std::string out;
    long long cursesBefore = curses.BytesSoFar();

    auto present = [&] {
        Counts& c = counts[scene];
        out.clear();
        RenderConsole(view, console, out);
        c.ours += static_cast<long long>(out.size());
        long long lower = ChangedTextBytes(view, shown, console);
        c.lowerBound += lower;
        if (std::getenv("PRESENT_BYTES_DUMP") && std::atoi(std::getenv("PRESENT_BYTES_DUMP")) == static_cast<int>(scene)) {
            std::string shown;
            for (unsigned char ch : out) shown += ch == 0x1b ? std::string("\\e") : ch < 0x20 ? "\\x" + std::to_string(ch) : std::string(1, static_cast<char>(ch));
            std::fprintf(stderr, "%zu %lld %s\n", out.size(), lower, shown.c_str());
        }

        shown = console;
        curses.Present(console);
        c.frames += 1;
        dirty = false;
        backlog = 0;
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
            backlog += call.bytes.size();
            if (backlog >= kPresentBacklog) present();
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

void PrintRow(const std::string& measure, long long ours, long long reference, const char* goal, bool met) {
    std::printf("row\t%s\t%lld B\t%lld B\t%s\t%s\t%s\n", measure.c_str(), ours, reference, Ratio(ours, reference).c_str(),
                goal, met ? "yes" : "no");
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
    std::vector<Counts> counts = CountScenes(play, curses);
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
        PrintRow(play.scenes[i].name + " / lower bound", c.ours, c.lowerBound, "≤ 1.20×",
                 c.ours * 5 <= c.lowerBound * 6);
    }
    PrintRow("all scenes / lower bound", total.ours, total.lowerBound, "≤ 1.20×", total.ours * 5 <= total.lowerBound * 6);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const Counts& c = counts[i];
        PrintRow(play.scenes[i].name + " / ncurses", c.ours, c.curses, "< 1×", c.ours < c.curses);
    }
    PrintRow("all scenes / ncurses", total.ours, total.curses, "< 1×", total.ours < total.curses);
    PrintRow("all scenes / write-through", total.ours, total.writeThrough, "-", total.ours < total.writeThrough);
    return 0;
}
