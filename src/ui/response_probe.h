#pragma once
// Measurements, not tests: how long the window's thread goes without
// running its own timer while the worker recomputes an eclipse at the finest
// resolution (DARVELLE_RESPONSE_PROBE=1), or while the window is resized
// (DARVELLE_RESIZE_PROBE=1). main() starts them.

namespace darvelle::ui {

class MainWindow;

// Once the first map is on the screen: requests the first eclipse of `year`
// at resolution 32, ticks a 1 ms timer on the window's thread until the
// result is shown, prints the longest gap between two ticks, and closes the
// window.
void StartResponseProbe(MainWindow& window, int year);

// Once the first map is on the screen: a second of ticks as a baseline, then
// eight resizes of the window 150 ms apart and a second for the map to
// settle; prints the longest gap between two ticks and the most the
// window's thread worked between two, whether the picture shown at the end
// fits the map panel, and closes the window.
void StartResizeProbe(MainWindow& window);

}  // namespace darvelle::ui
