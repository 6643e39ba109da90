#pragma once
// One eclipse computation: the current eclipse, its times and DeltaT, the
// element state, the events, the curves, and every value the drawing and the
// sheet read afterwards. The caller owns the object; nothing is shared
// between two of them, so two can run side by side on two threads.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/eclipse_record.h"
#include "geometry/curves.h"
#include "geometry/elements.h"
#include "geometry/events.h"

namespace darvelle {

// One record of the penumbral longitude scan.
struct LimitScanRecord {
  bool Used = false;
  double Hour = 0;              // T0 + t, hours TT
  double Level = 0;             // side times magnitude level
  double WestLongitudeDeg = 0;  // west positive, [-180, 180)
  double LatitudeDeg = 0;       // geodetic
};

// Resolutions the view offers (longitude steps per degree of the penumbral scan).
bool IsValidResolution(int resolution);

// Values the report computes at greatest eclipse and the tables print (radians).
struct ReportEphemeris {
  double SunParallax = 0;      // equatorial horizontal parallax
  double MoonParallax = 0;
  double SunSemidiameter = 0;
  double MoonSemidiameter = 0;
};

struct EclipseComputation {
  // --- what is computed (set by PrepareEclipse / SetTimeScale) ---
  int selectedIndex = 0;          // catalogue index, 0 for a record built by other means
  BesselianElements elements;     // the current eclipse (julianDay recomputed)
  // The same eclipse as the catalogue stores it, for the window's captions
  // until it reads them from the elements; the computation never reads it.
  EclipseRecord eclipse{};
  bool universalTime = true;      // time scale: UT with the DeltaT model, or TT
  double modelDeltaT = 0;         // ComputeDeltaT(Year, Month), seconds, whatever the scale
  double deltaT = 0;              // DeltaT in force: modelDeltaT in UT, 0 in TT
  int resolution = 1;             // 1, 2, 4, 8, 16 or 32
  // Folder the report and curve files go to; no files at all when empty.
  std::optional<std::filesystem::path> outputFolder;
  // Called once, after the greatest-eclipse lines of the report, so that a
  // window can process its pending messages and repaint; may be empty.
  std::function<void()> processPendingMessages;

  // --- first estimate of greatest eclipse, as the window shows it ---
  double estimatedGreatest = 0;   // hours from T0
  double greatestJulianDayTT = 0;
  double greatestJulianDayUT = 0;
  std::string dateTimeText;       // "2024-04-08  18:17:16 UT"

  // --- results of ComputeEclipse ---
  ElementState state;             // after the computation: elements at TimeGreatest
  double timeGreatest = 0;        // TG0 instant, hours from T0 (kept even when TG0 is absent)
  double julianDayGreatest = 0;   // TT
  double timeConjunction = 0;     // 100.0 when no conjunction lies within +-2 hours
  double julianDayConjunction = 0;
  double timeBefore = 0;          // search limits, hours from T0
  double timeAfter = 0;
  EclipseEvents events;
  double zetaAtEvent = 0;
  bool circumstancesComplete = false;
  ReportEphemeris reportEphemeris;
  CurveSet curves;
  // The two reports exactly as written (Windows-1252, CR LF).
  std::string reportGerman;
  std::string reportEnglish;

  // --- work areas of the curve builders (kept to avoid allocating per eclipse) ---
  std::vector<CurvePoint> workBuffer;              // CurveWorkBuffer, kCurveWorkBufferCapacity points
  std::vector<LimitScanRecord> scanFirst, scanSecond;  // LimitScanRecords

  EclipseComputation();
};

// The steps of the recomputation cycle before the computation: makes record
// `index` the current eclipse, estimates greatest eclipse, sets DeltaT, the
// Julian Days of the estimate and DateTimeText. Throws std::out_of_range for
// a bad index, std::invalid_argument for a bad resolution.
void PrepareEclipse(EclipseComputation& c, const Catalogue& catalogue, int index,
                    bool universalTime, int resolution);
// The same for elements that are already the current eclipse (julianDay set).
void PrepareEclipse(EclipseComputation& c, const BesselianElements& current, bool universalTime,
                    int resolution);
void PrepareEclipse(EclipseComputation& c, const EclipseRecord& current, bool universalTime,
                    int resolution);

// Switches between TT and UT without recomputing: DeltaT, the Julian Days of
// the estimate and DateTimeText. The events and curves stay as computed.
void SetTimeScale(EclipseComputation& c, bool universalTime);

// "2021-12-04  07:33:27 UT": the estimate of greatest eclipse in the chosen scale.
std::string DateTimeText(double julianDay, bool universalTime);

// The whole eclipse computation: general circumstances with both reports,
// "Eckpunkt.txt", rise/set curves, umbral limits and central line, horizon
// curves, penumbral limits, and finally the elements at TimeGreatest. With an
// output folder it first deletes the files of an earlier run there and writes
// every file; a file that cannot be written throws FileError (no half-written
// file is left under its final name).
void ComputeEclipse(EclipseComputation& c);

}  // namespace darvelle
