#include "render/curve_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "render_test_support.h"

namespace darvelle {
namespace {

using test::IsWhite;
using test::PixelAt;
using test::Rgb;

constexpr double kDeg = kPi / 180.0;

QImage WhiteImage() {
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
  image.fill(Qt::white);
  return image;
}

GlobeProjection ViewAt(double lonDeg, double latDeg, bool stereographic = false) {
  return GlobeProjection(lonDeg * kDeg, latDeg * kDeg, 0, 500, stereographic);
}

CurvePoint Pt(double lonDeg, double latDeg) { return {lonDeg * kDeg, latDeg * kDeg}; }

QPoint Pixel(const GlobeProjection& view, double lonDeg, double latDeg, double deltaT = 0) {
  const ProjectedPoint p = ProjectEphemerisPoint(view, lonDeg * kDeg, latDeg * kDeg, deltaT);
  return {static_cast<int>(RoundHalfEven(p.ScreenX)), static_cast<int>(RoundHalfEven(p.ScreenY))};
}

Rgb At(const QImage& image, QPoint p) { return PixelAt(image, p.x(), p.y()); }

// Whether any pixel within `radius` of p has the colour.
bool ColourNear(const QImage& image, QPoint p, const Rgb& colour, int radius = 1) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (PixelAt(image, p.x() + dx, p.y() + dy) == colour) return true;
    }
  }
  return false;
}

void Fill(PointCurve& curve, const std::vector<CurvePoint>& points) {
  curve.Clear();
  for (const CurvePoint& p : points) ASSERT_TRUE(curve.Append(p));
  curve.SetReady(true);
}

constexpr Rgb kUmbra = {64, 64, 64};
constexpr Rgb kYellow = {255, 255, 0};
constexpr Rgb kRed = {255, 0, 0};
constexpr Rgb kBlue = {0, 0, 255};

TEST(DrawCurve, PixelsLieWhereThePointsProject) {
  for (double deltaT : {0.0, 69.2}) {
    CurveSet curves;
    EclipseEvents events;
    std::vector<CurvePoint> points;
    for (int lon = -40; lon <= 40; lon += 4) points.push_back(Pt(lon, 10 + lon / 8.0));
    Fill(curves.northUmbra, points);
    QImage image = WhiteImage();
    const GlobeProjection view = ViewAt(5, 12);
    DrawCurve(image, MapCurve::NorthUmbraLimit, curves, events, deltaT, 1, view);
    for (const CurvePoint& p : points) {
      const QPoint px = Pixel(view, p.Longitude / kDeg, p.Latitude / kDeg, deltaT);
      EXPECT_TRUE(ColourNear(image, px, kUmbra, 0)) << px.x() << "," << px.y();
    }
    // Away from the curve the image is untouched.
    EXPECT_TRUE(IsWhite(PixelAt(image, 800, 900)));
  }
}

TEST(DrawCurve, UniversalTimeShiftsCurvesEastByTheEarthsRotation) {
  CurveSet curves;
  EclipseEvents events;
  Fill(curves.northUmbra, {Pt(0, 0), Pt(0, 1)});
  const GlobeProjection view = ViewAt(0, 0);
  // DeltaT of 240 s / 1.0027379 turns the Earth by one degree.
  const double deltaT = 240.0 / 1.0027379;
  QImage image = WhiteImage();
  DrawCurve(image, MapCurve::NorthUmbraLimit, curves, events, deltaT, 1, view);
  const QPoint east = Pixel(view, 1, 0);
  EXPECT_EQ(east.x(), 809);  // 500 sin(1 deg) = 8.7 pixels east
  EXPECT_TRUE(ColourNear(image, east, kUmbra, 0));
  EXPECT_TRUE(IsWhite(PixelAt(image, 800, 533)));
}

