#include "tools/bench/scratch_data.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

const char kSmallWorldMarker[] = "#   small field of the benchmarks                         #";
static_assert(sizeof kSmallWorldMarker == 59 + 1, "a layout row is 59 columns");

namespace {

bool WriteFile(const fs::path& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (out.flush()) return true;
    error = "cannot write " + path.string();
    return false;
}

// Row y of a small-world layout: 59 columns, walled at both ends, with a wall
// along the top and bottom rows and the marker on row 2.
std::string SmallWorldRow(int y) {
    if (y == 0 || y == 19) return std::string(59, '#');
    if (y == 2) return kSmallWorldMarker;
    return "#" + std::string(57, ' ') + "#";
}

// The white-space separated items of a data file, bytes as they are.
std::vector<std::string> Items(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> items;
    std::string item;
    while (in >> item) items.push_back(item);
    return items;
}

}  // namespace

ScratchData::~ScratchData() {
    if (root.empty()) return;
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

bool MakeScratchData(ScratchData& scratch, const std::string& shipped, std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/chessrpg-pty-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        error = "cannot make a folder like " + pattern;
        return false;
    }
    scratch.root = name.data();
    scratch.data = scratch.root + "/data";
    std::error_code failure;
    fs::copy(shipped, scratch.data, fs::copy_options::recursive, failure);
    if (failure) {
        error = "cannot copy " + shipped + ": " + failure.message();
        return false;
    }
    return true;
}

bool ClearPlacements(const ScratchData& scratch, std::string& error) {
    for (int n = 1; n <= 9; ++n) {
        fs::path file = fs::path(scratch.data) / "map_info" / "map1" / (std::to_string(n) + ".txt");
        if (!WriteFile(file, "0\n", error)) return false;
    }
    return true;
}

bool WriteSmallWorld(const ScratchData& scratch, std::string& error) {
    fs::path forms = fs::path(scratch.data) / "map_form" / "map1";
    fs::path infos = fs::path(scratch.data) / "map_info" / "map1";
    std::string layout;
    for (int y = 0; y < 20; ++y) layout += SmallWorldRow(y) + "\n";
    for (int n = 1; n <= 9; ++n) {
        std::string name = std::to_string(n) + ".txt";
        if (!WriteFile(forms / name, layout, error)) return false;
        if (!WriteFile(infos / name, n == 1 ? "1\n1 1 26 10\n" : "0\n", error)) return false;
    }
    // Queen, King and gate on screen 9; the start screen is 1.
    if (!WriteFile(fs::path(scratch.data) / "map_info" / "map1.txt", "9 30 10 9 10 10 9 20 1 1\n", error)) return false;
    // The hero 勇者 (Shift-JIS bytes) with modest numbers, one of each item,
    // starting at column 20, row 10.
    if (!WriteFile(fs::path(scratch.data) / "Hero_Info" / "Hero_Status_Info.txt",
                   "\x97\x45\x8e\xd2\n40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 20 10\n", error)) {
        return false;
    }
    // The Pawn's speed 0: it cannot stop the hero's flight.
    return SetEnemySpeed(scratch, "Pawn_Status_Info.txt", 0, error);
}

namespace {

bool WriteHero(const ScratchData& scratch, int x, int y, std::string& error) {
    return WriteFile(fs::path(scratch.data) / "Hero_Info" / "Hero_Status_Info.txt",
                     "\x97\x45\x8e\xd2\n40 10 8 5 5 6 30 0 1 0 0 0 0 1 3 1 3 1 3 " + std::to_string(x) + " " +
                         std::to_string(y) + "\n",
                     error);
}

}  // namespace

bool WriteChaseWorld(const ScratchData& scratch, int figures, std::string& error) {
    if (!WriteSmallWorld(scratch, error) || !WriteHero(scratch, 54, 10, error)) return false;
    const int rows[] = {10, 4, 6, 14, 16};
    std::string placements = std::to_string(figures) + "\n";
    for (int i = 0; i < figures && i < 5; ++i) placements += "1 1 2 " + std::to_string(rows[i]) + "\n";
    return WriteDataFile(scratch, "map_info/map1/1.txt", placements, error);
}

bool WriteScrollWorld(const ScratchData& scratch, std::string& error) {
    if (!WriteSmallWorld(scratch, error) || !WriteHero(scratch, 57, 10, error)) return false;
    std::string first;
    std::string second;
    for (int y = 0; y < 20; ++y) {
        std::string row = SmallWorldRow(y);
        first += (y == 10 ? "#" + std::string(58, ' ') : row) + "\n";
        if (y == 10) row[0] = ' ';
        if (y == 5) row = std::string(58, ' ') + "o";
        second += row + "\n";
    }
    return WriteDataFile(scratch, "map_form/map1/1.txt", first, error) &&
           WriteDataFile(scratch, "map_form/map1/2.txt", second, error) &&
           WriteDataFile(scratch, "map_info/map1/1.txt", "0\n", error);
}

bool WriteDataFile(const ScratchData& scratch, const std::string& path, const std::string& bytes, std::string& error) {
    return WriteFile(fs::path(scratch.data) / path, bytes, error);
}

bool SetEnemySpeed(const ScratchData& scratch, const std::string& file, int speed, std::string& error) {
    fs::path kind = fs::path(scratch.data) / "Enemy_Info" / file;
    std::vector<std::string> items = Items(kind);
    if (items.size() < 12) {
        error = file + " holds " + std::to_string(items.size()) + " items, not 12";
        return false;
    }
    items[10] = std::to_string(speed);
    std::ostringstream text;
    for (const std::string& item : items) text << item << "\n";
    return WriteFile(kind, text.str(), error);
}
