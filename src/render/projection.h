#pragma once
// The globe's projection: the view parameters the user sets, the three view
// angles derived from them and the current eclipse at the start of every
// drawing, and the projection of a geographic point (whole arcseconds) onto
// the drawing image (its canvas), orthographic or stereographic.
//
// The Earth is a unit sphere here. The turned frame has x to the right, y up
// and z towards the viewer; image pixels have x to the right and y downwards,
// with the globe centre in the middle of the canvas: (800, 533) on the
// 1600 x 1066 image that every file, film and sheet is drawn on.

#include <cmath>
#include <cstdint>

namespace darvelle {

inline constexpr int kMapWidth = 1600;
inline constexpr int kMapHeight = 1066;
inline constexpr int kGlobeCentreX = 800;
inline constexpr int kGlobeCentreY = 533;

// The image a map is drawn on. Files, films and the sheet keep the default;
// the window draws its globe on a canvas of the map panel's size in device
// pixels, where one unit of the globe size is `pixelRatio` pixels, so that a
// size means the same on every screen.
struct MapCanvas {
  int width = kMapWidth;
  int height = kMapHeight;
  double pixelRatio = 1.0;

  // The globe centre: (800, 533) on the default canvas.
  int CentreX() const { return width / 2; }
  int CentreY() const { return height / 2; }
  // The globe radius in pixels of this canvas for a globe size.
  int PixelRadius(int size) const;
  bool IsDefault() const { return *this == MapCanvas{}; }
  bool operator==(const MapCanvas&) const = default;
};

// The canvas of a panel of `width` x `height` logical pixels at `pixelRatio`
// device pixels per logical one (at least one pixel each way).
MapCanvas ScreenCanvas(int width, int height, double pixelRatio);

// A point is visible when its depth is above this limit: the front hemisphere
// less a rim of about 0.06 deg in the orthographic view, everything but a cap
// of about 8.1 deg round the far antipode in the stereographic view.
inline constexpr double kOrthographicVisibilityLimit = 0.001;
inline constexpr double kStereographicVisibilityLimit = -0.99;

// Globe radii the view accepts; the texture pass divides by the radius, so a
// radius below 1 is raised to 1 (the size buttons keep 100 .. 9999 anyway).
inline constexpr int kMinGlobeRadius = 1;
inline constexpr int kDefaultGlobeRadius = 500;

// What the user chooses for the view. Angles in degrees.
struct ViewParameters {
  double Psi = 0.0;  // longitude offset added to the view centre
  double Phi = 0.0;  // latitude offset added to the view centre
  double Chi = 0.0;  // turn of the picture about the line of sight, counter-clockwise
  int RK = kDefaultGlobeRadius;  // globe radius in pixels of the drawing image
  bool Stereographic = false;
  bool ColoredEarth = false;
  int PenWidth = 1;    // 1, 2 or 3 pixels, for the curves
  int Resolution = 1;  // read by the curve computation, not by the drawing
  // Light halos under the curves on the coloured Earth. For the window's
  // globe only: the files, the exit bitmap and the sheet draw without them.
  bool CurveHalos = false;

  bool operator==(const ViewParameters&) const = default;
};

// What the current eclipse contributes to the view centre.
struct ViewCentre {
  // True when the shadow axis meets the Earth at greatest eclipse (TG0 exists).
  bool central = false;
  double tg0EphemerisLongitude = 0.0;  // radians, east positive
  double tg0Latitude = 0.0;            // radians
  double mu = 0.0;     // hour angle of the shadow axis held by the element state, radians
  double gamma = 0.0;  // the record's Gamma; only its sign is used
};

// One projected point. Screen coordinates are image pixels, not yet rounded.
struct ProjectedPoint {
  double ScreenX = 0.0;
  double ScreenY = 0.0;
  double Depth = 0.0;  // z of the turned unit vector, +1 towards the viewer
  double VisibilityLimit = kOrthographicVisibilityLimit;
  bool IsVisible() const { return Depth > VisibilityLimit; }
};

// The derived view state of one drawing: the total angles (radians) with
// their sines and cosines, the globe radius and the projection onto a canvas.
class GlobeProjection {
 public:
  // `rk` is the globe size; the canvas's pixel ratio scales it to pixels.
  GlobeProjection(double psi, double phi, double chi, int rk, bool stereographic,
                  const MapCanvas& canvas = {});

