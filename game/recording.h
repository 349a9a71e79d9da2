// Recordings of a journey (docs/recordings.md): a header that names the
// program and the data tree it was made with and the state the journey began
// in, then the journal's events (platform/journal.h). Recording begins once
// the journey has begun (its question answered, the first field screen
// drawn); a replay puts the same state back, draws the same first screen and
// feeds the game the recorded keys and clock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/journal.h"
#include "records/records.h"

// The first line of every recording, with the version of its layout.
inline constexpr char kRecordingMark[] = "chessrpg-recording";
constexpr int kRecordingLayout = 1;

// Where a journey began: the hero whole, the gate, whether the screens are
// kept free of enemies (a trial run), whether the screen's standing figure was
// drawn (a continued journey), the colour attribute, and the check of it all.
struct RecordedStart {
    HeroStatus hero{};
    bool gateOpen = false;
    bool enemiesOff = false;
    bool figure = false;
    uint16_t attribute = 0;
    uint32_t check = 0;
};

struct Recording {
    std::string program;  // "chessrpg 1.0.0"
    std::string tree;     // the data tree's identity
    RecordedStart start;
    std::vector<JournalEvent> events;
    bool cut = false;     // the last line was cut short (the game was killed while writing it)
};

// The first three lines: the mark, the program, the data tree.
std::string RecordingHeader(const std::string& program, const std::string& tree);

// Reads a recording's text. False with one line that says why (naming the
// line) when it is not a recording this program can read.
bool ParseRecording(const std::string& text, Recording& recording, std::string& why);

// The check of the game's state: a 32-bit hash of the hero, the figures, the
// battle, the boosts, the dice, the message log, the gate and the console's
// cursor and colour.
uint32_t JourneyCheck();

// Recording: the journey has just begun (`figure`: its screen's standing
// figure was drawn). Writes the start to `file`, whose header is written,
// and records from now on; the player's quit ends the recording, then saves.
void BeginRecording(std::FILE* file, bool figure);

// Replaying: loads the game, puts the journey's start back, draws its first
// screen, and plays the recording.
void BeginReplay(const Recording& recording, const ReplaySettings& settings);

// The key help and lines of a watched replay, in the game's texts.
ReplayTexts ReplayTextsOfTheGame();
