// The presenter against a terminal in code: a virtual clock, the bytes sent,
// and what the terminal does at a given time (keys typed, a new size). A
// program of its own, since the presenter and the headless backend both
// implement the console.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

#include "platform/console_io.h"
#include "platform/presenter.h"
#include "platform/program.h"

namespace {

// Something the terminal does at a time: bytes typed, or a new size.
struct Arrival {
    long long atUs;
    std::string bytes;
    int columns = 0;  // a new size when not 0
    int rows = 0;
};

// The end of a test's game: the quit key, or a wait for a key that never comes.
struct Stopped {
    bool byQuitKey;
};

struct Terminal {
    long long startUs = 0;
    long long nowUs = 0;
    long long drawUs = 0;  // how long sending a frame takes
    std::string sent;
    std::deque<Arrival> arrivals;
    std::size_t keysAtQuitKey = 0;
};

Terminal terminal;

void Deliver() {
    Arrival arrival = terminal.arrivals.front();
    terminal.arrivals.pop_front();
    terminal.nowUs = std::max(terminal.nowUs, arrival.atUs);
    if (arrival.columns != 0) {
        ResizePresenter(arrival.columns, arrival.rows);
        Present();
    } else {
        TakeTerminalBytes(arrival.bytes.data(), arrival.bytes.size());
    }
}

// A fresh presenter on an 80 x 24 terminal that draws ● one column wide, its
// clock a thousand seconds on from the last test's, so that no pause follows
// on from one of that test.
void Start(long long drawUs = 0) {
    long long startUs = terminal.startUs + 1000000000;
    terminal = Terminal{};
    terminal.startUs = terminal.nowUs = startUs;
    StartPresenter(80, 24, AmbiguousWidth::kNarrow);
    PresenterKeys() = KeyDecoder{};
    terminal.nowUs = startUs;
    terminal.drawUs = drawUs;
    terminal.sent.clear();
}

void Arrive(long long afterStartMs, const std::string& bytes) {
    terminal.arrivals.push_back(Arrival{terminal.startUs + afterStartMs * 1000, bytes});
}

void Resize(long long afterStartMs, int columns, int rows) {
    terminal.arrivals.push_back(Arrival{terminal.startUs + afterStartMs * 1000, "", columns, rows});
}

long long MsSinceStart() { return (terminal.nowUs - terminal.startUs) / 1000; }

}  // namespace

void BackendSend(const char* bytes, std::size_t size) {
    terminal.sent.append(bytes, size);
    terminal.nowUs += terminal.drawUs;
}

long long BackendNowUs() { return terminal.nowUs; }

void BackendHandleWakeups() {}

void BackendPollKeys() {
    while (!terminal.arrivals.empty() && terminal.arrivals.front().atUs <= terminal.nowUs) Deliver();
}

void BackendWaitForKey() {
    if (terminal.arrivals.empty()) throw Stopped{false};
    Deliver();
}

void BackendWaitUntil(long long deadlineUs) {
    if (!terminal.arrivals.empty() && (deadlineUs == kNoDeadline || terminal.arrivals.front().atUs <= deadlineUs)) {
        Deliver();
    } else if (deadlineUs == kNoDeadline) {
        throw Stopped{false};
    } else {
        terminal.nowUs = deadlineUs;
    }
}

void BackendQuitKey() {
    terminal.keysAtQuitKey = PresenterKeys().codes.size();
    throw Stopped{true};
}

namespace {

// Behind the size notice the game stands still: a 100 ms pause that the
// terminal interrupts at 10 ms by shrinking below 80 x 21 until 520 ms ends
// 510 ms late. The key typed before stays; the one typed behind the notice
// is dropped, so that no key acts on a screen the player could not see.
TEST(PresenterTest, ThePauseStandsStillBehindTheSizeNotice) {
    Start();
    Arrive(0, "a");
    Resize(10, 60, 24);
    Arrive(20, "b");
    Resize(520, 80, 24);
    ASSERT_TRUE(PlatformKeyWaiting());
    PlatformSleep(100);
    EXPECT_EQ(MsSinceStart(), 610);
    EXPECT_NE(terminal.sent.find("please make it larger"), std::string::npos);
    EXPECT_EQ(PlatformReadKey(), 'a');
    EXPECT_FALSE(PlatformKeyWaiting());
}

// Ctrl+C ends the game before any key typed with it can act, and the game's
// handler runs once, however often the backend asks.
TEST(PresenterTest, CtrlCEndsTheGameBeforeTheKeysTypedWithIt) {
    Start();
    Arrive(0, "x\x03y");
    try {
        PlatformKeyWaiting();
        FAIL() << "Ctrl+C did not end the game";
    } catch (const Stopped& stopped) {
        EXPECT_TRUE(stopped.byQuitKey);
    }
    EXPECT_EQ(terminal.keysAtQuitKey, 0u);
    static int handled;
    handled = 0;
    PlatformOnQuit([] { ++handled; }, 5);
    RunQuitHandler();
    RunQuitHandler();
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(QuitKeyStatus(), 5);
}

// The scroll's frames keep an 8 ms pace from the first, however long each
// takes to send: the first shows at once, the third 16 ms after it.
TEST(PresenterTest, TheScrollsFramesKeepTheirPace) {
    Start(3000);
    long long shownMs[3];
    for (long long& shown : shownMs) {
        PlatformWrite("*", 1);
        PlatformShowFrame();
        shown = MsSinceStart();
    }
    EXPECT_EQ(shownMs[0], 3);
    EXPECT_EQ(shownMs[1], 11);
    EXPECT_EQ(shownMs[2], 19);
}

// The answer to the width probe: ● moved the cursor two columns on a terminal
// that draws it wide, one on one that draws it narrow; no answer in half a
// second leaves the width unmeasured. Keys typed before the answer stay.
TEST(PresenterTest, TheWidthProbeReadsTheCursorReport) {
    auto measure = [](const std::string& answer) {
        Start();
        if (!answer.empty()) Arrive(40, answer);
        return MeasureAmbiguousWidth([](int timeoutMs) {
            BackendWaitUntil(terminal.nowUs + timeoutMs * 1000LL);
            return true;
        });
    };
    EXPECT_EQ(measure("q\x1b[1;3R"), AmbiguousWidth::kWide);
    EXPECT_EQ(terminal.sent, "\x1b[1;1H\xe2\x97\x8f\x1b[6n");
    EXPECT_EQ(MsSinceStart(), 40);
    EXPECT_EQ(PlatformReadKey(), 'q');
    EXPECT_EQ(measure("\x1b[1;2R"), AmbiguousWidth::kNarrow);
    EXPECT_EQ(measure(""), AmbiguousWidth::kUnmeasured);
    EXPECT_EQ(MsSinceStart(), 500);
}

}  // namespace
