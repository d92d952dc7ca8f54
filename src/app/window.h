// The window's fixed graphics state and its projection.
#pragma once

#include <cstdint>

// World extent for a window of width x height pixels: the shorter side spans 250 units. Sides
// below 1 pixel count as 1, so a collapsed window still gives a finite world.
void WorldSizeForWindow(int32_t width, int32_t height, float* worldWidth, float* worldHeight);

// Reshape callback: viewport, orthographic projection, and the world size the walls follow.
void OnReshape(int32_t width, int32_t height);

// The graphics state every frame relies on and never sets.
void InitGraphics();
