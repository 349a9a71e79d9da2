// The question asked before the first field screen when a journey is saved
// for the world: go on with it (the default) or begin a new one, which is
// asked once more, since the journey is then set aside.
#pragma once

// Asks on the console, which it leaves blank; true to continue the journey.
bool AskToContinue();