TEST(DrawCurve, GapBehindTheGlobe) {
  // A parallel at 40 deg seen from 30 deg north: its far half projects above
  // the near half, hidden.
  CurveSet curves;
  EclipseEvents events;
  std::vector<CurvePoint> points;
  for (int lon = -180; lon <= 180; lon += 5) points.push_back(Pt(lon, 40));
  Fill(curves.southPenumbra, points);
  const GlobeProjection view = ViewAt(0, 30);
  QImage image = WhiteImage();
  DrawCurve(image, MapCurve::SouthPenumbraLimit, curves, events, 0, 1, view);

  const Rgb black = {0, 0, 0};
  int hiddenChecked = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double lon0 = points[i - 1].Longitude / kDeg, lon1 = points[i].Longitude / kDeg;
    const ProjectedPoint a = ProjectEphemerisPoint(view, points[i - 1].Longitude, 40 * kDeg, 0);
    const ProjectedPoint b = ProjectEphemerisPoint(view, points[i].Longitude, 40 * kDeg, 0);
    const QPoint mid((Pixel(view, lon0, 40).x() + Pixel(view, lon1, 40).x()) / 2,
                     (Pixel(view, lon0, 40).y() + Pixel(view, lon1, 40).y()) / 2);
    if (b.IsVisible()) {
      // Drawn, including the segment from the last hidden point onwards.
      EXPECT_TRUE(ColourNear(image, mid, black, 1)) << lon0 << ".." << lon1;
    } else if (!a.IsVisible()) {
      EXPECT_FALSE(ColourNear(image, mid, black, 1)) << lon0 << ".." << lon1;
      ++hiddenChecked;
    }
  }
  EXPECT_GT(hiddenChecked, 10);
}

TEST(DrawCurve, CentralLineTurnsFromYellowToRedWhereItBecomesTotal) {
  CurveSet curves;
  EclipseEvents events;
  curves.centralLine.Clear();
  for (int i = 0; i <= 20; ++i) {
    CentralLinePoint p;
    p.Longitude = (-50 + 5 * i) * kDeg;
    p.Latitude = 0.0;
    p.CentralKind = i <= 8 ? CentralKind::Annular : CentralKind::Total;  // total from -5 deg
    ASSERT_TRUE(curves.centralLine.Append(p));
  }
  curves.centralLine.SetReady(true);
  const GlobeProjection view = ViewAt(0, 0);
  QImage image = WhiteImage();
  EXPECT_EQ(DrawCurve(image, MapCurve::CentralLine, curves, events, 0, 1, view), 21);
  EXPECT_EQ(At(image, Pixel(view, -30, 0)), kYellow);
  EXPECT_EQ(At(image, Pixel(view, -12, 0)), kYellow);
  // The segment ending at the first total point (-10 .. -5 deg) is red.
  EXPECT_EQ(At(image, Pixel(view, -7.5, 0)), kRed);
  EXPECT_EQ(At(image, Pixel(view, 20, 0)), kRed);
}

// Pixels of the curve's colour in image column x.
int ThicknessAt(const QImage& image, int x, const Rgb& colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) n += PixelAt(image, x, y) == colour ? 1 : 0;
  return n;
}

TEST(DrawCurve, PenWidths) {
  struct Case {
    MapCurve curve;
    int penWidth;
    int expected;
  };
  const Case cases[] = {{MapCurve::CentralLine, 1, 2},     {MapCurve::CentralLine, 2, 2},
                        {MapCurve::CentralLine, 3, 3},     {MapCurve::NorthUmbraLimit, 1, 1},
                        {MapCurve::NorthUmbraLimit, 2, 2}, {MapCurve::NorthUmbraLimit, 3, 3}};
  for (const Case& c : cases) {
    CurveSet curves;
    EclipseEvents events;
    curves.centralLine.Clear();
    for (int lon = -30; lon <= 30; lon += 10) {
      CentralLinePoint p;
      p.Longitude = lon * kDeg;
      p.CentralKind = CentralKind::Total;
      ASSERT_TRUE(curves.centralLine.Append(p));
    }
    Fill(curves.northUmbra, {Pt(-30, 0), Pt(-10, 0), Pt(10, 0), Pt(30, 0)});
    QImage image = WhiteImage();
    DrawCurve(image, c.curve, curves, events, 0, c.penWidth, ViewAt(0, 0));
    const Rgb colour = c.curve == MapCurve::CentralLine ? kRed : kUmbra;
    EXPECT_EQ(ThicknessAt(image, 850, colour), c.expected)
        << static_cast<int>(c.curve) << " pen " << c.penWidth;
  }
}

