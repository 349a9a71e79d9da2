// Program entry: no arguments are read and it never returns.
#include "game/game.h"
#include "platform/platform.h"

int main() {
    PlatformStart();
    PlatformEnterDataDirectory();
    StartGame();
    MainLoop();
}
