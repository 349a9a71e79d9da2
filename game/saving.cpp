#include "game/saving.h"

#include <cstdio>
#include <string>

#include "battle/battle_state.h"
#include "console/console.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "game/game.h"
#include "game/save_file.h"
#include "platform/console_io.h"
#include "platform/program.h"
#include "platform/state_files.h"

namespace {

constexpr long kLargestCopy = 1 << 20;  // a "save" larger than this is not copied
constexpr int kBadCopies = 999;         // save-....bad-1.txt to bad-999.txt

struct Saving {
    bool on = false;
    bool fromSave = false;      // this run continued the save, or set an unusable one aside
    bool previousKept = false;  // a new game's first save kept the one it replaced
    bool saved = false;         // the save holds this run's journey up to its last safe point
    bool previousChecked = false;
    bool failureShown = false;
    std::string failure;        // why the last save failed; "" after a success
    std::string refused;        // why this run writes no save at all (a line for the player); "" when it may
    std::string tree;
    std::string previousName;
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

// This run writes no save: the line that says why shows now, and again after exit.
void RefuseToSave(const std::string& line) {
    if (!saving.refused.empty()) return;
    saving.refused = line;
    PlatformShowHint(line.c_str());
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

// A new game's first save replaces a journey saved before: that one is kept as
// "save-....previous.txt", for a player who forgot --continue. When it cannot
// be kept, it is not replaced: this run saves nothing.
void KeepPreviousSave(const std::string& name) {
    char why[256];
    std::FILE* file = PlatformOpenStateFile(name.c_str(), why, sizeof why);
    if (!file) return;
    std::string failure;
    saving.previousName = BaseName(name) + ".previous.txt";
    saving.previousKept = CopyStateFile(file, saving.previousName, failure);
    std::fclose(file);
    if (!saving.previousKept) RefuseToSave(kTextPreviousNotKept + failure);
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
    if (saving.tree.empty() && !FindTree(saving.tree)) {
        saving.failure = "the data tree's folder cannot be told";
    } else {
        const std::string name = SaveFileName(saving.tree);
        if (!saving.fromSave && !saving.previousChecked) {
            saving.previousChecked = true;
            KeepPreviousSave(name);
            if (!saving.refused.empty()) return;
        }
        SavedGame game{HeroAsSaved(), GateIsOpen(), saving.tree};
        saving.failure.clear();
        if (Write(name, ComposeSave(game), saving.failure)) saving.saved = true;
    }
    if (!saving.failure.empty() && !saving.failureShown) {
        saving.failureShown = true;
        PlatformShowHint((kTextCannotSave + saving.failure).c_str());
    }
}

// One line about the save at start: on the hint line, and again after exit.
void SayAtStart(const std::string& line) {
    PlatformShowHint(line.c_str());
    PlatformLeaveLine(line.c_str());
}

}  // namespace

void ContinueGame() {
    // Every record and the map are read as for a new game, and its first screen
    // is drawn: it is what the player gets when the save cannot be used.
    StartGame();
    std::string tree;
    if (!FindTree(tree)) {
        SayAtStart(std::string(kTextSaveRefused) + "the data tree's folder cannot be told");
        return;
    }
    const std::string name = SaveFileName(tree);
    char why[512];
    std::FILE* file = PlatformOpenStateFile(name.c_str(), why, sizeof why);
    if (!file) {
        if (why[0] != '\0') {
            SayAtStart(kTextSaveRefused + std::string(why));
        } else {
            PlatformShowHint(kTextNoSave);
            PlatformLeaveStatePath(kTextNoSaveAt, name.c_str());
        }
        return;
    }
    SavedGame game;
    SaveProblems problems;
    if (!ReadSave(file, game, problems) || !CheckSaveFits(game, tree, problems)) {
        SayAtStart(kTextSaveRefused + DescribeProblem(problems.front()));
        KeepUnusableSave(file, name);
        std::fclose(file);
        saving.fromSave = true;
        return;
    }
    std::fclose(file);

    hero = game.hero;
    if (game.gateOpen) OpenGate();
    LoadPlacements(worldNumber);
    SetCursor(0, 0);
    DrawFieldScreen();
    DrawScreenFigure();
    saving.tree = tree;
    saving.fromSave = true;
    saving.saved = true;
}

void TurnOnSaving() {
    saving.on = true;
    PlatformOnQuit(SaveOnQuit, 0);
    OnScreenChanged(SaveAtSafePoint);
    // One running game at a time writes a save: a second one plays without.
    // A folder that cannot be used is told at the first save, as before.
    std::string tree;
    char why[512];
    if (FindTree(tree) &&
        PlatformLockStateFile((BaseName(SaveFileName(tree)) + ".lock").c_str(), why, sizeof why) == StateLock::kBusy) {
        RefuseToSave(kTextSaveOpenElsewhere);
    }
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
        PlatformLeaveLine(inBattle ? kTextSavedBeforeBattle : kTextProgressSaved);
    }
    if (saving.previousKept) PlatformLeaveStatePath(kTextPreviousSaveCopy, saving.previousName.c_str());
}

void ResetSaving() {
    saving = Saving{};
    OnScreenChanged(nullptr);
}
