#include "game/tree_identity.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "field/map_files.h"
#include "field/world_map.h"
#include "platform/data_files.h"
#include "records/records.h"
#include "records/text_reader.h"

namespace {

constexpr uint64_t kPrime = 1099511628211ull;

void Add(uint64_t& hash, unsigned char byte) { hash = (hash ^ byte) * kPrime; }

// The path with its zero, then the content and a mark of how it ended: 0 when
// read whole, 1 past the reader's limit, 2 when the file cannot be opened.
void AddFile(uint64_t& hash, const char* path) {
    for (const char* p = path; *p; ++p) Add(hash, static_cast<unsigned char>(*p));
    Add(hash, 0);
    std::FILE* file = PlatformOpenFile(path);
    if (!file) {
        Add(hash, 2);
        return;
    }
    char block[4096];
    long left = kTextFileLimit;
    std::size_t got = 0;
    while (left > 0 && (got = std::fread(block, 1, left < 4096 ? static_cast<std::size_t>(left) : 4096, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) Add(hash, static_cast<unsigned char>(block[i]));
        left -= static_cast<long>(got);
    }
    Add(hash, left == 0 && std::fgetc(file) != EOF ? 1 : 0);
    std::fclose(file);
}

}  // namespace

std::string DataTreeIdentity() {
    std::vector<std::string> paths = {kHeroStatusPath};
    for (const char* path : kEnemyKindPaths) paths.push_back(path);
    for (const char* path : kAbilityPaths) paths.push_back(path);
    char path[40];
    LayoutPrefix(path, worldNumber);
    for (int screen = 1; screen <= kScreenCount; ++screen) paths.push_back(path + std::to_string(screen) + ".txt");
    MapHeaderPath(path, worldNumber);
    paths.push_back(path);
    for (int screen = 1; screen <= kScreenCount; ++screen) {
        PlacementPath(path, worldNumber, screen);
        paths.push_back(path);
    }
    uint64_t hash = 14695981039346656037ull;
    for (const std::string& file : paths) AddFile(hash, file.c_str());
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
