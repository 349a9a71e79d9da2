// A short game played on the headless backend with every console call kept:
// the start-up field, a walk into the next screen, an encounter, a battle won
// with typed messages, and the level-up window. The benchmarks replay the
// calls on different presenters.
#pragma once

#include <string>
#include <vector>

#include "platform/headless.h"

struct Scene {
    std::string name;
    std::size_t firstCall;  // index of the scene's first call in RecordedPlay::calls
};

struct RecordedPlay {
    std::vector<ConsoleCall> calls;
    std::vector<Scene> scenes;  // in order; each runs to the next one's first call
    std::string failure;        // why the play did not go as planned, or ""
};

// Plays the scenes on a scratch copy of the data tree at dataRoot.
RecordedPlay RecordPlay(const std::string& dataRoot);
