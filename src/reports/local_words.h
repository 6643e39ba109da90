#pragma once
// The words of local circumstances (what one place sees of one eclipse) in
// German, English and French. The window's panel, its list of eclipses seen
// from a place and the command-line tables all name these facts from here,
// so that they cannot call one fact by two names. UTF-8, never empty.

#include <string_view>

#include "catalogue/besselian_elements.h"
#include "catalogue/language.h"
#include "geometry/local_circumstances.h"

namespace darvelle::reports {

// The moments of a local table, in the order of an eclipse seen whole; the
// Sun's rising and setting while the Moon covers part of it come last.
enum class LocalMoment { kC1, kC2, kMaximum, kC3, kC4, kSunrise, kSunset };
inline constexpr int kLocalMomentCount = 7;

// What the inner contacts (C2, C3) begin and end.
enum class CentralPhase { kTotality, kAnnularity };

// The central phase the inner contacts are named after: the one seen here,
// or, where the eclipse is only partial here, the one of the eclipse
// elsewhere (an annular eclipse has no totality anywhere).
CentralPhase InnerContactPhase(LocalKind here, EclipseKind onEarth);

// "Totality begins (C2)", "Maximum", "Sunrise", ...
std::string_view LocalMomentName(LocalMoment moment, CentralPhase phase, Language language);

// What is seen here: "Partial eclipse", "No eclipse at this place", ...
std::string_view LocalKindName(LocalKind kind, Language language);

// How much of the eclipse the place sees: "Visible from beginning to end",
// "In progress at sunrise", ...
std::string_view VisibilityName(Visibility seen, Language language);

// The captions of the values beside the contacts.
enum class LocalLabel { kEvent, kLocalTime, kMagnitude, kObscuration, kDuration, kVisibility, kSunAltitude };
inline constexpr int kLocalLabelCount = 7;
std::string_view LocalLabelName(LocalLabel label, Language language);

}  // namespace darvelle::reports
