#include "field/map_files.h"

#include <cstdio>

#include "field/world_map.h"
#include "console/fatal_stop.h"
#include "records/records.h"
#include "records/text_reader.h"

namespace {

constexpr char kHeroFile[] = "Hero_Info\\Hero_Status_Info.txt";

char Digit(int number) { return static_cast<char>('0' + (number % 10 + 10) % 10); }

// The sign and digits that begin item `item` of the file: the number as written,
// before it was cut to its field. False when the file does not hold the item.
bool ReadWrittenNumber(const char* path, int item, char (&text)[24]) {
    TextReader reader;
    if (!OpenTextReader(reader, path)) return false;
    char buffer[64];
    long length = -1;
    for (int i = 0; i < item; ++i) length = ReadTextItem(reader, buffer, sizeof buffer);
    CloseTextReader(reader);
    if (length < 0) return false;
    std::size_t end = (buffer[0] == '-' || buffer[0] == '+') ? 1 : 0;
    while (buffer[end] >= '0' && buffer[end] <= '9') ++end;
    // A longer number is shown by its first digits.
    if (end >= sizeof text) {
        std::snprintf(text, sizeof text, "%.*s...", static_cast<int>(sizeof text - 4), buffer);
    } else {
        std::snprintf(text, sizeof text, "%.*s", static_cast<int>(end), buffer);
    }
    return end > 0;
}

void NoteError(MapErrors& errors, const char* path, const char* what, int item, long long value, long long low,
               long long high) {
    if (errors.count < kMapErrorSlots) {
        MapValueError& error = errors.list[errors.count];
        std::snprintf(error.path, sizeof error.path, "%s", path);
        std::snprintf(error.what, sizeof error.what, "%s", what);
        error.item = item;
        error.value = value;
        if (!ReadWrittenNumber(path, item, error.written)) {
            std::snprintf(error.written, sizeof error.written, "%lld", value);
        }
        error.low = low;
        error.high = high;
    }
    errors.count += 1;
}

void CheckRange(MapErrors& errors, const char* path, const char* what, int item, long long value, long long low,
                long long high) {
    if (value < low || value > high) NoteError(errors, path, what, item, value, low, high);
}

}  // namespace

void LayoutPrefix(char (&path)[40], int world) { std::snprintf(path, sizeof path, "map_form\\map%c\\", Digit(world)); }

void MapHeaderPath(char (&path)[40], int world) { std::snprintf(path, sizeof path, "map_info\\map%c.txt", Digit(world)); }

void PlacementPath(char (&path)[40], int world, int screen) {
    std::snprintf(path, sizeof path, "map_info\\map%c\\%c.txt", Digit(world), Digit(screen));
}

bool ReadScreenLayout(const char* path, int screen) {
    if (screen < 1 || screen > kScreenCount) return false;
    TextReader reader;
    if (!OpenTextReader(reader, path)) return false;
    const int top = ScreenRowOrigin(screen);
    const int left = ScreenColumnOrigin(screen);
    bool ended = false;
    for (int row = 0; row < kScreenRows; ++row) {
        for (int column = 0; column < kScreenColumns; ++column) {
            int c = ended ? EOF : ReadTextChar(reader);
            if (c == EOF) ended = true;
            bool blank = (c == EOF || c == '\n' || c == 0xFF);
            worldMap.cells[top + row][left + column] = blank ? ' ' : static_cast<unsigned char>(c);
        }
    }
    CloseTextReader(reader);
    return true;
}

void LoadScreenLayout(const char* prefix, int screen) {
    char path[80];
    std::snprintf(path, sizeof path, "%.60s%c.txt", prefix, Digit(screen));
    if (!ReadScreenLayout(path, screen)) FatalFileError();
}

