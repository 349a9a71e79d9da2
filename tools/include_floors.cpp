// include_floors SOURCE_DIR: the game's floors drawn from its includes. Each
// folder is a floor, from the ground up: platform, records, console, battle,
// field, game. A file may include files of its own floor and of the floors
// below it, never above; files (a header and its source counted as one) form
// no circle; and no source file of the game is longer than 500 lines.
// Prints each floor's files, lines and includes of the other floors, then
// every fault; exit status 1 when there is one, 2 for a wrong command line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kFloors = {"platform", "records", "console", "battle", "field", "game"};
constexpr int kLongestFile = 500;

int FloorOf(const std::string& unit) {
    auto at = std::find(kFloors.begin(), kFloors.end(), unit.substr(0, unit.find('/')));
    return at == kFloors.end() ? -1 : static_cast<int>(at - kFloors.begin());
}

struct Floor {
    int files = 0;
    int lines = 0;
    std::map<std::string, int> includes;  // by the floor included: how many includes
};

// The units ("floor/name", a header and its source as one) and what each includes.
using Graph = std::map<std::string, std::set<std::string>>;

// Finds a circle through `unit` by depth-first search; the path when found.
bool FindCircle(const Graph& graph, const std::string& unit, std::map<std::string, int>& state,
                std::vector<std::string>& path) {
    state[unit] = 1;  // on the path
    path.push_back(unit);
    for (const std::string& next : graph.at(unit)) {
        if (!graph.count(next)) continue;
        if (state[next] == 1) {
            path.erase(path.begin(), std::find(path.begin(), path.end(), next));
            path.push_back(next);
            return true;
        }
        if (state[next] == 0 && FindCircle(graph, next, state, path)) return true;
    }
    path.pop_back();
    state[unit] = 2;  // done, no circle through it
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: include_floors SOURCE_DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    std::map<std::string, Floor> floors;
    Graph graph;
    std::vector<std::string> faults;
    for (const std::string& floor : kFloors) {
        if (!fs::is_directory(root / floor)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(root / floor)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            if (file.extension() != ".cpp" && file.extension() != ".h") continue;
            const std::string unit = floor + "/" + file.stem().string();
            graph[unit];
            std::ifstream in(file);
            int lines = 0;
            for (std::string line; std::getline(in, line);) {
                ++lines;
                const std::string mark = "#include \"";
                if (line.compare(0, mark.size(), mark) != 0) continue;
                std::string included = line.substr(mark.size(), line.find('"', mark.size()) - mark.size());
                std::string target = included.substr(0, included.rfind('.'));
                if (FloorOf(target) < 0 || target == unit) continue;
                graph[unit].insert(target);
                if (FloorOf(target) != FloorOf(unit)) floors[floor].includes[kFloors[FloorOf(target)]] += 1;
                if (FloorOf(target) > FloorOf(unit)) faults.push_back(file.string() + " includes " + included + ", a floor up");
            }
            floors[floor].files += 1;
            floors[floor].lines += lines;
            if (lines > kLongestFile) {
                faults.push_back(file.string() + " has " + std::to_string(lines) + " lines (at most " +
                                 std::to_string(kLongestFile) + ")");
            }
        }
    }
    std::map<std::string, int> state;
    for (const auto& unit : graph) {
        std::vector<std::string> path;
        if (state[unit.first] == 0 && FindCircle(graph, unit.first, state, path)) {
            std::string circle;
            for (const std::string& step : path) circle += (circle.empty() ? "" : " -> ") + step;
            faults.push_back("a circle of includes: " + circle);
            for (auto& seen : state) seen.second = 2;  // each circle is told once
        }
    }
    for (const std::string& floor : kFloors) {
        const Floor& f = floors[floor];
        std::printf("%-9s %3d files %6d lines; includes", floor.c_str(), f.files, f.lines);
        if (f.includes.empty()) std::printf(" none below");
        for (const auto& below : f.includes) std::printf(" %s (%d)", below.first.c_str(), below.second);
        std::printf("\n");
    }
    for (const std::string& fault : faults) std::printf("FAULT: %s\n", fault.c_str());
    return faults.empty() ? 0 : 1;
}
