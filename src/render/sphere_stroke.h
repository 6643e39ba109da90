#pragma once
// A line along points of the globe, drawn with a move-to / line-to pen: the
// pen lifts at points on the hidden side and comes down again at the next
// visible one, which starts a new run; a lone visible point still shows as
// a dot. Borders and the zoomed shores are drawn this way.

#include <cstdint>

#include "render/projection.h"

namespace darvelle {

template <typename Pen>
class SphereStroke {
 public:
  SphereStroke(Pen& pen, const GlobeProjection& view) : pen_(pen), view_(view) {}

  void Add(const UnitVector& v) {
    if (!view_.UnitVectorVisible(v.x, v.y, v.z)) {
      penDown_ = false;
      return;
    }
    const ProjectedPoint p = view_.ProjectUnitVector(v.x, v.y, v.z);
    const std::int64_t x = RoundHalfEven(p.ScreenX);
    const std::int64_t y = RoundHalfEven(p.ScreenY);
    if (!penDown_) {
      pen_.MoveTo(x, y);
      penDown_ = true;
    }
    pen_.LineTo(x, y);
  }

 private:
  Pen& pen_;
  const GlobeProjection& view_;
  bool penDown_ = false;
};

}  // namespace darvelle
