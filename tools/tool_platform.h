// The map tools' platform: where their data files are read from.
#pragma once

// Data file paths are taken relative to this folder ("." at first).
void SetToolDataRoot(const char* root);
