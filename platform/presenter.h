// What the terminal and the browser backends share: the game's console held in
// memory and shown on a terminal by the present (changed cells only, with the
// key help on the row below the game, a size notice while the terminal is too
// small), the key decoder and the quit key, and the pace of sleeps and of the
// scroll's frames. presenter.cpp implements console_io.h (all but the key
// help, whose wording is the backend's), and PlatformSleep and PlatformOnQuit
// of program.h. A backend that links it defines the Backend functions below:
// how bytes leave, how a wait sleeps, and what woke the program.
#pragma once

#include <cstddef>
#include <string>

#include "platform/terminal_keys.h"
#include "platform/terminal_render.h"

// --- Called by the backend ---

// PlatformStart, once the terminal is ready: a blank console on a terminal of
// the given size and ambiguous width, drawn whole at once.
void StartPresenter(int columns, int rows, AmbiguousWidth ambiguous);

// The terminal changed size (or must be drawn again): it is cleared and drawn
// whole at the next present.
void ResizePresenter(int columns, int rows);

// Shows what the game drew since the last present, once BackendHandleWakeups has run.
void Present();

// PlatformShowHint: the key help (Shift-JIS, "" for none) from the next present on.
void SetKeyHelp(const std::string& text);

// The bytes the terminal sent. Ctrl+C among them is the player ending the
// game: BackendQuitKey runs before any of them counts as a key. The others
// are decoded into key codes.
void TakeTerminalBytes(const char* bytes, std::size_t count);

// The key decoder, for the backend's reads (the rest of an escape sequence).
KeyDecoder& PresenterKeys();

// What the terminal shows since the last present, as ScreenText (screen_text.h)
// gives it: for a page to draw while its terminal is still loading.
std::string PresentedText();

// For a terminal whose width is not known in advance (the page knows
// xterm.js's): draws ● at the top left and asks where the cursor went; two
// columns on means the terminal draws East Asian Ambiguous characters wide. `waitForBytes`
// waits up to the given milliseconds for the terminal's bytes, taking them
// through TakeTerminalBytes, and is false once no more can come. No answer
// within half a second: unmeasured, drawn so that either width stays aligned.
AmbiguousWidth MeasureAmbiguousWidth(bool (*waitForBytes)(int timeoutMs));

// Runs the game's handler for the player's ending the game (PlatformOnQuit),
// once at most; the status Ctrl+C ends the program with.
void RunQuitHandler();
int QuitKeyStatus();

// Nothing waits any more (the page is going away): sleeps end at once and a
// key read that finds no key gives 0, without drawing.
void StopWaits();
bool WaitsStopped();

// --- Defined by the backend ---

// Sends bytes to the terminal, whole.
void BackendSend(const char* bytes, std::size_t size);

// A monotonic clock in microseconds.
long long BackendNowUs();

// Takes what woke the program since the last look, before every present and
// wait: a new size (ResizePresenter), or a signal that ends the game.
void BackendHandleWakeups();

// Reads the keys that came, without waiting for one.
void BackendPollKeys();

// Waits until a key comes (or a wake-up), and reads it.
void BackendWaitForKey();

// Waits until the clock reaches deadlineUs, or kNoDeadline: until keys or a
// wake-up come. May return early when they do; keys that came are read.
constexpr long long kNoDeadline = -1;
void BackendWaitUntil(long long deadlineUs);

// Ctrl+C came: the player ends the game. Returns only when it is already
// being ended.
void BackendQuitKey();
