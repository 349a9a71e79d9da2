// The fuzz target for the save file: any bytes read as a save must not break
// the reader, a refusal always says why, and a save it accepts comes back the
// same once written again.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/save_file.h"

namespace {

std::FILE* FileOf(const void* bytes, size_t size) {
    std::FILE* file = std::tmpfile();
    if (file && size > 0) std::fwrite(bytes, 1, size, file);
    if (file) std::rewind(file);
    return file;
}

bool SameGame(const SavedGame& a, const SavedGame& b) {
    return std::strcmp(a.hero.name, b.hero.name) == 0 && std::memcmp(&a.hero.maxHp, &b.hero.maxHp, 12) == 0 &&
           a.hero.nextLevelExp == b.hero.nextLevelExp && a.hero.exp == b.hero.exp && a.hero.level == b.hero.level &&
           std::memcmp(&a.hero.spare1, &b.hero.spare1, 8) == 0 && std::memcmp(a.hero.items, b.hero.items, 12) == 0 &&
           a.hero.fieldX == b.hero.fieldX && a.hero.fieldY == b.hero.fieldY && a.hero.screenNo == b.hero.screenNo &&
           a.gateOpen == b.gateOpen && a.layout == b.layout && a.world == b.world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* file = FileOf(data, size);
    if (!file) return 0;
    SavedGame game;
    SaveProblems problems;
    bool read = ReadSave(file, game, problems);
    std::fclose(file);
    if (!read) {
        if (problems.empty()) std::abort();  // refused without a reason
        return 0;
    }
    const std::string again = ComposeSave(game);
    file = FileOf(again.data(), again.size());
    if (!file) return 0;
    SavedGame back;
    if (!ReadSave(file, back, problems) || !SameGame(game, back)) std::abort();
    std::fclose(file);
    return 0;
}