  double TotalPsi() const { return psi_; }  // radians
  double TotalPhi() const { return phi_; }  // radians
  double TotalChi() const { return chi_; }  // radians
  // The globe radius in pixels of the canvas.
  int RK() const { return rk_; }
  // The globe size asked for (RK() on a canvas of pixel ratio 1).
  int SizeRK() const { return sizeRk_; }
  const MapCanvas& Canvas() const { return canvas_; }
  double CentreX() const { return canvas_.CentreX(); }
  double CentreY() const { return canvas_.CentreY(); }
  bool Stereographic() const { return stereographic_; }
  double SinPsi() const { return sinPsi_; }
  double CosPsi() const { return cosPsi_; }
  double SinPhi() const { return sinPhi_; }
  double CosPhi() const { return cosPhi_; }
  double SinChi() const { return sinChi_; }
  double CosChi() const { return cosChi_; }

  // Longitude and latitude in whole arcseconds (callers round first, halves
  // to even). Re-entrant: the result is returned, nothing is kept.
  ProjectedPoint ProjectPoint(std::int64_t longitudeArcsec, std::int64_t latitudeArcsec) const;

  // The same projection for a unit vector already computed from whole
  // arcseconds by UnitVectorFromArcseconds (so fixed point sets such as the
  // coastlines pay for their sines and cosines once, with identical results).
  ProjectedPoint ProjectUnitVector(double x0, double y0, double z0) const;

  // Whether ProjectUnitVector would call the point visible, at a third of
  // its cost (the depth alone), for passes that skip hidden points.
  bool UnitVectorVisible(double x0, double y0, double z0) const {
    const double z1 = x0 * sinPsi_ + z0 * cosPsi_;
    const double z2 = y0 * sinPhi_ + z1 * cosPhi_;
    return z2 > (stereographic_ ? kStereographicVisibilityLimit : kOrthographicVisibilityLimit);
  }

 private:
  double psi_, phi_, chi_;
  int rk_;
  int sizeRk_;
  bool stereographic_;
  MapCanvas canvas_;
  double sinPsi_, cosPsi_, sinPhi_, cosPhi_, sinChi_, cosChi_;
};

struct UnitVector {
  double x, y, z;  // y towards the north pole, z towards longitude 0 on the equator
};
UnitVector UnitVectorFromArcseconds(std::int64_t longitudeArcsec, std::int64_t latitudeArcsec);

// The view angles for the current eclipse: the view faces the greatest-eclipse
// point, or for a non-central eclipse the axis's hour angle at 45 deg on the
// side of Gamma's sign; plus the user's offsets and the Earth's rotation
// during deltaT (0 in TT).
GlobeProjection ComputeViewAngles(const ViewParameters& view, const ViewCentre& centre,
                                  double deltaTSeconds, const MapCanvas& canvas = {});

// Nearest integer with exact halves going to the even neighbour. Values
// beyond +-2^62 (no pixel or arcsecond count is that large) are held there,
// NaN gives 0, so a wild value cannot overflow the conversion. Inline: every
// coastline point and curve point passes through it.
inline std::int64_t RoundHalfEven(double value) {
  constexpr double kLimit = 4.611686018427388e18;
  if (!(value == value)) return 0;
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  // Floor by truncation and a step down for negative fractions: cheaper than
  // std::floor on processors without a rounding instruction.
  std::int64_t result = static_cast<std::int64_t>(value);
  if (static_cast<double>(result) > value) --result;
  const double fraction = value - static_cast<double>(result);  // exact
  if (fraction > 0.5 || (fraction == 0.5 && (result & 1) != 0)) ++result;
  return result;
}

// Radians to whole arcseconds, and a curve's ephemeris longitude (radians)
// shifted by the Earth's rotation during deltaT to whole arcseconds.
std::int64_t RadiansToArcseconds(double radians);
std::int64_t CurveLongitudeToArcseconds(double ephemerisLongitude, double deltaTSeconds);

}  // namespace darvelle
