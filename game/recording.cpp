#include "game/recording.h"

#include <cstdlib>
#include <cstring>

#include "battle/battle_state.h"
#include "battle/formulas.h"
#include "console/console.h"
#include "console/message_log.h"
#include "console/texts.h"
#include "field/field_screen.h"
#include "field/map_files.h"
#include "field/world_map.h"
#include "game/game.h"
#include "game/saving.h"
#include "platform/program.h"

namespace {

// --- The check of the game's state ---

struct Hash {
    uint32_t value = 2166136261u;
    void Byte(unsigned char byte) { value = (value ^ byte) * 16777619u; }
    void Number(long long number) {
        for (int i = 0; i < 8; ++i) Byte(static_cast<unsigned char>((static_cast<unsigned long long>(number) >> (8 * i)) & 0xFF));
    }
    void Text(const char* text, std::size_t size) {
        for (std::size_t i = 0; i < size && text[i]; ++i) Byte(static_cast<unsigned char>(text[i]));
        Byte(0);
    }
};

void AddHero(Hash& hash, const HeroStatus& h) {
    hash.Text(h.name, sizeof h.name);
    for (long long n : {(long long)h.maxHp, (long long)h.attack, (long long)h.defense, (long long)h.magicAttack,
                        (long long)h.magicDefense, (long long)h.speed, (long long)h.nextLevelExp, (long long)h.exp,
                        (long long)h.level, (long long)h.spare1, (long long)h.spare2, (long long)h.spare3,
                        (long long)h.spare4, (long long)h.fieldX, (long long)h.fieldY, (long long)h.screenNo,
                        (long long)h.hp, (long long)h.savedAttack, (long long)h.savedDefense}) {
        hash.Number(n);
    }
    for (const ItemStock& item : h.items) {
        hash.Number(item.held);
        hash.Number(item.count);
    }
}

void AddBoosts(Hash& hash, const BoostSlot (&slots)[kBoostSlots]) {
    for (const BoostSlot& slot : slots) {
        hash.Number(slot.turnsLeft);
        hash.Number(slot.row);
        hash.Number(slot.startedThisBattle);
    }
}

// --- The start line and the hero line ---

// The hero's numbers in the hero line's order, with the range each may hold.
struct HeroNumber {
    long long low;
    long long high;
};
constexpr long long k16 = 65535;
constexpr long long k32 = 4294967295LL;
constexpr HeroNumber kHeroNumbers[] = {
    {0, k16}, {0, k16}, {0, k16}, {0, k16}, {0, k16}, {0, k16},  // maxHp to speed
    {0, k32}, {0, k32},                                          // nextLevelExp, exp
    {0, k16}, {0, k16}, {0, k16}, {0, k16}, {0, k16},            // level, spare 1 to 4
    {0, k16}, {0, k16}, {0, k16}, {0, k16}, {0, k16}, {0, k16},  // the three items: held, count
    {0, kScreenColumns - 2}, {0, kScreenRows - 1}, {1, kScreenCount},  // fieldX, fieldY, screenNo
    {-32768, 32767}, {0, k16}, {0, k16},                        // hp, savedAttack, savedDefense
};
constexpr int kHeroNumberCount = sizeof kHeroNumbers / sizeof kHeroNumbers[0];

std::vector<long long> HeroNumbers(const HeroStatus& h) {
    return {h.maxHp,          h.attack,         h.defense,        h.magicAttack,    h.magicDefense,
            h.speed,          h.nextLevelExp,   h.exp,            h.level,          h.spare1,
            h.spare2,         h.spare3,         h.spare4,         h.items[0].held,  h.items[0].count,
            h.items[1].held,  h.items[1].count, h.items[2].held,  h.items[2].count, h.fieldX,
            h.fieldY,         h.screenNo,       h.hp,             h.savedAttack,    h.savedDefense};
}

void SetHeroNumbers(HeroStatus& h, const std::vector<long long>& n) {
    uint16_t* sixteen[] = {&h.maxHp,          &h.attack,         &h.defense,        &h.magicAttack,
                           &h.magicDefense,   &h.speed};
    for (int i = 0; i < 6; ++i) *sixteen[i] = static_cast<uint16_t>(n[i]);
    h.nextLevelExp = static_cast<uint32_t>(n[6]);
    h.exp = static_cast<uint32_t>(n[7]);
    uint16_t* rest[] = {&h.level,          &h.spare1,         &h.spare2,         &h.spare3,        &h.spare4,
                        &h.items[0].held,  &h.items[0].count, &h.items[1].held,  &h.items[1].count,
                        &h.items[2].held,  &h.items[2].count, &h.fieldX,         &h.fieldY,        &h.screenNo};
    for (int i = 0; i < 14; ++i) *rest[i] = static_cast<uint16_t>(n[8 + i]);
    h.hp = static_cast<int16_t>(n[22]);
    h.savedAttack = static_cast<uint16_t>(n[23]);
    h.savedDefense = static_cast<uint16_t>(n[24]);
}

// The name as hex digits, two a byte ("-" for none), so that any bytes fit one word.
std::string NameWord(const char* name) {
    std::string word;
    char digits[3];
    for (const char* p = name; *p; ++p) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(*p));
        word += digits;
    }
    return word.empty() ? "-" : word;
}

