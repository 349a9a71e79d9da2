// The map set's problems, shared by the world picture and the data checker:
// files the game cannot read or values it refuses, layout lines it cannot read
// as rows, enemy kinds that are no battle kind, figures standing in walls,
// screens the hero cannot reach and places where he reaches the world's outer
// edge. Figures and ways are judged on the layouts as their lines mean them,
// so that a sheared line is named once, in its own file.
#pragma once

#include <string>

#include "field/world_map.h"
#include "tools/data_problems.h"
#include "tools/layout_problems.h"

// The placements of every screen, as each screen's file gives them.
struct ScreenPlacements {
    RoamingEnemy entries[kRoamingSlots];
    int count;
};

struct MapSurvey {
    ScreenPlacements placements[kScreenCount + 1];  // index 1 to 9
    LayoutText layouts[kScreenCount + 1];
    WorldMap gameMap;     // the layouts as the game reads them, sheared lines and all
    bool usable;          // every layout and the header read, and no value refused
    bool gateOpens;       // the hero can enter the Queen's or King's screen
    std::string reachedBefore;  // the screens reached before the gate opens, " 1 2 3"
    std::string reachedAfter;   // and after it opens
};

// Reads map set 1 with the game's own readers into the survey's game map, the
// header's spots and the survey's placements, puts the layouts as meant into
// the world map, and reports what is wrong with them. The hero and enemy
// records must have been loaded.
void SurveyMap(MapSurvey& survey, ProblemList& problems);

// Walks the world from the hero's start with the game's walk test, before and
// after the gate opens, and reports screens not reached and open outer edges.
// Needs a usable survey; the world map is left with the gate open.
void WalkWorld(MapSurvey& survey, ProblemList& problems);
