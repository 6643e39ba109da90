// The last page of the map sheet: the record's polynomials, the formula that
// evaluates them, the cone tangents and two hourly rates at greatest eclipse.

#include <array>
#include <string>

#include "astro/format.h"
#include "postscript/sheet_format.h"
#include "postscript/sheet_pages.h"

namespace darvelle {
namespace {

// Adopted mean lunar radii (Earth radii) printed beside the cone tangents.
constexpr std::string_view kPenumbraRadiusText = "0.2725076";
constexpr std::string_view kUmbraRadiusText = "0.2722810";

void Show(POST_lib& ps, std::string_view text) {
  ps.PS_WriteLine("(" + std::string(text) + ") show");
}

void Subscript(POST_lib& ps, std::string_view text, float size = 10) {
  ps.PS_FontArial(size);
  ps.PS_WriteLine("0 -5 rmoveto (" + std::string(text) + ") show 0 5 rmoveto");
  ps.PS_FontArial(14);
}

void Superscript(POST_lib& ps, std::string_view text) {
  ps.PS_FontArial(10);
  ps.PS_WriteLine("0 5 rmoveto (" + std::string(text) + ") show 0 -5 rmoveto");
  ps.PS_FontArial(14);
}

enum class Unit { kText, kEarthRadii, kNone };

struct PolynomialRow {
  double step;
  std::string_view symbol;
  std::string_view subscript;  // empty: none
  Unit unit;
  std::string_view unitText;
  std::string_view description;
  std::string_view mark;  // footnote mark, empty: none
  Cubic BesselianElements::*polynomial;
  bool closeParenthesis;  // tan(f rows: ")" right after the subscript
};

// The right ascensions are stored in degrees, like the declinations (the
// first page prints the same right ascension in hours and minutes).
constexpr std::array<PolynomialRow, 14> kPolynomialRows = {{
    {0.6, "RA", "S", Unit::kText, "  \u00B0", "Apparent right ascension of Sun", "",
     &BesselianElements::sunRightAscension, false},
    {0.6, "DE", "S", Unit::kText, "  \u00B0", "Apparent declination of Sun", "",
     &BesselianElements::sunDeclination, false},
    {0.6, "R", "S", Unit::kText, "AU", "Radius vector Earth-Sun", "",
     &BesselianElements::sunDistance, false},
    {0.5, "RA", "M", Unit::kText, "  \u00B0", "Apparent right ascension of Moon", "",
     &BesselianElements::moonRightAscension, false},
    {0.6, "DE", "M", Unit::kText, "  \u00B0", "Apparent declination of Moon", "",
     &BesselianElements::moonDeclination, false},
    {0.6, "R", "M", Unit::kText, "AU", "Radius vector Earth-Moon", "",
     &BesselianElements::moonDistance, false},
    {0.9, "x", "", Unit::kEarthRadii, "", "x-position of the shadow axis", "1\\)",
     &BesselianElements::x, false},
    {0.6, "y", "", Unit::kEarthRadii, "", "y-position of the shadow axis", "1\\)",
     &BesselianElements::y, false},
    {0.6, "d", "", Unit::kText, " \u00B0", "Declination", "2\\)", &BesselianElements::d, false},
    {0.6, "M", "", Unit::kText, " \u00B0", "Ephemeris hour angle", "2\\)",
     &BesselianElements::mu, false},
    {0.6, "L", "1", Unit::kEarthRadii, "", "Radius of the penumbral cone", "2\\)",
     &BesselianElements::l1, false},
    {0.6, "L", "2", Unit::kEarthRadii, "", "Radius of the umbral cone", "2\\)",
     &BesselianElements::l2, false},
    {0.9, "tan\\(f", "1", Unit::kNone, "", "of the penumbral vertex angle", "",
     &BesselianElements::tanF1, true},
    {0.6, "tan\\(f", "2", Unit::kText, "", "of the umbral vertex angle", "",
     &BesselianElements::tanF2, true},
}};

constexpr std::array<double, 4> kCoefficientColumns = {15.47, 19.79, 24.11, 28.43};

}  // namespace

void WriteElementsPage(POST_lib& ps, const SheetInput& in, int& pageNumber) {
  const EclipseResult& c = in.computation;
  const BesselianElements& e = c.elements;
  const ElementState& s = in.atGreatest;
  BeginLandscapePage(ps, pageNumber);
  double y = 0.0;

  ps.PS_WriteBytes("0.75 SG");
  ps.PS_FillRect(1.27, 1.27, 28.43, 2.17);
  ps.PS_WriteBytes("0 SG");
  ps.PS_FontArial(18);
  Put(ps, 14.85, 1.67, "Ephemeris of Sun and Moon, and Besselian elements in polynomial form",
      kTextCentred);
  ps.PS_FontArial(14);

  y += 1.5;
  {
    const double row = 1.27 + y;
    const double jd = c.circumstances.julianDayGreatest;
    Put(ps, 1.27, row, "Instant of greatest eclipse", kTextLeft);
    Put(ps, 7.47, row, SheetDateText(jd), kTextLeft);
    Put(ps, 10.27, row, SheetTimeOfDayText(jd, 2), kTextLeft);
    Put(ps, 13.57, row, "JD", kTextLeft);
    std::string jdText = FixedText(c.greatestJulianDayTT, 6);
    std::erase(jdText, ' ');
    Put(ps, 14.37, row, jdText, kTextLeft);
    Put(ps, 18.37, row, "TT", kTextLeft);
  }

  y += 0.6;
  y += 0.15;
  ps.PS_MoveTo(1.27, 1.27 + y);
  Show(ps, "Nearest integer hour \\(H");
  Subscript(ps, "0");
  y -= 0.15;
  Show(ps, "\\)");
  Put(ps, 10.54, 1.27 + y, std::to_string(e.epochHour), kTextLeft);

  y += 0.6;
  y += 0.15;
  {
    const double row = 1.27 + y;
    const std::array<double, 4> columns = {13.27, 17.47, 21.67, 25.87};
    for (int k = 0; k < 4; ++k) {
      ps.PS_MoveTo(columns[k], row);
      Show(ps, "V");
      Subscript(ps, std::to_string(k), 11);
    }
  }

  for (const PolynomialRow& r : kPolynomialRows) {
    y += r.step;
    y += 0.15;
    const double row = 1.27 + y;
    ps.PS_MoveTo(1.27, row);
    Show(ps, r.symbol);
    if (!r.subscript.empty()) Subscript(ps, r.subscript);
    if (r.closeParenthesis) Show(ps, "\\)");
    if (r.unit != Unit::kNone) {
      ps.PS_MoveTo(2.47, row);
      if (r.unit == Unit::kEarthRadii) {
        Show(ps, "r");
        Subscript(ps, "E");
      } else {
        Show(ps, r.unitText);
      }
    }
    ps.PS_MoveTo(3.47, row);
    Show(ps, r.description);
    if (!r.mark.empty()) Superscript(ps, r.mark);
    y -= 0.15;
    const Cubic& p = e.*r.polynomial;
    for (int k = 0; k < 4; ++k) {
      Put(ps, kCoefficientColumns[k], 1.27 + y, CoefficientText(p.c[k]), kTextRight);
    }
  }

  y += 0.9;
  y += 0.15;
  ps.PS_MoveTo(1.27, 1.27 + y);
  Show(ps, "Values of the above elements at a given time are computed from V = V");
  Subscript(ps, "0");
  Show(ps, " + V");
  Subscript(ps, "1");
  Show(ps, " * t");
  Show(ps, " + V");
  Subscript(ps, "2");
  Show(ps, "* t");
  Superscript(ps, "2");
  Show(ps, " + V");
  Subscript(ps, "3");
  Show(ps, "* t");
  Superscript(ps, "3");
  Show(ps, " , where t = t-H");
  Subscript(ps, "0");
  Show(ps, " \\(hrs\\)");

  const struct {
    double step;
    std::string_view index;
    std::string_view description;
    double tangent;
    std::string_view radius;
    std::string_view shadow;
  } tangents[] = {
      {0.8, "1", "Tangent of the penumbral vertex angle at greatest eclipse", s.TanF1,
       kPenumbraRadiusText, "(Penumbra)"},
      {0.6, "2", "Tangent of the umbral vertex angle at greatest eclipse", s.TanF2,
       kUmbraRadiusText, "(Umbra)"},
  };
  for (const auto& t : tangents) {
    y += t.step;
    y += 0.15;
    const double row = 1.27 + y;
    ps.PS_MoveTo(1.27, row);
    Show(ps, "tanf");
    Subscript(ps, t.index);
    if (t.index == "2") {
      ps.PS_MoveTo(2.47, row);
      Show(ps, "");
    }
    ps.PS_MoveTo(3.47, row);
    Show(ps, t.description);
    y -= 0.15;
    const double valueRow = 1.27 + y;
    Put(ps, 19.97, valueRow, FixedText(t.tangent, 8), kTextRight);
    Put(ps, 21.67, valueRow, "k", kTextLeft);
    Subscript(ps, t.index);
    Put(ps, 24.97, valueRow, t.radius, kTextRight);
    Put(ps, 25.27, valueRow, t.shadow, kTextLeft);
    Superscript(ps, " 3\\)");
  }

  const struct {
    std::string_view symbol;
    std::string_view description;
    double rate;  // degrees per hour
  } rates[] = {
      {"\u00B5'", "Hourly variation of M at greatest eclipse", s.MuRate * kRadToDeg},
      {"d'", "Hourly variation of d at greatest eclipse", s.DRate * kRadToDeg},
  };
  for (const auto& r : rates) {
    y += 0.6;
    y += 0.15;
    const double row = 1.27 + y;
    ps.PS_MoveTo(1.27, row);
    Show(ps, r.symbol);
    ps.PS_MoveTo(2.47, row);
    Show(ps, "\u00B0/h");
    ps.PS_MoveTo(3.47, row);
    Show(ps, r.description);
    y -= 0.15;
    Put(ps, 19.97, 1.27 + y, FixedText(r.rate, 8), kTextRight);
  }

  ps.PS_MoveTo(1.27, 17.47);
  ps.PS_LineTo(28.27, 17.47);
  ps.PS_WriteBytes("ST");

  ps.PS_MoveTo(1.27, 18.07);
  Superscript(ps, "1\\) ");
  Show(ps, "on the fundamental Plane. \\(r");
  Subscript(ps, "E");
  Show(ps, " = Equatorial Earth radii\\)");
  ps.PS_MoveTo(1.27, 18.72);
  Superscript(ps, "2\\) ");
  Show(ps, "of the point on the celestial sphere toward which the axis of the shadow is directed");
  ps.PS_MoveTo(1.27, 19.32);
  Superscript(ps, "3\\) ");
  Show(ps, "Adopted mean lunar radius");

  ps.PS_WriteBytes("0.5 SG");
  ps.PS_FontArial(10);
  ps.PS_MoveTo(1.27, 19.77);
  ps.PS_LineTo(28.27, 19.77);
  ps.PS_WriteBytes("ST");
  Put(ps, 1.27, 19.97, in.notice, kTextLeft);
  ps.PS_WriteBytes("page-end");
}

}  // namespace darvelle
