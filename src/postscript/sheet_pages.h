#pragma once
// The pages of the map sheet, each written through one POST_lib. Used by
// map_sheet.cpp; positions are centimetres from the sheet's top-left corner.

#include "geometry/eclipse_computation.h"
#include "geometry/elements.h"
#include "postscript/map_sheet.h"
#include "postscript/post_lib.h"

namespace darvelle {

// Everything a page reads, gathered once per sheet.
struct SheetInput {
  const EclipseResult& computation;
  const SheetView& view;
  const ElementState& atGreatest;  // elements, rates and ephemeris at greatest eclipse
  TimeScale timeScale;
  double deltaT;            // seconds; 0 in TT
  std::string notice;
};

// Text at a point: PS_MoveTo, then PS_Text with the alignment mode.
inline void Put(POST_lib& ps, double x, double y, std::string_view text, int mode) {
  ps.PS_MoveTo(x, y);
  ps.PS_Text(text, mode);
}

// Page opening of a landscape page: the page comment, "page-begin" twice and
// the rotation. pageNumber is incremented first.
void BeginLandscapePage(POST_lib& ps, int& pageNumber);

// The block "Geocentric position, apparent motion and size of Sun and Moon" of
// page 1, starting at the running position y (cm) that the page leaves.
void WriteGeocentricBlock(POST_lib& ps, const SheetInput& in, double& y);

// A page of the general circumstances, in UT or in TT.
void WriteCircumstancesPage(POST_lib& ps, const SheetInput& in, TimeScale scale,
                            int& pageNumber);

// The page of ephemeris and Besselian elements in polynomial form.
void WriteElementsPage(POST_lib& ps, const SheetInput& in, int& pageNumber);

}  // namespace darvelle
