#pragma once
// What the mouse and the keyboard do to the globe, as pure functions of the
// view of the last drawing: the place under an image pixel (the inverse of
// GlobeProjection::ProjectUnitVector), and the changes of the view offsets
// that a drag, a tilt drag, a wheel step, a double-click or an arrow key
// asks for.
//
// Positions are pixels of the drawing image, the projection's canvas (x to
// the right, y downwards, fractional); the window maps its own widget
// coordinates onto them. The view changes are returned as differences of
// the total angles, which are exactly the differences of the user's offsets
// (the view centre of the eclipse is a constant added to them).

#include <optional>

#include "render/projection.h"

namespace darvelle {

// The globe radii the view controls accept (the size buttons keep the same range).
inline constexpr int kSmallestGlobeRadius = 100;
inline constexpr int kLargestGlobeRadius = 9999;

// One notch of a mouse wheel (120 eighths of a degree) scales the globe by this.
inline constexpr double kWheelZoomFactor = 1.2;

struct ImagePosition {
  double x = 0.0;  // drawing-image pixels
  double y = 0.0;
};

// A place on the Earth in degrees: latitude -90 .. 90, longitude east
// positive in (-180, 180], in the frame of the coastlines and the graticule.
struct GeoPosition {
  double latitude = 0.0;
  double longitude = 0.0;
};

// Degrees to add to the view offsets Psi, Phi and Chi, and the new globe radius.
struct ViewChange {
  double psi = 0.0;
  double phi = 0.0;
  double chi = 0.0;
  int radius = 0;  // the globe size after the change (the view's RK)
};

// The point of the globe drawn at `pixel`, or nullopt off the globe: outside
// the disc of radius RK in the orthographic view, in the hidden cap round the
// far antipode (depth at or below kStereographicVisibilityLimit) in the
// stereographic view. The result is a unit vector in the frame of
// UnitVectorFromArcseconds, so that ProjectUnitVector(result) == pixel.
std::optional<UnitVector> UnprojectToUnitVector(const GlobeProjection& view, ImagePosition pixel);
std::optional<GeoPosition> UnprojectPixel(const GlobeProjection& view, ImagePosition pixel);

// Latitude and longitude (degrees) of a unit vector.
GeoPosition GeoPositionOf(const UnitVector& v);

// The turn that keeps the point grabbed at `from` under the cursor at `to`
// (Chi and the radius unchanged). Of the two turns that do it, the one
// nearer to the present view that keeps the view centre between the poles
// is taken (a globe never flips over the pole). A cursor beyond the limb
// pulls the point to the limb; a point that cannot reach the cursor (a
// drag across a pole) comes as near as it can. A drag that starts off the
// globe turns it by one radian per globe radius dragged.
ViewChange DragTurn(const GlobeProjection& view, ImagePosition from, ImagePosition to);

// A tilt drag: Chi follows the angle the cursor sweeps round the globe
// centre (counter-clockwise positive, as Chi turns the picture). Nothing
// within a few pixels of the centre, where the angle means nothing.
ViewChange TiltTurn(const GlobeProjection& view, ImagePosition from, ImagePosition to);

// `notches` wheel notches (positive: larger) about the cursor: the globe
// radius is scaled by kWheelZoomFactor per notch, rounded, and held within
// kSmallestGlobeRadius .. kLargestGlobeRadius; the point under the cursor
// stays there. Off the globe, the zoom is about the globe centre.
ViewChange ZoomAbout(const GlobeProjection& view, ImagePosition cursor, double notches);

// The turn that brings the point at `pixel` to the globe centre, or nullopt
// off the globe.
std::optional<ViewChange> CentreOn(const GlobeProjection& view, ImagePosition pixel);

// Arrow keys: a drag of the globe centre by `columns` and `rows` steps of
// one fifth of the globe radius (at most 100 pixels, so a large globe pans
// by a part of the picture), content moving against the arrow: right shows
// more of what lies to the right.
ViewChange ArrowPan(const GlobeProjection& view, int columns, int rows);

// `view` with the change applied: offsets added (Psi and Chi brought into
// (-180, 180]), the radius taken when it is set.
ViewParameters Applied(const ViewParameters& view, const ViewChange& change);

// Degrees brought into (-180, 180].
double WrappedDegrees(double degrees);

}  // namespace darvelle
