#include "render/projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astro/constants.h"
#include "astro/earth_rotation.h"

namespace darvelle {

namespace {

// A point exactly at the antipode would divide by zero in the stereographic
// formulas; it is moved just past it (it is never visible anyway).
constexpr double kAntipodeDepth = -1.0001;

}  // namespace

std::int64_t RadiansToArcseconds(double radians) {
  return RoundHalfEven(radians * 180.0 / kPi * 3600.0);
}

std::int64_t CurveLongitudeToArcseconds(double ephemerisLongitude, double deltaTSeconds) {
  return RoundHalfEven((ephemerisLongitude + deltaTSeconds / kSecondsPerRadianOfRotation) *
                       180.0 / kPi * 3600.0);
}

int MapCanvas::PixelRadius(int size) const {
  if (pixelRatio == 1.0) return std::max(size, kMinGlobeRadius);
  const double pixels = std::round(size * pixelRatio);
  return static_cast<int>(std::clamp(pixels, static_cast<double>(kMinGlobeRadius), 1.0e9));
}

MapCanvas ScreenCanvas(int width, int height, double pixelRatio) {
  const double ratio = pixelRatio > 0.0 && std::isfinite(pixelRatio) ? pixelRatio : 1.0;
  const auto device = [ratio](int logical) {
    return std::max(1, static_cast<int>(std::lround(std::max(logical, 1) * ratio)));
  };
  return {device(width), device(height), ratio};
}

GlobeProjection::GlobeProjection(double psi, double phi, double chi, int rk, bool stereographic,
                                 const MapCanvas& canvas)
    : psi_(psi),
      phi_(phi),
      chi_(chi),
      rk_(canvas.PixelRadius(rk)),
      sizeRk_(std::max(rk, kMinGlobeRadius)),
      stereographic_(stereographic),
      canvas_(canvas),
      sinPsi_(std::sin(psi)),
      cosPsi_(std::cos(psi)),
      sinPhi_(std::sin(phi)),
      cosPhi_(std::cos(phi)),
      sinChi_(std::sin(chi)),
      cosChi_(std::cos(chi)) {}

UnitVector UnitVectorFromArcseconds(std::int64_t longitudeArcsec, std::int64_t latitudeArcsec) {
  const double lambda = static_cast<double>(longitudeArcsec) / 3600.0 * kPi / 180.0;
  const double phi = static_cast<double>(latitudeArcsec) / 3600.0 * kPi / 180.0;
  const double cosPhi = std::cos(phi);
  return {std::sin(lambda) * cosPhi, std::sin(phi), std::cos(lambda) * cosPhi};
}

ProjectedPoint GlobeProjection::ProjectUnitVector(double x0, double y0, double z0) const {
  // Turn about the polar axis by Psi: longitude Psi comes to the front meridian.
  const double x1 = x0 * cosPsi_ - z0 * sinPsi_;
  const double z1 = x0 * sinPsi_ + z0 * cosPsi_;
  const double y1 = y0;
  // Tilt by Phi: latitude Phi on the front meridian comes to the centre.
  const double y2 = y1 * cosPhi_ - z1 * sinPhi_;
  double z2 = y1 * sinPhi_ + z1 * cosPhi_;
  const double x2 = x1;
  // Turn about the line of sight by Chi, counter-clockwise on the picture.
  const double x3 = x2 * cosChi_ - y2 * sinChi_;
  const double y3 = x2 * sinChi_ + y2 * cosChi_;
  if (z2 == -1.0) z2 = kAntipodeDepth;
  const double z3 = z2;

  ProjectedPoint p;
  const double rk = static_cast<double>(rk_);
  const double cx = canvas_.CentreX(), cy = canvas_.CentreY();
  if (stereographic_) {
    p.VisibilityLimit = kStereographicVisibilityLimit;
    p.ScreenX = cx + 2.0 * rk * x3 / (z3 + 1.0);
    p.ScreenY = cy - 2.0 * rk * y3 / (z3 + 1.0);
  } else {
    p.VisibilityLimit = kOrthographicVisibilityLimit;
    p.ScreenX = cx + rk * x3;
    p.ScreenY = cy - rk * y3;
  }
  p.Depth = z3;
  return p;
}

ProjectedPoint GlobeProjection::ProjectPoint(std::int64_t longitudeArcsec,
                                             std::int64_t latitudeArcsec) const {
  const UnitVector v = UnitVectorFromArcseconds(longitudeArcsec, latitudeArcsec);
  return ProjectUnitVector(v.x, v.y, v.z);
}

GlobeProjection ComputeViewAngles(const ViewParameters& view, const ViewCentre& centre,
                                  double deltaTSeconds, const MapCanvas& canvas) {
  const double omega = EarthRotationDuring(deltaTSeconds);
  double psi = 0.0;
  double phi = 0.0;
  if (centre.central) {
    psi = view.Psi * kPi / 180.0 + omega + centre.tg0EphemerisLongitude;
    phi = view.Phi * kPi / 180.0 + centre.tg0Latitude;
  } else {
    // No greatest-eclipse point: face the axis's meridian, 45 deg towards the
    // side the shadow passes on.
    const double side = centre.gamma > 0.0 ? 1.0 : (centre.gamma < 0.0 ? -1.0 : 0.0);
    psi = view.Psi * kPi / 180.0 + omega - centre.mu;
    phi = view.Phi * kPi / 180.0 + side * (45.0 * kPi / 180.0);
  }
  const double chi = view.Chi * kPi / 180.0;
  return GlobeProjection(psi, phi, chi, view.RK, view.Stereographic, canvas);
}

}  // namespace darvelle
