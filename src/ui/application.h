#pragma once
// The application as the window program runs it, for its main() and for the
// programs that measure it: its names, "." in every number whatever the
// user's locale, and an end only once the window has finished closing.

namespace darvelle::ui {

// Call after the QApplication is made, before the window.
void ConfigureApplication();

}  // namespace darvelle::ui
