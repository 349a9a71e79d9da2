// The save file: Shift-JIS text in the hero file's item layout (the name, then
// the 21 numbers), followed by the save's own items: a mark, the screen, whether
// the gate is open, the world the save belongs to, and a check over all the
// items before it. A person can read it and, with the check put right (the data
// checker tells it), edit it.
//
// Two layouts are read: the one written now (2), whose world is the identity
// of the world's map, and the one of earlier versions (1), whose world is the
// full path of its data tree.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "records/records.h"

// Item 23: says the file is a save, and of which layout.
inline constexpr char kSaveMark[] = "CHESSRPG_SAVE_2";
inline constexpr char kSaveMarkOfLayout1[] = "CHESSRPG_SAVE_1";
constexpr int kSaveItems = 27;
// The items after the hero's 22, counted from 1.
constexpr int kSaveScreenItem = 24;
constexpr int kSaveGateItem = 25;
constexpr int kSaveWorldItem = 26;
constexpr int kSaveCheckItem = 27;

// What a save holds.
struct SavedGame {
    HeroStatus hero;   // the name and the 21 numbers of the hero file, and screenNo
    bool gateOpen;
    int layout;        // 2, or 1 for a save of an earlier version
    std::string world; // layout 2: the world's identity; layout 1: its data tree's full path
};

// Something wrong with a save: its item (counted from 1; 0 for the whole file)
// and what is wrong, "what it is (what is allowed)".
struct SaveProblem {
    int item;
    std::string text;
};
using SaveProblems = std::vector<SaveProblem>;

// The save's name in the state folder: "save-" and the world's identity.
std::string SaveFileName(const std::string& world);
// The name an earlier version gave the save of the data tree at that full
// path: "save-" and 16 hex digits of the path.
std::string SaveFileNameOfLayout1(const std::string& tree);

// The file's text, in the save's layout.
std::string ComposeSave(const SavedGame& game);

// Reads a save. Every item is checked first: there, a number that fits its
// field where a number belongs, the mark, a screen of 1 to 9 and a hero wholly
// on it, a gate of 0 or 1, a world, the check, nothing after it. Then the
// hero's items are read with the hero file's own loader. False, with the
// problems in item order, when anything is wrong; of `game` only the layout
// and the world are then of use.
bool ReadSave(std::FILE* file, SavedGame& game, SaveProblems& problems);

// Whether a save that was read belongs to this world: to its identity, or for
// a save of layout 1 to its data tree's full path. The hero may stand on any
// cell of his screen, as the game may have put him there. False, with the
// problems, when not.
bool CheckSaveFits(const SavedGame& game, const std::string& world, const std::string& tree,
                   SaveProblems& problems);

// "item N: what" (or the text alone for the whole file), for one line.
std::string DescribeProblem(const SaveProblem& problem);
