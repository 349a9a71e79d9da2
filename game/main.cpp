// Program entry: "--continue" resumes the saved journey; without it a new game
// starts. It never returns.
#include <cstring>

#include "game/game.h"
#include "game/saving.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    const bool continuing = argc > 1 && std::strcmp(argv[1], "--continue") == 0;
    PlatformStart();
    PlatformEnterDataDirectory();
    if (continuing) ContinueGame();
    else StartGame();
    TurnOnSaving();
    MainLoop();
}
