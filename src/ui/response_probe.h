#pragma once
// A measurement, not a test: how long the window's thread goes without
// running its own timer while the worker recomputes an eclipse at the finest
// resolution. main() starts it when DARVELLE_RESPONSE_PROBE=1.

namespace darvelle::ui {

class MainWindow;

// Once the first map is on the screen: requests the first eclipse of `year`
// at resolution 32, ticks a 1 ms timer on the window's thread until the
// result is shown, prints the longest gap between two ticks, and closes the
// window.
void StartResponseProbe(MainWindow& window, int year);

}  // namespace darvelle::ui
