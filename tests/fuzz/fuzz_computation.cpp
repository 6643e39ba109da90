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
#include "postscript/map_sheet.h"
#include "reports/report_files.h"
#include "reports/report_text.h"
#include "../support/non_numbers.h"
#include "base_record.h"

using namespace darvelle;
using darvelle::fuzz::BaseRecord;
using darvelle::testing::HasNonNumber;

namespace {

void Check(const std::string& text) {
  if (HasNonNumber(text)) std::abort();
}

}  // namespace

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EclipseRecord record = BaseRecord();
  std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
  if (RecordProblem(record)) return 0;
  const TimeScale timeScale = size > sizeof record && (data[sizeof record] & 1) == 0 ? TimeScale::kTerrestrial : TimeScale::kUniversal;

  static EclipseScratch scratch;  // reused, as batch reuses one per thread
  try {
    const Catalogue catalogue({record});
    const EclipseResult c = ComputeEclipse(PrepareEclipse(catalogue, 1, timeScale, 1), scratch);
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
