// The fuzz targets' platform: data files hold the current input.
#pragma once

#include <cstddef>
#include <cstdint>

// Thrown where the game would end or wait for a key; the target catches it.
struct FuzzStop {};

void FuzzSetInput(const uint8_t* data, size_t size);
