#pragma once
// Measurements, not tests: how long the window's thread goes without
// running its own timer while the worker recomputes an eclipse at the finest
// resolution, or while the window is resized. window_probe_main.cpp starts
// them; they are not part of the shipped window.

namespace darvelle::ui {

class DarvelleWindow;

// Once the first map is on the screen: requests the first eclipse of `year`
// at resolution 32, ticks a 1 ms timer on the window's thread until the
// result is shown, prints the longest gap between two ticks, and closes the
// window.
void StartResponseProbe(DarvelleWindow& window, int year);

// Once the first map is on the screen: a second of ticks as a baseline, then
// eight resizes of the window 150 ms apart and a second for the map to
// settle; prints the longest gap between two ticks and the most the
// window's thread worked between two, whether the picture shown at the end
// fits the map panel, and closes the window.
void StartResizeProbe(DarvelleWindow& window);

// Once the first map is on the screen: a second of ticks as a baseline, then
// the time slider opened and played at 10 minutes a second for five seconds
// over the shown eclipse; prints the longest gap between two ticks, how many
// different pictures the map panel showed, and closes the window.
void StartPlayProbe(DarvelleWindow& window);

}  // namespace darvelle::ui
