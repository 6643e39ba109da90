#pragma once
// The pictures darvelle-cli compute can write besides the text files: the
// full-size map drawing (--map) and the legend picture (--legend), with the
// view chosen by --psi, --phi, --chi, --size, --stereographic, --colored and
// --pen-width, and the layers --borders, --labels, --band, --delta-t-band and
// --town-durations (each off unless asked for).

#include <QGuiApplication>

#include <filesystem>
#include <memory>
#include <vector>

#include "cli/compute_command.h"
#include "geometry/eclipse_computation.h"
#include "render/map.h"
#include "render/projection.h"

namespace darvelle::cli {

// The options above as compute outputs (the view options write nothing
// themselves; --map and --legend read them).
std::vector<ComputeOutput> MapOutputs();

// Checks the view options and the picture file names before anything is
// computed; UsageError for a value out of range or a file name that is
// neither .bmp nor .png.
void CheckMapOptions(const ComputeOptions& options);

// The view the options ask for (defaults: the window's reset view).
ViewParameters MapViewFor(const ComputeOptions& options);

// The view texts as typed, as the window's edits would hold them.
ViewEditTexts EditTextsFor(const ComputeOptions& options);

// Draws the map of the computation with the chosen view, reading the
// texture only when the globe is coloured.
void DrawMapFor(MapRenderer& renderer, const EclipseResult& c, const ComputeOptions& options);

// Text needs a QGuiApplication; the command line has none of its own, so
// one lives while a picture is drawn, on the offscreen platform unless the
// caller chose another.
class GuiSession {
 public:
  GuiSession();
  ~GuiSession();
  GuiSession(const GuiSession&) = delete;
  GuiSession& operator=(const GuiSession&) = delete;

 private:
  int argc_ = 1;
  char name_[16] = "darvelle-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace darvelle::cli
