#include "game/saving.h"

#include <cstdio>
#include <string>

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/journey_choice.h"
#include "game/save_file.h"
#include "game/world_identity.h"
#include "platform/program.h"
#include "platform/state_files.h"

namespace {

constexpr long kLargestCopy = 1 << 20;  // a "save" larger than this is not copied
constexpr int kBadCopies = 999;         // save-....bad-1.txt to bad-999.txt

struct Saving {
    bool on = false;
    bool setAside = false;      // a new game's first save sets the journey saved before aside
    bool asideKept = false;     // it did: the journey is save-....aside-1.txt
    bool saved = false;         // the save holds this run's journey up to its last safe point
    bool failureShown = false;
    std::string failure;        // why the last save failed; "" after a success
    std::string refused;        // why this run writes no save at all (a line for the player); "" when it may
    std::string notice;         // the line shown below the first field screen, if any
    std::string world;          // the world's identity
    std::string tree;           // the data tree's full path, for the saves of layout 1
    std::string name;           // the save's name in the state folder
    std::string found;          // the save found at start (this name, or the name of layout 1)
    std::string command;        // how the player starts this copy of the game again
};

Saving saving;

bool FindTree(std::string& tree) {
    char path[4096];
    if (!PlatformDataTreePath(path, sizeof path)) return false;
    tree = path;
    return true;
}

std::string BaseName(const std::string& name) { return name.substr(0, name.size() - 4); }  // without ".txt"

// The whole of a state file as bytes; false for one too large to be a save.
bool ReadAll(std::FILE* file, std::string& bytes) {
    std::rewind(file);
    bytes.clear();
    char block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
        bytes.append(block, got);
        if (bytes.size() > static_cast<std::size_t>(kLargestCopy)) return false;
    }
    return true;
}

// Something stands at the name: a file, or one that cannot be read.
bool Exists(const std::string& name) {
    char why[256];
    std::FILE* file = PlatformOpenStateFile(name.c_str(), why, sizeof why);
    if (file) std::fclose(file);
    return file != nullptr || why[0] != '\0';
}

bool Write(const std::string& name, const std::string& bytes, std::string& failure) {
    char why[512];
    if (PlatformWriteStateFile(name.c_str(), bytes.data(), bytes.size(), why, sizeof why)) return true;
    failure = why;
    return false;
}

// A line about the journey, shown below the first field screen (the last one
// said wins there) and again after exit.
void SayAtStart(const std::string& line) {
    saving.notice = line;
    PlatformLeaveLine(line.c_str());
}

// This run writes no save: the line that says why shows now (or below the
// first field screen), and again after exit.
void RefuseToSave(const std::string& line) {
    if (!saving.refused.empty()) return;
    saving.refused = line;
    if (saving.on) ShowKeyHint(line.c_str());
}

// Copies a state file whole under another name; false with the reason.
bool CopyStateFile(std::FILE* file, const std::string& copy, std::string& failure) {
    std::string bytes;
    if (!ReadAll(file, bytes)) {
        failure = "the file is larger than 1 MiB";
        return false;
    }
    return Write(copy, bytes, failure);
}

bool CopyStateFile(const std::string& from, const std::string& copy, std::string& failure) {
    char why[512];
    std::FILE* file = PlatformOpenStateFile(from.c_str(), why, sizeof why);
    if (!file) {
        failure = why;
        return false;
    }
    bool copied = CopyStateFile(file, copy, failure);
    std::fclose(file);
    return copied;
}

// Keeps an unusable save as "save-....bad-N.txt", N the first number free, and
// leaves its path for after exit. When it cannot be copied it stays where it
// is, and this run saves nothing over it.
void KeepUnusableSave(std::FILE* file, const std::string& name) {
    std::string copy;
    for (int n = 1; n <= kBadCopies && copy.empty(); ++n) {
        std::string candidate = BaseName(name) + ".bad-" + std::to_string(n) + ".txt";
        if (!Exists(candidate)) copy = candidate;
    }
    std::string failure = "every name for a copy is taken (" + BaseName(name) + ".bad-1.txt to .bad-" +
                          std::to_string(kBadCopies) + ".txt)";
    if (!copy.empty() && CopyStateFile(file, copy, failure)) {
        PlatformLeaveStatePath(kTextBadSaveCopy, copy.c_str());
    } else {
        RefuseToSave(kTextBadSaveNotCopied + failure);
    }
}

std::string AsideName(int n) { return BaseName(saving.name) + ".aside-" + std::to_string(n) + ".txt"; }

// A new game's first save replaces the journey saved before: that one is set
// aside first as "save-....aside-1.txt", the older ones moving on to aside-2
// and so on up to the last kept. When it cannot be set aside it is not
// replaced: this run saves nothing.
void SetJourneyAside() {
    std::string failure;
    bool kept = true;
    for (int n = kJourneysKept - 1; n >= 1 && kept; --n) {
        if (Exists(AsideName(n))) kept = CopyStateFile(AsideName(n), AsideName(n + 1), failure);
    }
    kept = kept && CopyStateFile(saving.found, AsideName(1), failure);
    saving.asideKept = kept;
    if (!kept) RefuseToSave(kTextJourneyNotSetAside + failure);
}

