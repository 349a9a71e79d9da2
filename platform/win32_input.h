// The Win32 backend's keyboard: the console's input events read into a queue
// of the game's key codes, and the wait for any key before a window closes.
#pragma once

#include "platform/win32_api.h"

// Key codes read from the console but not yet handed to the game. A press with
// a repeat count, or an arrow's two codes, fill more than one slot; a flood of
// repeats past the last slot is dropped.
struct KeyQueue {
    static constexpr int kSize = 64;
    int codes[kSize];
    int head = 0;
    int count = 0;
};

// The oldest code; the queue must not be empty.
int PopKey(KeyQueue& keys);

// Reads one input event, waiting for one when none is there, and queues the
// codes of a key press. False for Ctrl+C pressed (the player ends the game),
// which queues nothing.
bool ReadInputEvent(HANDLE input, KeyQueue& keys);

// Reads the events already waiting, never waiting: until a key is queued, or
// (`all`) every one. False as soon as Ctrl+C is read.
bool DrainInputEvents(HANDLE input, KeyQueue& keys, bool all);

// One read done at once at start (see the definition). False for Ctrl+C.
bool PrimeInputEvents(HANDLE input, KeyQueue& keys);

// Waits for a key pressed after the call (not a modifier on its own). False
// when `stop` (may be null) was set first, or the input failed.
bool WaitForAnyKey(HANDLE input, HANDLE stop);
