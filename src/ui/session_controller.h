#pragma once
// What the user asks of the eclipse and of its view (a year, a step through
// the catalogue or a Saros series, an angle, a size, a projection, ...)
// turned into the next state for the session to compute. The window parses
// its edits and calls these; the rules of each request live here, testable
// without a widget.

#include <functional>
#include <optional>

#include "catalogue/catalogue.h"
#include "ui/eclipse_session.h"
#include "catalogue/language.h"

namespace darvelle::ui {

class SessionController {
 public:
  // `current` gives the state the session holds now; `send` asks the session
  // for the next one. The catalogue outlives the controller.
  SessionController(const Catalogue& catalogue, std::function<const SessionState&()> current,
                    std::function<void(const SessionState&)> send);

  // Another eclipse drops the user's DeltaT: a DeltaT derived from a record
  // belongs to the eclipse it was derived for.
  void ChooseEclipse(int index);
  // The first eclipse of `year`, the year clamped to the catalogue's; the
  // year chosen.
  int ChooseYear(long long year);
  // A step through the catalogue or along the Saros series; nothing at its
  // ends. A step starts afresh at the quickest resolution.
  void StepCatalogue(int step);
  void StepSaros(int members);
  // The first eclipse of the series; false (and nothing asked) when the
  // catalogue has none of it.
  bool ChooseSaros(int saros);

  // An angle as the edits show it, with one decimal.
  void SetAngle(double ViewParameters::*angle, double degrees);
  void SetGlobeSize(int size);  // clamped to the sizes the window accepts
  // `from` moved by `step`, held only at the bound it moves towards.
  void StepGlobeSize(int from, int step);
  // The globe turned or zoomed by the mouse; false when that changes
  // nothing the edits show (nothing is asked then).
  bool TurnTo(const ViewParameters& view);
  void ResetView();
  void ChooseProjection(bool stereographic);
  void ChooseColoredEarth(bool colored);
  void ChooseResolution(int resolution);
  void ChoosePenWidth(int penWidth);
  void ChooseLanguage(Language language);
  // The user's DeltaT for the eclipse shown (seconds); none: the model's.
  void ChooseDeltaT(std::optional<double> seconds);
  void ShowDeltaTBand(bool shown);
  void ShowTownDurations(bool shown);
  void ShowTownNames(bool shown);
  void ShowBorders(bool shown);
  void ShowPathBand(bool shown);
  // The user's place, to be named first among the town names; none for a
  // point without a name. Nothing is computed again for it.
  void ChoosePlace(std::optional<TownLabelCandidate> place);
  // The umbra every `minutes` of UT on the map; 0 for none.
  void ChooseUmbraOutlines(int minutes);

 private:
  void Send(const std::function<void(SessionState&)>& change);
  // A step's result: nothing when it stayed, else afresh at resolution 1.
  void StepTo(int index);

  const Catalogue& catalogue_;
  std::function<const SessionState&()> current_;
  std::function<void(const SessionState&)> send_;
};

}  // namespace darvelle::ui