TEST(DrawCurves, ReportEveryDrawnCurveWithItsPointCount) {
  // Each curve gets a different number of points, so that a count reported
  // for the wrong curve shows.
  CurveSet curves;
  auto points = [](int n) {
    std::vector<CurvePoint> v;
    for (int i = 0; i < n; ++i) v.push_back(Pt(i, i));
    return v;
  };
  struct Case {
    MapCurve curve;
    PointCurve* points;  // nullptr: the central line
    int count;
  };
  const Case cases[] = {
      {MapCurve::NorthPenumbraLimit, &curves.northPenumbra, 3},
      {MapCurve::NorthUmbraLimit, &curves.northUmbra, 4},
      {MapCurve::SouthUmbraLimit, &curves.southUmbra, 5},
      {MapCurve::CentralLine, nullptr, 6},
      {MapCurve::SouthPenumbraLimit, &curves.southPenumbra, 7},
      {MapCurve::RiseSetCurve1, &curves.RiseSet(1), 8},
      {MapCurve::RiseSetCurve2, &curves.RiseSet(2), 9},
      {MapCurve::RiseSetCurve3, &curves.RiseSet(3), 10},
      {MapCurve::RiseSetCurve4, &curves.RiseSet(4), 11},
      {MapCurve::RiseSetCurve5, &curves.RiseSet(5), 12},
      {MapCurve::RiseSetCurve6, &curves.RiseSet(6), 13},
      {MapCurve::MaxAtHorizonSouth, &curves.maxHorizonSouth, 14},
      {MapCurve::MaxAtHorizonNorth, &curves.maxHorizonNorth, 15},
      {MapCurve::MaxAtSunrise, &curves.maxSunrise, 16},
      {MapCurve::MaxAtSunset, &curves.maxSunset, 17},
  };
  static_assert(std::size(cases) == kMapCurveCount);
  for (const Case& c : cases) {
    if (c.points != nullptr) {
      Fill(*c.points, points(c.count));
      continue;
    }
    for (int i = 0; i < c.count; ++i) {
      CentralLinePoint p;
      p.Longitude = i * kDeg;
      ASSERT_TRUE(curves.centralLine.Append(p));
    }
    curves.centralLine.SetReady(true);
  }
  EclipseEvents events;
  QImage image = WhiteImage();
  const DrawnCurves all = DrawCurves(image, curves, events, 0, 1, ViewAt(0, 0));
  for (const Case& c : cases) {
    EXPECT_EQ(all.PointCount(c.curve), c.count) << static_cast<int>(c.curve);
    EXPECT_EQ(DrawCurve(image, c.curve, curves, events, 0, 1, ViewAt(0, 0)), c.count)
        << static_cast<int>(c.curve);
  }
}

TEST(DrawCurve, EmptyCurveLeavesTheImageAloneAndIsNotReported) {
  CurveSet curves;
  curves.northUmbra.SetReady(true);  // ready but without points
  EclipseEvents events;
  QImage image = WhiteImage();
  const QImage before = image;
  const DrawnCurves drawn = DrawCurves(image, curves, events, 0, 1, ViewAt(0, 0));
  EXPECT_FALSE(drawn.PointCount(MapCurve::NorthUmbraLimit).has_value());
  EXPECT_FALSE(DrawCurve(image, MapCurve::NorthUmbraLimit, curves, events, 0, 1, ViewAt(0, 0)));
  EXPECT_TRUE(image == before);
}