bool ReadNameWord(const std::string& word, char (&name)[sizeof HeroStatus::name]) {
    std::memset(name, 0, sizeof name);
    if (word == "-") return true;
    if (word.size() % 2 != 0 || word.size() / 2 >= sizeof name) return false;
    for (std::size_t i = 0; i < word.size(); i += 2) {
        char* end = nullptr;
        std::string pair = word.substr(i, 2);
        long byte = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0' || byte == 0 || pair[0] == '-' || pair[0] == '+' || pair[0] == ' ') return false;
        name[i / 2] = static_cast<char>(byte);
    }
    return true;
}

bool ReadNumber(const std::string& word, long long low, long long high, long long& value) {
    if (word.empty() || word.size() > 12) return false;
    std::size_t first = word[0] == '-' ? 1 : 0;
    if (first == word.size()) return false;
    for (std::size_t i = first; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
    }
    value = std::strtoll(word.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at <= line.size()) {
        std::size_t blank = line.find(' ', at);
        if (blank == std::string::npos) blank = line.size();
        words.push_back(line.substr(at, blank - at));
        at = blank + 1;
    }
    return words;
}

std::string HeroLine(const HeroStatus& h) {
    std::string line = "hero " + NameWord(h.name);
    for (long long n : HeroNumbers(h)) line += " " + std::to_string(n);
    return line;
}

std::string StartLine(const RecordedStart& start) {
    char text[80];
    std::snprintf(text, sizeof text, "start %d %d %d %u %08x", start.gateOpen ? 1 : 0, start.enemiesOff ? 1 : 0,
                  start.figure ? 1 : 0, static_cast<unsigned>(start.attribute), static_cast<unsigned>(start.check));
    return text;
}

bool ParseHeroLine(const std::vector<std::string>& words, HeroStatus& hero) {
    if (words.size() != 2 + kHeroNumberCount || words[0] != "hero") return false;
    hero = HeroStatus{};
    if (!ReadNameWord(words[1], hero.name)) return false;
    std::vector<long long> numbers(kHeroNumberCount);
    for (int i = 0; i < kHeroNumberCount; ++i) {
        if (!ReadNumber(words[2 + i], kHeroNumbers[i].low, kHeroNumbers[i].high, numbers[i])) return false;
    }
    SetHeroNumbers(hero, numbers);
    return true;
}

bool ParseStartLine(const std::vector<std::string>& words, RecordedStart& start) {
    long long flags[3], attribute;
    if (words.size() != 6 || words[0] != "start") return false;
    for (int i = 0; i < 3; ++i) {
        if (!ReadNumber(words[1 + i], 0, 1, flags[i])) return false;
    }
    // The colour is the console's first (0: never set), normal or bright.
    if (!ReadNumber(words[4], 0, 15, attribute) || (attribute != 0 && attribute != 7 && attribute != 15)) return false;
    JournalEvent probe;
    if (!ParseJournalEvent("e 1 0 " + words[5], probe)) return false;
    start.gateOpen = flags[0] == 1;
    start.enemiesOff = flags[1] == 1;
    start.figure = flags[2] == 1;
    start.attribute = static_cast<uint16_t>(attribute);
    start.check = probe.check;
    return true;
}

std::string LineFault(std::size_t number, const std::string& what) { return "line " + std::to_string(number) + ": " + what; }

// Ends the recording, then does what the player's quit does without one.
void QuitWhileRecording() {
    JournalFinishRecording();
    SaveOnQuit();
}

}  // namespace

uint32_t JourneyCheck() {
    Hash hash;
    AddHero(hash, hero);
    for (const EnemyKind& kind : enemyKinds) {
        hash.Number(kind.target);
        for (int16_t hp : kind.hp) hash.Number(hp);
    }
    hash.Number(roamingCount);
    for (const RoamingEnemy& entry : roamingEnemies) {
        for (long long n : {entry.kind, entry.groupSize, entry.x, entry.y}) hash.Number(n);
    }
    hash.Number(GateIsOpen());
    hash.Number(roamingEnemiesOff);
    const BattleState& b = battleState;
    for (long long n : {b.enemiesLeft, b.turnCount, b.defeatedCount, b.itemUseCount, b.commandCursor, b.abilityCursor,
                        b.itemCursor}) {
        hash.Number(n);
    }
    for (int16_t fallen : b.defeated) hash.Number(fallen);
    AddBoosts(hash, attackBoosts);
    AddBoosts(hash, defenseBoosts);
    for (uint16_t row : boostRowUsed) hash.Number(row);
    hash.Number(activeBoostCount);
    hash.Number(menuTop);
    AddHero(hash, levelUpSnapshot);
    hash.Number(expGained);
    hash.Number(randState);
    for (const LogText& line : messageLog.logLines) hash.Text(line.bytes, sizeof line.bytes);
    for (long long n : {(long long)consoleCursor.X, (long long)consoleCursor.Y, (long long)textAttribute,
                        (long long)panelColumn, (long long)viewColumn}) {
        hash.Number(n);
    }
    return hash.value;
}