// The hero as his file would hold him: without the bonus of the boosts still
// running, which a continued game does not have (the boosts are not saved).
HeroStatus HeroAsSaved() {
    HeroStatus saved = hero;
    for (int i = 0; i < kBoostSlots; ++i) {
        if (attackBoosts[i].turnsLeft != kBoostFree) saved.attack = static_cast<uint16_t>(saved.attack - kBoostBonus);
        if (defenseBoosts[i].turnsLeft != kBoostFree) saved.defense = static_cast<uint16_t>(saved.defense - kBoostBonus);
    }
    return saved;
}

void WriteSave() {
    if (!saving.refused.empty()) return;
    if (saving.setAside) {
        saving.setAside = false;
        SetJourneyAside();
        if (!saving.refused.empty()) return;
    }
    SavedGame game{HeroAsSaved(), GateIsOpen(), 2, saving.world};
    saving.failure.clear();
    if (Write(saving.name, ComposeSave(game), saving.failure)) saving.saved = true;
    if (!saving.failure.empty() && !saving.failureShown) {
        saving.failureShown = true;
        ShowKeyHint((kTextCannotSave + saving.failure).c_str());
    }
}

// The save found for this world: the one of its name, else one an earlier
// version wrote for this data tree; "" when there is none.
std::string FindSave() {
    if (Exists(saving.name)) return saving.name;
    if (!saving.tree.empty() && Exists(SaveFileNameOfLayout1(saving.tree))) return SaveFileNameOfLayout1(saving.tree);
    return "";
}

// Puts the hero, his screen and the gate as the save found holds them; true
// when it did. An unusable save is said, and kept aside.
bool ContinueSave() {
    char why[512];
    std::FILE* file = PlatformOpenStateFile(saving.found.c_str(), why, sizeof why);
    if (!file) {
        SayAtStart(kTextSaveRefused + std::string(why));
        return false;
    }
    SavedGame game;
    SaveProblems problems;
    if (!ReadSave(file, game, problems) || !CheckSaveFits(game, saving.world, saving.tree, problems)) {
        SayAtStart(kTextSaveRefused + DescribeProblem(problems.front()));
        KeepUnusableSave(file, saving.found);
        std::fclose(file);
        return false;
    }
    std::fclose(file);
    hero = game.hero;
    if (game.gateOpen) OpenGate();
    LoadPlacements(worldNumber);
    return true;
}

}  // namespace

bool BeginJourney(JourneyStart how, const std::string& continueCommand) {
    saving = Saving{};
    saving.command = continueCommand;
    LoadGame();
    saving.world = WorldIdentity();
    saving.name = SaveFileName(saving.world);
    FindTree(saving.tree);
    // One running game at a time writes a save: a second one plays without.
    // A folder that cannot be used is told at the first save.
    char why[512];
    if (PlatformLockStateFile((BaseName(saving.name) + ".lock").c_str(), why, sizeof why) == StateLock::kBusy) {
        RefuseToSave(kTextSaveOpenElsewhere);
    }
    saving.found = FindSave();
    if (saving.found.empty()) {
        if (how == JourneyStart::kContinue) {
            saving.notice = kTextNoSave;
            PlatformLeaveStatePath(kTextNoSaveAt, saving.name.c_str());
        }
        how = JourneyStart::kNew;
    } else if (how == JourneyStart::kAsk) {
        how = AskToContinue() ? JourneyStart::kContinue : JourneyStart::kNew;
    }
    bool continued = false;
    if (how == JourneyStart::kContinue) {
        continued = ContinueSave();
    } else {
        saving.setAside = !saving.found.empty();
    }
    SetCursor(0, 0);
    DrawFieldScreen();
    if (continued) {
        DrawScreenFigure();
        saving.saved = true;
    }
    // Why nothing is saved matters more than any other line at the start.
    const std::string& line = saving.refused.empty() ? saving.notice : saving.refused;
    if (!line.empty()) ShowKeyHint(line.c_str());
    saving.on = true;
    PlatformOnQuit(SaveOnQuit, 0);
    OnScreenChanged(SaveAtSafePoint);
    return continued;
}

void SaveAtSafePoint() {
    if (saving.on) WriteSave();
}

void SaveOnQuit() {
    if (!saving.on) return;
    const bool inBattle = BattleUnderWay();
    if (!inBattle) WriteSave();
    if (!saving.refused.empty()) {
        PlatformLeaveLine(saving.refused.c_str());
    } else if (!saving.failure.empty()) {
        PlatformLeaveLine((kTextCannotSave + saving.failure).c_str());
    } else if (saving.saved) {
        PlatformLeaveCommand(inBattle ? kTextSavedBeforeBattle : kTextProgressSaved, saving.command.c_str());
    }
    if (saving.asideKept) PlatformLeaveStatePath(kTextJourneySetAside, AsideName(1).c_str());
}

void ResetSaving() {
    saving = Saving{};
    OnScreenChanged(nullptr);
}