TEST(DrawCurve, PointsThatAreNotNumbersAreLeftOut) {
  const double nan = std::nan("");
  CurveSet curves;
  Fill(curves.northUmbra, {{nan, 0.0}, Pt(-10, 10), {nan, 0.0}, Pt(10, 10), {0.0, nan}});
  EclipseEvents events;
  events[EventId::TG0] = EclipseEvent{};
  events[EventId::TG0].Time = 1.0;
  events[EventId::TG0].EphemerisLongitude = nan;
  QImage image = WhiteImage();
  const GlobeProjection view = ViewAt(0, 0);
  DrawCurve(image, MapCurve::NorthUmbraLimit, curves, events, 0, 1, view);
  DrawEventMarkers(image, events, 0, view);
  EXPECT_TRUE(IsWhite(PixelAt(image, 800, 533)));                  // nothing at (0, 0)
  EXPECT_TRUE(ColourNear(image, Pixel(view, 0, 10.15), kUmbra, 1));  // -10 .. 10 joined
}

TEST(DrawCurve, CurvesWithoutReadyFlagAreNotDrawn) {
  CurveSet curves;
  Fill(curves.northUmbra, {Pt(-10, 0), Pt(10, 0)});
  curves.northUmbra.SetReady(false);
  EclipseEvents events;
  QImage image = WhiteImage();
  const QImage before = image;
  const DrawnCurves drawn = DrawCurves(image, curves, events, 0, 1, ViewAt(0, 0));
  EXPECT_TRUE(image == before);
  EXPECT_FALSE(drawn.PointCount(MapCurve::NorthUmbraLimit).has_value());
}

EclipseEvent EventAt(double lonDeg, double latDeg, CentralKind centralKind = CentralKind::None) {
  EclipseEvent e;
  e.Time = 1.0;
  e.EphemerisLongitude = lonDeg * kDeg;
  e.Latitude = latDeg * kDeg;
  e.CentralKind = centralKind;
  return e;
}

TEST(DrawCurve, RiseSetCurveRunsFromItsStartEventToItsEndEvent) {
  const GlobeProjection view = ViewAt(0, 0);
  CurveSet curves;
  Fill(curves.RiseSet(1), {Pt(-20, 10), Pt(0, 10), Pt(20, 10)});
  EclipseEvents events;
  events[EventId::TP1] = EventAt(-40, 10);
  events[EventId::TP4] = EventAt(40, 10);
  QImage image = WhiteImage();
  DrawCurve(image, MapCurve::RiseSetCurve1, curves, events, 0, 1, view);
  EXPECT_TRUE(ColourNear(image, Pixel(view, -30, 10), kBlue, 1));  // TP1 .. point 1
  EXPECT_TRUE(ColourNear(image, Pixel(view, 30, 10), kBlue, 1));   // point 3 .. TP4
  EXPECT_TRUE(ColourNear(image, Pixel(view, 40, 10), kBlue, 0));

  // End event behind the globe: no closing segment. Start event behind the
  // globe: still the pen's start, so the segment to point 1 is drawn.
  events[EventId::TP1] = EventAt(-100, 10);
  events[EventId::TP4] = EventAt(130, 10);
  image = WhiteImage();
  DrawCurve(image, MapCurve::RiseSetCurve1, curves, events, 0, 1, view);
  const QPoint hiddenStart = Pixel(view, -100, 10);
  const QPoint first = Pixel(view, -20, 10);
  EXPECT_TRUE(ColourNear(image, (hiddenStart + first) / 2, kBlue, 1));
  const QPoint last = Pixel(view, 20, 10);
  const QPoint hiddenEnd = Pixel(view, 130, 10);
  EXPECT_FALSE(ColourNear(image, (last + hiddenEnd) / 2, kBlue, 2));

  // An end event that was not found adds nothing, a missing start event
  // starts the curve at its first point (not at longitude 0 on the equator).
  events[EventId::TP1] = EclipseEvent{};
  events[EventId::TP4] = EclipseEvent{};
  image = WhiteImage();
  DrawCurve(image, MapCurve::RiseSetCurve1, curves, events, 0, 1, view);
  EXPECT_TRUE(IsWhite(At(image, Pixel(view, -10, 5))));
  EXPECT_TRUE(IsWhite(At(image, Pixel(view, 10, 5))));
  EXPECT_TRUE(ColourNear(image, Pixel(view, 10, 10), kBlue, 1));
}

