#pragma once
// Helpers of the sheet tests: a computed-looking eclipse built by hand (every
// event present, known texts), a picture with known pixels, and the sheet's
// lines.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "astro/calendar.h"
#include "geometry/eclipse_computation.h"
#include "postscript/map_sheet.h"

namespace darvelle::sheet_testing {

inline std::vector<std::string> SheetLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Page point of a sheet y (cm from the top), as PS_MoveTo prints it.
inline std::string PageYText(double y) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", 838.0 - y * 834.0 / 29.7);
  return buffer;
}
inline std::string PageXText(double x) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", 4.0 + x * 586.0 / 21.0);
  return buffer;
}

inline void SetPolynomial(Cubic& p, double c0, double c1, double c2, double c3) {
  p.c[0] = c0;
  p.c[1] = c1;
  p.c[2] = c2;
  p.c[3] = c3;
}

// A total eclipse shaped after 2024 April 8, with all nineteen events.
inline EclipseResult HandMadeTotal(TimeScale timeScale) {
  EclipseResult c;
  BesselianElements& e = c.elements;
  e.year = 2024;
  e.month = 4;
  e.day = 8;
  e.kind = EclipseKind::Total;
  e.gamma = 0.34306;
  e.epochHour = 18;
  e.julianDay = CalendarToJulianDay(2024, 4, 8, 18, 0, 0);
  e.lunation = 293;
  e.saros = 139;
  e.sarosMember = 30;
  e.sarosMemberCount = 71;
  SetPolynomial(e.sunRightAscension, 16.9722, 0.0376, 0.0, 0.0);
  SetPolynomial(e.sunDeclination, 7.5862, 0.0152, -2e-6, 0.0);
  SetPolynomial(e.sunDistance, 1.00165, 1.2e-5, 0.0, 0.0);
  SetPolynomial(e.moonRightAscension, 16.6722, 0.5546, 1e-4, -1e-6);
  SetPolynomial(e.moonDeclination, 7.9862, 0.2750, -1.2e-4, 0.0);
  SetPolynomial(e.moonDistance, 0.00240, -1.1e-7, 0.0, 0.0);
  SetPolynomial(e.x, -0.318244, 0.5117116, 3.26e-05, -8.42e-06);
  SetPolynomial(e.y, 0.219764, 0.2709589, -5.95e-05, -4.66e-06);
  SetPolynomial(e.d, 7.5862, 0.014844, -2e-06, 0.0);
  SetPolynomial(e.mu, 89.59122, 15.004084, 0.0, 0.0);
  SetPolynomial(e.l1, 0.535814, 6.18e-05, -1.28e-05, 0.0);
  SetPolynomial(e.l2, -0.010272, 6.15e-05, -1.27e-05, 0.0);
  SetPolynomial(e.tanF1, 0.0046683, 0.0, 0.0, 0.0);
  SetPolynomial(e.tanF2, 0.004645, 0.0, 0.0, 0.0);

  c.timeScale = timeScale;
  c.modelDeltaT = 69.2;
  c.deltaT = timeScale == TimeScale::kUniversal ? 69.2 : 0.0;
  c.estimatedGreatest = 0.29;
  c.greatestJulianDayTT = e.julianDay + 0.29 / 24.0;
  c.greatestJulianDayUT = c.greatestJulianDayTT - 69.2 / 86400.0;
  c.circumstances.timeGreatest = 0.2931;
  c.circumstances.julianDayGreatest = e.julianDay + c.circumstances.timeGreatest / 24.0;
  c.circumstances.timeConjunction = 0.4310;
  c.circumstances.julianDayConjunction = e.julianDay + 0.4310 / 24.0;
  c.circumstances.ephemeris = {4.26e-05, 0.01618, 0.004645, 0.004410};
  c.circumstances.complete = true;
  // What ComputeEclipse leaves for the sheet: the state at greatest eclipse.
  EvaluateAllAt(e, c.circumstances.timeGreatest, c.atGreatest);
  EvaluateEphemeris(e, c.circumstances.timeGreatest, c.atGreatest);
  EvaluateEphemerisRates(e, c.circumstances.timeGreatest, c.atGreatest);

  const double times[kEventCount] = {-2.3, -1.1, 1.6, 2.9,   -2.0, 2.6,  -1.9, 2.5,  -1.2, -1.15,
                                     1.75, 1.8,  -1.0, 1.6, -0.9, 1.7, -1.12, 1.72, 0.2931};
  for (int i = 0; i < kEventCount; ++i) {
    EclipseEvent& event = c.circumstances.events.entries[static_cast<std::size_t>(i)];
    event.Time = times[i];
    // The sheet prints these as -100°10.5', -99°53.2' and 20°00.4' for TP1, and so on.
    event.Longitude = -(100 - i + 10.5 / 60.0) * kDegToRad;
    event.EphemerisLongitude = -(99 - i + 53.2 / 60.0) * kDegToRad;
    event.Latitude = (20 + i + 0.4 / 60.0) * kDegToRad;
  }
  c.circumstances.events[EventId::TC1].CentralKind = CentralKind::Total;
  c.circumstances.events[EventId::TC2].CentralKind = CentralKind::Total;
  c.circumstances.events[EventId::TG0].CentralKind = CentralKind::Total;
  return c;
}

// A full-size picture whose pixel (x, y) is (x mod 256, y mod 256, 7) except
// pixel (0, 0), which is (0x12, 0x34, 0xAB).
struct TestPicture {
  std::vector<std::uint8_t> rgb;
  SheetPicture view;
  TestPicture() : rgb(static_cast<std::size_t>(1600) * 1066 * 3) {
    for (int y = 0; y < 1066; ++y) {
      for (int x = 0; x < 1600; ++x) {
        std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * 1600 + x) * 3];
        p[0] = static_cast<std::uint8_t>(x & 255);
        p[1] = static_cast<std::uint8_t>(y & 255);
        p[2] = 7;
      }
    }
    rgb[0] = 0x12;
    rgb[1] = 0x34;
    rgb[2] = 0xAB;
    view.pixels = rgb.data();
  }
};

// The legend's text needs a QGuiApplication (offscreen under CTest); one per
// test process, made on first use.
inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "postscript_tests";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) {
    static QGuiApplication app(argc, argv);
  }
}

inline std::filesystem::path FreshTempDir(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("darvelle_sheet_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace darvelle::sheet_testing
