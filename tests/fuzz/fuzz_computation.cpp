// One record through the whole computation and every text it writes. The
// record comes from the fuzzer's first 668 bytes (a shorter input overlays
// the start of a real record); a record the check refuses computes nothing.
// One it accepts must compute without an exception and give texts without
// "nan" or "inf": the formatters never see a value that is not a number.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "catalogue/catalogue.h"
#include "geometry/eclipse_computation.h"
#include "geometry/report_files.h"
#include "geometry/report_text.h"
#include "postscript/map_sheet.h"
#include "../support/non_numbers.h"

using namespace darvelle;
using darvelle::testing::HasNonNumber;

namespace {

// 2024 April 8, total, with the elements of the catalogue (rounded).
EclipseRecord BaseRecord() {
  EclipseRecord r;
  std::memset(&r, 0, sizeof r);
  r.Year = 2024;
  r.Month = 4;
  r.Day = 8;
  r.EclipseType = kTotal;
  r.Gamma = 0.3431;
  r.LunationNumber = 300;
  r.SarosNumber = 139;
  r.EpochHour = 18;
  r.SarosMember = 30;
  r.SarosMemberCount = 71;
  r.SunRAPoly = {{17.7, 0.0379, 0.0, 0.0}};
  r.SunDecPoly = {{7.59, 0.0153, 0.0, 0.0}};
  r.SunDistancePoly = {{1.0013, 0.0000068, 0.0, 0.0}};
  r.MoonRAPoly = {{17.6, 0.585, 0.0, 0.0}};
  r.MoonDecPoly = {{7.92, 0.268, 0.0, 0.0}};
  r.MoonDistancePoly = {{0.002420, -0.0000003, 0.0, 0.0}};
  r.XPoly = {{-0.318244, 0.5117116, 0.0000326, -0.0000085}};
  r.YPoly = {{0.219764, 0.2709589, -0.0000595, -0.0000047}};
  r.DPoly = {{7.5862, 0.014844, -0.000002, 0.0}};
  r.MuPoly = {{89.59122, 15.004084, 0.0, 0.0}};
  r.L1Poly = {{0.535814, 0.0000618, -0.0000128, 0.0}};
  r.L2Poly = {{-0.010272, 0.0000615, -0.0000127, 0.0}};
  r.TanF1Poly = {{0.0046683, 0.0, 0.0, 0.0}};
  r.TanF2Poly = {{0.0046450, 0.0, 0.0, 0.0}};
  return r;
}

void Check(const std::string& text) {
  if (HasNonNumber(text)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EclipseRecord record = BaseRecord();
  std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
  if (RecordProblem(record)) return 0;
  const bool universalTime = size > sizeof record ? (data[sizeof record] & 1) != 0 : true;

  static EclipseScratch scratch;  // reused, as batch reuses one per thread
  try {
    const Catalogue catalogue({record});
    const EclipseResult c = ComputeEclipse(PrepareEclipse(catalogue, 1, universalTime, 1), scratch);
    Check(MakeReports(c).german);
    Check(MakeReports(c).english);
    Check(EstimateText(c));
    Check(CornerPointsText(c.circumstances.events, c.elements, c.deltaT));
    const CurveSet& k = c.curves;
    for (const PointCurve* curve :
         {&k.northPenumbra, &k.northUmbra, &k.southUmbra, &k.southPenumbra, &k.maxHorizonNorth,
          &k.maxHorizonSouth, &k.maxSunrise, &k.maxSunset, &k.riseSet[0], &k.riseSet[1],
          &k.riseSet[2], &k.riseSet[3], &k.riseSet[4], &k.riseSet[5]}) {
      if (curve->Ready()) Check(PointFileText(*curve, c.deltaT, true));
    }
    if (k.centralLine.Ready()) Check(CentralLineFileText(k.centralLine, c.elements, c.deltaT));
    SheetOptions options;
    options.fontFile = "/nonexistent/Ethnocentric.pfa";  // no font to embed: the text alone
    // A small blank picture: the sheet's texts are what is checked, and a
    // full-size picture's hex would cost most of each run.
    SheetView view;
    view.picture.width = 16;
    view.picture.height = 11;
    view.picture.bytesPerLine = 16 * 3;
    Check(PostScriptSheetText(c, view, options));
  } catch (const std::exception&) {
    std::abort();  // a record that passed its checks must compute
  }
  return 0;
}
