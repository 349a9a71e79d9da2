#include "game/save_file.h"

#include <cstdint>
#include <cstdio>

#include "field/world_map.h"
#include "records/text_reader.h"

namespace {

constexpr long long kMax16 = 65535;
constexpr long long kMax32 = 2147483647;  // the largest number the game's reader keeps
constexpr std::size_t kLongestItem = 8192;

// The 21 numbers of the hero file, in file order, and what each may hold.
struct NumberRule {
    const char* name;
    long long high;
    const char* beyond;  // what a value outside the range means
};

constexpr char kTooWide[] = "does not fit its field";
constexpr char kOffScreen[] = "is off the screen";

const NumberRule kHeroNumbers[21] = {
    {"max HP", kMax16, kTooWide},       {"attack", kMax16, kTooWide},        {"defense", kMax16, kTooWide},
    {"magic attack", kMax16, kTooWide}, {"magic defense", kMax16, kTooWide}, {"speed", kMax16, kTooWide},
    {"next level exp", kMax32, kTooWide}, {"exp", kMax32, kTooWide},       {"level", kMax16, kTooWide},
    {"spare 1", kMax16, kTooWide},      {"spare 2", kMax16, kTooWide},       {"spare 3", kMax16, kTooWide},
    {"spare 4", kMax16, kTooWide},      {"potion held", kMax16, kTooWide},   {"potion count", kMax16, kTooWide},
    {"protein held", kMax16, kTooWide}, {"protein count", kMax16, kTooWide}, {"buckler held", kMax16, kTooWide},
    {"buckler count", kMax16, kTooWide}, {"hero column", kScreenColumns - 2, kOffScreen},
    {"hero row", kScreenRows - 1, kOffScreen},
};

std::string Format(const char* format, long long a = 0, long long b = 0, long long c = 0) {
    char text[200];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

void Note(SaveProblems& problems, int item, const std::string& text) { problems.push_back(SaveProblem{item, text}); }

// The check over the items: 32-bit FNV-1a of each item's bytes and a line break.
uint32_t AddToCheck(uint32_t check, const std::string& item) {
    for (char c : item + "\n") check = (check ^ static_cast<unsigned char>(c)) * 16777619u;
    return check;
}
constexpr uint32_t kCheckStart = 2166136261u;

std::string Hex(unsigned long long value, int digits) {
    char text[20];
    std::snprintf(text, sizeof text, "%0*llx", digits, value);
    return text;
}

// The tree's path as one item: blanks, control bytes, bytes past ASCII and '%'
// written as %XX, so that any path fits between the blanks that part items.
std::string EncodeTree(const std::string& tree) {
    std::string item;
    for (unsigned char c : tree) {
        if (c <= 0x20 || c >= 0x7F || c == '%') item += "%" + Hex(c, 2);
        else item += static_cast<char>(c);
    }
    return item;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool DecodeTree(const std::string& item, std::string& tree) {
    tree.clear();
    for (std::size_t i = 0; i < item.size(); ++i) {
        if (item[i] != '%') {
            tree += item[i];
            continue;
        }
        if (i + 2 >= item.size()) return false;
        int high = HexDigit(item[i + 1]), low = HexDigit(item[i + 2]);
        if (high < 0 || low < 0) return false;
        tree += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

// A number item within low to high, else a problem; `beyond` says what a
// value outside them means.
bool CheckNumber(SaveProblems& problems, int item, const std::string& text, const char* name, long long low,
                 long long high, const char* beyond, long long& value) {
    if (!ParseWholeNumber(text.data(), text.size(), value)) {
        Note(problems, item, std::string(name) + " \"" + text + "\" is not a number" + Format(" (%lld to %lld)", low, high));
        return false;
    }
    if (value < low || value > high) {
        Note(problems, item,
             std::string(name) + " " + text + " " + beyond + Format(" (%lld to %lld)", low, high));
        return false;
    }
    return true;
}

// The name must read back as written: at most 15 bytes of Shift-JIS, no
// control bytes, every lead byte with its trail byte.
void CheckName(SaveProblems& problems, const std::string& name) {
    const std::size_t longest = sizeof HeroStatus::name - 1;
    if (name.size() > longest) {
        Note(problems, 1, Format("name is %lld bytes long (at most %lld)", static_cast<long long>(name.size()),
                                 static_cast<long long>(longest)));
        return;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        unsigned char next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        bool trail = next >= 0x40 && next <= 0xFC && next != 0x7F;
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && !lead && (c < 0xA1 || c > 0xDF)) || (lead && !trail)) {
            Note(problems, 1, Format("name is not valid Shift-JIS at byte %lld (code page 932 text)",
                                     static_cast<long long>(i + 1)));
            return;
        }
        if (lead) ++i;
    }
}

// The save's items as the file holds them, without the check.
std::vector<std::string> SaveItems(const SavedGame& game) {
    const HeroStatus& h = game.hero;
    // An empty name (an empty hero file) would leave no item: it is saved as "?".
    std::vector<std::string> items = {h.name[0] ? std::string(h.name) : std::string("?")};
    const unsigned long long numbers[21] = {
        h.maxHp,        h.attack,         h.defense,        h.magicAttack,    h.magicDefense,   h.speed,
        h.nextLevelExp, h.exp,            h.level,          h.spare1,         h.spare2,         h.spare3,
        h.spare4,       h.items[0].held,  h.items[0].count, h.items[1].held,  h.items[1].count, h.items[2].held,
        h.items[2].count, h.fieldX,       h.fieldY};
    for (unsigned long long number : numbers) {
        // Experience past what the reader keeps is saved as the largest it keeps.
        items.push_back(std::to_string(number > kMax32 ? kMax32 : number));
    }
    items.push_back(game.layout == 1 ? kSaveMarkOfLayout1 : kSaveMark);
    items.push_back(std::to_string(h.screenNo));
    items.push_back(game.gateOpen ? "1" : "0");
    items.push_back(game.layout == 1 ? EncodeTree(game.world) : game.world);
    return items;
}

// 16 hex digits, as the identity of a world is written.
bool IsWorldIdentity(const std::string& text) {
    if (text.size() != 16) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// Checks item `item` of a save and keeps what it holds (the hero's items are
// read again by the hero file's loader once all are sound).
void CheckItem(SaveProblems& problems, int item, const std::string& text, SavedGame& game, uint32_t check) {
    long long value = 0;
    if (item == 1) {
        CheckName(problems, text);
    } else if (item <= 22) {
        const NumberRule& rule = kHeroNumbers[item - 2];
        CheckNumber(problems, item, text, rule.name, 0, rule.high, rule.beyond, value);
    } else if (item == 23) {
        if (text == kSaveMark || text == kSaveMarkOfLayout1) game.layout = text == kSaveMark ? 2 : 1;
        else Note(problems, item, "\"" + text + "\" is not the mark of a save (" + kSaveMark + ")");
    } else if (item == kSaveScreenItem) {
        if (CheckNumber(problems, item, text, "screen", 1, kScreenCount, "is not one of the nine screens", value)) {
            game.hero.screenNo = static_cast<uint16_t>(value);
        }
    } else if (item == kSaveGateItem) {
        if (CheckNumber(problems, item, text, "gate", 0, 1, "is neither closed (0) nor open (1)", value)) {
            game.gateOpen = value == 1;
        }
    } else if (item == kSaveWorldItem && game.layout == 1) {
        if (!DecodeTree(text, game.world)) Note(problems, item, "data tree \"" + text + "\" is not a path (%XX for bytes)");
    } else if (item == kSaveWorldItem) {
        game.world = text;
        if (!IsWorldIdentity(text)) Note(problems, item, "world \"" + text + "\" is not a world's identity (16 hex digits)");
    } else if (text != Hex(check, 8)) {
        Note(problems, item,
             "check " + text + " does not match the items before it (" + Hex(check, 8) +
                 "): the save was damaged, or changed by hand");
    }
}

// A reader of the save from its first byte.
TextReader ReaderOn(std::FILE* file) {
    std::rewind(file);
    TextReader reader{};
    reader.file = file;
    reader.pushedBack = -1;
    return reader;
}

}  // namespace

std::string SaveFileName(const std::string& world) { return "save-" + world + ".txt"; }

std::string SaveFileNameOfLayout1(const std::string& tree) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : tree) hash = (hash ^ c) * 1099511628211ull;
    return "save-" + Hex(hash, 16) + ".txt";
}

std::string ComposeSave(const SavedGame& game) {
    std::vector<std::string> items = SaveItems(game);
    uint32_t check = kCheckStart;
    for (const std::string& item : items) check = AddToCheck(check, item);
    items.push_back(Hex(check, 8));
    // Lines as the hero file has them, then one line for each group of the save's own.
    const int lineEnds[] = {1, 7, 10, 14, 20, 22, 23, 25, 26, 27};
    std::string text;
    int item = 0;
    for (int end : lineEnds) {
        for (; item < end; ++item) text += items[static_cast<std::size_t>(item)] + (item + 1 < end ? " " : "\n");
    }
    return text;
}

bool ReadSave(std::FILE* file, SavedGame& game, SaveProblems& problems) {
    problems.clear();
    game = SavedGame{};
    TextReader reader = ReaderOn(file);
    static char buffer[kLongestItem + 1];
    uint32_t check = kCheckStart;
    int item = 0;
    bool stopped = false;
    for (long length; !stopped && (length = ReadTextItem(reader, buffer, sizeof buffer)) >= 0;) {
        stopped = ++item > kSaveItems || static_cast<std::size_t>(length) > kLongestItem;
        if (item > kSaveItems) {
            Note(problems, item, Format("text after the check item (%lld items)", kSaveItems));
        } else if (stopped) {
            Note(problems, item, Format("an item of %lld bytes: not a save (%lld short items)", length, kSaveItems));
        } else {
            std::string text(buffer, static_cast<std::size_t>(length));
            CheckItem(problems, item, text, game, check);
            check = AddToCheck(check, text);
        }
    }
    // The reader takes the first MiB as the whole file; a save is far smaller.
    if (reader.cut && !stopped) {
        Note(problems, 0, Format("the file goes on past %lld bytes: not a save", kTextFileLimit));
    } else if (item < kSaveItems && !stopped) {
        Note(problems, item == 0 ? 0 : item + 1,
             item == 0 ? Format("the file is empty (%lld items)", kSaveItems)
                       : Format("missing: the file ends after item %lld (%lld items): the save was cut short", item,
                                kSaveItems));
    }
    if (!problems.empty()) return false;

    // Sound: the hero file's own loader reads the hero's items.
    reader = ReaderOn(file);
    uint16_t screen = game.hero.screenNo;
    ReadHeroStatus(reader, game.hero);
    game.hero.screenNo = screen;
    return true;
}

// Any cell of the screen will do for the hero, a wall's too: the game itself
// plays a hero file that puts him in a wall (he walks out of it), and so it
// saves him there; a save must never be refused for where the game put him.
bool CheckSaveFits(const SavedGame& game, const std::string& world, const std::string& tree,
                   SaveProblems& problems) {
    problems.clear();
    if (game.layout == 1 && game.world != tree) {
        Note(problems, kSaveWorldItem,
             "the save belongs to the data tree " + game.world + ", not to this one (" + tree + ")");
    } else if (game.layout != 1 && game.world != world) {
        Note(problems, kSaveWorldItem,
             "the save belongs to the world " + game.world + ", not to this one (" + world +
                 "): the world's map was changed");
    }
    return problems.empty();
}

std::string DescribeProblem(const SaveProblem& problem) {
    return problem.item > 0 ? Format("item %lld: ", problem.item) + problem.text : problem.text;
}