std::string RecordingHeader(const std::string& program, const std::string& tree) {
    return std::string(kRecordingMark) + " " + std::to_string(kRecordingLayout) + "\nprogram " + program + "\ntree " +
           tree + "\n";
}

bool ParseRecording(const std::string& text, Recording& recording, std::string& why) {
    recording = Recording{};
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            recording.cut = true;  // written in part when the game was killed: left out
            break;
        }
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    const std::string mark = std::string(kRecordingMark) + " ";
    if (lines.empty() || lines[0].compare(0, mark.size(), mark) != 0) {
        why = "not a recording of chessrpg (its first line is not \"" + mark + std::to_string(kRecordingLayout) + "\")";
        return false;
    }
    if (lines[0] != mark + std::to_string(kRecordingLayout)) {
        why = "a recording in layout \"" + lines[0].substr(mark.size()) + "\"; this chessrpg reads layout " +
              std::to_string(kRecordingLayout);
        return false;
    }
    if (lines.size() < 3 || lines[1].compare(0, 8, "program ") != 0 || lines[2].compare(0, 5, "tree ") != 0 ||
        lines[2].size() != 21) {
        why = lines.size() < 3 ? "the header is cut short" : LineFault(lines[1].compare(0, 8, "program ") ? 2 : 3, "not the header's program and data tree");
        return false;
    }
    recording.program = lines[1].substr(8);
    recording.tree = lines[2].substr(5);
    if (lines.size() < 5) {
        why = "the recording ends before the journey began";
        return false;
    }
    if (!ParseHeroLine(Words(lines[3]), recording.start.hero)) {
        why = LineFault(4, "not a hero line (hero NAME and 25 numbers, each within its field)");
        return false;
    }
    if (!ParseStartLine(Words(lines[4]), recording.start)) {
        why = LineFault(5, "not a start line (start GATE ENEMIES FIGURE COLOUR CHECK)");
        return false;
    }
    for (std::size_t i = 5; i < lines.size(); ++i) {
        JournalEvent event;
        if (!ParseJournalEvent(lines[i], event)) {
            why = LineFault(i + 1, "not an event (k CODE POLLS MS CHECK, c SECONDS or e CALLS MS CHECK)");
            return false;
        }
        if (!recording.events.empty() && recording.events.back().kind == JournalEvent::kEnd) {
            why = LineFault(i + 1, "an event after the end");
            return false;
        }
        recording.events.push_back(event);
    }
    return true;
}

void BeginRecording(std::FILE* file, bool figure) {
    RecordedStart start;
    start.hero = hero;
    start.gateOpen = GateIsOpen();
    start.enemiesOff = roamingEnemiesOff;
    start.figure = figure;
    start.attribute = textAttribute;
    start.check = JourneyCheck();
    JournalRecord(file, JourneyCheck, kTextRecordingFailed, HeroLine(start.hero) + "\n" + StartLine(start) + "\n");
    PlatformOnQuit(QuitWhileRecording, 0);
}

void BeginReplay(const Recording& recording, const ReplaySettings& settings) {
    const RecordedStart& start = recording.start;
    LoadGame();
    hero = start.hero;
    roamingEnemiesOff = start.enemiesOff;
    if (start.gateOpen) OpenGate();
    LoadPlacements(worldNumber);
    if (start.attribute != 0) SetNormal();
    if (start.attribute == kAttributeNormal + kAttributeBrightBit) SetBright();
    SetCursor(0, 0);
    DrawFieldScreen();
    if (start.figure) DrawScreenFigure();
    JournalReplay(recording.events, JourneyCheck, settings, start.check);
}

ReplayTexts ReplayTextsOfTheGame() {
    ReplayTexts texts;
    texts.playing = kTextReplayPlaying;
    texts.paused = kTextReplayPaused;
    texts.keys = kTextReplayKeys;
    texts.fastest = kTextReplayFastest;
    texts.times = kTextTimes;
    texts.ended = kTextReplayEnded;
    texts.cut = kTextReplayCut;
    texts.parted = kTextReplayParted;
    texts.quitKey = kTextReplayQuitKey;
    return texts;
}