bool ReadMapHeader(const char* path, MapErrors& errors) {
    TextReader reader;
    if (!OpenTextReader(reader, path)) return false;
    // The ten numbers in file order; a number that cannot be read leaves its
    // field as it was, and so do all after it.
    int16_t startScreen = static_cast<int16_t>(hero.screenNo);
    int16_t* fields[10] = {&queenSpot.screen, &queenSpot.column, &queenSpot.row, &kingSpot.screen,
                           &kingSpot.column,  &kingSpot.row,     &gateSpot.screen, &gateSpot.column,
                           &gateSpot.row,     &startScreen};
    long long values[10];
    for (int i = 0; i < 10; ++i) values[i] = *fields[i];
    for (int i = 0; i < 10; ++i) {
        if (!ReadTextNumber(reader, values[i])) break;
    }
    CloseTextReader(reader);

    // The figures are two columns wide and drawn at (column - 1, row - 1); the
    // gate's block runs from column - 1 to column + 8. The gate's row is not used.
    const char* names[2] = {"Queen", "King"};
    for (int figure = 0; figure < 2; ++figure) {
        char what[40];
        std::snprintf(what, sizeof what, "%s screen", names[figure]);
        CheckRange(errors, path, what, figure * 3 + 1, values[figure * 3], 1, kScreenCount);
        std::snprintf(what, sizeof what, "%s column", names[figure]);
        CheckRange(errors, path, what, figure * 3 + 2, values[figure * 3 + 1], 1, kScreenColumns - 1);
        std::snprintf(what, sizeof what, "%s row", names[figure]);
        CheckRange(errors, path, what, figure * 3 + 3, values[figure * 3 + 2], 1, kScreenRows);
    }
    CheckRange(errors, path, "gate screen", 7, values[6], 1, kScreenCount);
    CheckRange(errors, path, "gate column", 8, values[7], 1, kScreenColumns - 9);
    CheckRange(errors, path, "start screen", 10, values[9], 1, kScreenCount);

    for (int i = 0; i < 10; ++i) *fields[i] = static_cast<int16_t>(Low16(values[i]));
    hero.screenNo = Low16(values[9]);
    return true;
}

void LoadMapHeader(const char* path) {
    MapErrors errors{};
    if (!ReadMapHeader(path, errors)) FatalFileError();
    StopOnMapErrors(errors);
}

void LoadWorldMap(uint16_t world) {
    char path[40];
    LayoutPrefix(path, world);
    for (int screen = 1; screen <= kScreenCount; ++screen) LoadScreenLayout(path, screen);
    MapHeaderPath(path, world);
    LoadMapHeader(path);
}

bool ReadPlacements(const char* path, MapErrors& errors) {
    for (RoamingEnemy& entry : roamingEnemies) entry = RoamingEnemy{0, 0, 0, 0};
    roamingCount = 0;
    TextReader reader;
    if (!OpenTextReader(reader, path)) return false;
    long long count = 0;
    if (ReadTextNumber(reader, count)) {
        CheckRange(errors, path, "enemy count", 1, count, 0, kRoamingSlots);
        roamingCount = static_cast<int16_t>(count < 0 ? 0 : count > kRoamingSlots ? kRoamingSlots : count);
        bool reading = true;
        for (int i = 0; i < roamingCount && reading; ++i) {
            int32_t* fields[4] = {&roamingEnemies[i].kind, &roamingEnemies[i].groupSize, &roamingEnemies[i].x,
                                  &roamingEnemies[i].y};
            for (int32_t* field : fields) {
                long long value;
                reading = ReadTextNumber(reader, value);
                if (!reading) break;
                *field = static_cast<int32_t>(Low32(value));
            }
        }
    }
    CloseTextReader(reader);

    // Any kind number is usable (KindRecord maps every value to a kind). A
    // group fills at most the 7 HP slots of a kind; a figure is two columns wide.
    // Entry i's four numbers are items 2 + 4i to 5 + 4i, after the count.
    for (int i = 0; i < roamingCount; ++i) {
        const RoamingEnemy& entry = roamingEnemies[i];
        const int first = 2 + 4 * i;
        char what[40];
        std::snprintf(what, sizeof what, "enemy %d group size", i + 1);
        CheckRange(errors, path, what, first + 1, entry.groupSize, 1, kInstanceSlots);
        std::snprintf(what, sizeof what, "enemy %d column", i + 1);
        CheckRange(errors, path, what, first + 2, entry.x, 0, kScreenColumns - 2);
        std::snprintf(what, sizeof what, "enemy %d row", i + 1);
        CheckRange(errors, path, what, first + 3, entry.y, 0, kScreenRows - 1);
    }
    return true;
}

bool roamingEnemiesOff = false;

void LoadPlacements(uint16_t world) {
    char path[40];
    PlacementPath(path, world, hero.screenNo);
    MapErrors errors{};
    if (!ReadPlacements(path, errors)) FatalFileError();
    StopOnMapErrors(errors);
    if (roamingEnemiesOff) {
        for (RoamingEnemy& entry : roamingEnemies) entry = RoamingEnemy{0, 0, 0, 0};
        roamingCount = 0;
    }
}

void FindHeroStartErrors(MapErrors& errors) {
    CheckRange(errors, kHeroFile, "hero column", 21, hero.fieldX, 0, kScreenColumns - 2);
    CheckRange(errors, kHeroFile, "hero row", 22, hero.fieldY, 0, kScreenRows - 1);
}

void StopOnMapErrors(const MapErrors& errors) {
    if (errors.count == 0) return;
    const MapValueError& first = errors.list[0];
    FatalDataError(first.path, first.what, first.written, first.low, first.high);
}