TEST(DrawEventMarkers, ColoursAndOutlines) {
  struct Case {
    EventId id;
    CentralKind centralKind;
    Rgb fill;
    Rgb outline;
    int radius;
  };
  const Rgb black = {0, 0, 0};
  const Rgb white = {255, 255, 255};
  const Case cases[] = {
      {EventId::TP1, CentralKind::None, {0, 128, 0}, black, 4},
      {EventId::TP4, CentralKind::None, {0, 128, 0}, black, 4},
      {EventId::TP2, CentralKind::None, {255, 0, 0}, black, 4},
      {EventId::TP3, CentralKind::None, {255, 0, 0}, black, 4},
      {EventId::TPN1, CentralKind::None, {0, 0, 255}, black, 4},
      {EventId::TPS2, CentralKind::None, {0, 0, 255}, black, 4},
      {EventId::TC1, CentralKind::Annular, black, kYellow, 8},
      {EventId::TC2, CentralKind::Annular, black, kYellow, 8},
      {EventId::TG0, CentralKind::Total, black, white, 8},
      {EventId::TG0, CentralKind::Annular, black, kYellow, 8},
  };
  const GlobeProjection view = ViewAt(0, 0);
  for (const Case& c : cases) {
    EclipseEvents events;
    events[c.id] = EventAt(10, 10, c.centralKind);
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB888);
    image.fill(QColor(216, 216, 216));
    DrawEventMarkers(image, events, 0, view);
    const QPoint centre = Pixel(view, 10, 10);
    EXPECT_EQ(At(image, centre), c.fill) << kEventLabels[static_cast<std::size_t>(c.id)];
    // The outline crosses the horizontal through the centre at the radius.
    EXPECT_EQ(At(image, centre + QPoint(c.radius, 0)), c.outline)
        << kEventLabels[static_cast<std::size_t>(c.id)];
    EXPECT_EQ(At(image, centre - QPoint(c.radius, 0)), c.outline);
    EXPECT_EQ(At(image, centre + QPoint(0, c.radius + 3)), (Rgb{216, 216, 216}));
  }
}

TEST(DrawEventMarkers, AbsentHiddenAndUnmarkedEventsDrawNothing) {
  const GlobeProjection view = ViewAt(0, 0);
  EclipseEvents events;
  events[EventId::TU1] = EventAt(0, 0);          // no marker for umbral contacts
  events[EventId::TP1] = EventAt(170, 0);        // behind the globe
  events[EventId::TP4] = EventAt(5, 5);
  events[EventId::TP4].Time.reset();             // absent
  QImage image = WhiteImage();
  const QImage before = image;
  DrawEventMarkers(image, events, 0, view);
  EXPECT_TRUE(image == before);
}

TEST(DrawEventMarkers, GreatestEclipseLiesOnTop) {
  const GlobeProjection view = ViewAt(0, 0);
  EclipseEvents events;
  events[EventId::TC1] = EventAt(0, 0, CentralKind::Annular);
  events[EventId::TG0] = EventAt(0, 0, CentralKind::Total);
  QImage image = WhiteImage();
  image.fill(QColor(216, 216, 216));
  DrawEventMarkers(image, events, 0, view);
  EXPECT_EQ(PixelAt(image, 808, 533), (Rgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(image, 800, 533), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace darvelle
