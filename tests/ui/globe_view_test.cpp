// The globe view driven on its own, offscreen, with synthesized mouse, wheel
// and key events. The suite runs once at the screen's own pixel ratio and
// once with QT_SCALE_FACTOR=2.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QToolTip>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "render/curve_drawing.h"
#include "render/globe_interaction.h"
#include "ui/globe_view.h"
#include "ui/languages.h"

using darvelle::GlobeProjection;
using darvelle::ImagePosition;
using darvelle::ViewParameters;
using darvelle::ui::GlobeView;

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

// A globe view showing the drawing at half its size, a map drawn for `view`
// round the view centre (centreLon, centreLat). The map lies half a pixel
// below the top, so that even image positions fall on whole widget pixels
// (mouse events carry whole pixels).
struct GlobeFixture {
  GlobeView view;
  ViewParameters drawn;
  explicit GlobeFixture(ViewParameters offsets = {}, double centreLon = 20, double centreLat = 10)
      : drawn(offsets) {
    view.resize(800, 534);
    view.show();
    QImage drawing(darvelle::kMapWidth, darvelle::kMapHeight, QImage::Format_RGB888);
    drawing.fill(Qt::white);
    const GlobeProjection projection((centreLon + offsets.Psi) * kDeg,
                                     (centreLat + offsets.Phi) * kDeg, offsets.Chi * kDeg,
                                     offsets.RK, offsets.Stereographic);
    view.setMap(drawing, offsets, projection);
  }
  QPointF At(double imageX, double imageY) const { return view.widgetPointAt({imageX, imageY}); }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
  QApplication::sendEvent(widget, &event);
}

// A drag in ten steps from `from` to `to` (widget points).
void Drag(QWidget* widget, QPointF from, QPointF to, Qt::MouseButton button = Qt::LeftButton,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  SendMouse(widget, QEvent::MouseButtonPress, from, button, button, modifiers);
  for (int i = 1; i <= 10; ++i) {
    SendMouse(widget, QEvent::MouseMove, from + (to - from) * (i / 10.0), Qt::NoButton, button,
              modifiers);
  }
  SendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
}

void Wheel(QWidget* widget, QPointF at, int angleDelta) {
  QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

ViewParameters LastView(const QSignalSpy& spy) {
  return spy.last().at(0).value<ViewParameters>();
}

// The final (not interim) requests among those a spy caught.
int FinalCount(const QSignalSpy& spy) {
  int count = 0;
  for (const auto& arguments : spy) count += arguments.at(1).toBool() ? 0 : 1;
  return count;
}

}  // namespace

class GlobeViewTest : public QObject {
  Q_OBJECT

 private slots:
  void displayImageHasTheDevicesPixels();
  void widgetAndImagePositionsCorrespond();
  void dragTurnsTheGlobeUnderTheCursor();
  void dragAsksForInterimViewsOnlyWhenWanted();
  void holdingStillAsksForTheFullDrawing();
  void tiltDragTurnsChi_data();
  void tiltDragTurnsChi();
  void wheelZoomsAboutTheCursor();
  void doubleClickCentresThePoint();
  void clickPicksThePlace();
  void noPlaceOffThePicture();
  void cursorReportsItsPlace();
  void cursorFollowsTheWheel();
  void theClickThatFocusesTheGlobeOnlyFocuses();
  void rightClickSetsThePlaceOrCentres();
  void helpTipStaysClearOfThePointer_data();
  void helpTipStaysClearOfThePointer();
  void keysPanAndZoom_data();
  void keysPanAndZoom();
  void withoutAMapNothingHappens();
  void overlayMapsThePictureOfAnotherWidget();
  void overlayOnAScreenCanvasSpeaksLogicalPixels();
  void cursorCoordinateTexts_data();
  void cursorCoordinateTexts();
};

void GlobeViewTest::displayImageHasTheDevicesPixels() {
  GlobeFixture f;
  const qreal ratio = f.view.devicePixelRatioF();
  if (qgetenv("QT_SCALE_FACTOR") == "2") QCOMPARE(ratio, 2.0);
  const QImage& shown = f.view.displayImage();
  QCOMPARE(shown.devicePixelRatio(), ratio);
  QCOMPARE(shown.width(), qRound(f.view.mapRect().width() * ratio));
  QCOMPARE(shown.height(), qRound(f.view.mapRect().height() * ratio));
  // A wider window keeps the map's aspect and centres it.
  f.view.resize(1000, 533);
  QCOMPARE(f.view.mapRect(), QRectF(100, 0, 800, 533));
  QCOMPARE(f.view.displayImage().width(), qRound(800 * ratio));
}

void GlobeViewTest::widgetAndImagePositionsCorrespond() {
  GlobeFixture f;
  const ImagePosition centre = f.view.imagePositionAt(QPointF(400, 267));
  QCOMPARE(centre.x, 800.0);
  QCOMPARE(centre.y, 533.0);
  const ImagePosition corner = f.view.imagePositionAt(f.At(1234.5, 77.25));
  QVERIFY(std::abs(corner.x - 1234.5) < 1e-9 && std::abs(corner.y - 77.25) < 1e-9);
}

// The place the globe shows at an image position for view offsets `v`
// round the fixture's view centre (20, 10).
static darvelle::GeoPosition PlaceAt(const ViewParameters& v, ImagePosition at) {
  return *darvelle::UnprojectPixel(
      GlobeProjection((20 + v.Psi) * kDeg, (10 + v.Phi) * kDeg, v.Chi * kDeg, v.RK, false), at);
}

void GlobeViewTest::dragTurnsTheGlobeUnderTheCursor() {
  ViewParameters offsets;
  offsets.Psi = 10;
  offsets.Phi = -5;
  GlobeFixture f(offsets);
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  const darvelle::GeoPosition grabbed = PlaceAt(offsets, {800, 533});
  Drag(&f.view, f.At(800, 533), f.At(1050, 533));
  QCOMPARE(FinalCount(requests), 1);
  const ViewParameters first = LastView(requests);
  QCOMPARE(first.RK, 500);
  QCOMPARE(first.Chi, 0.0);
  const darvelle::GeoPosition moved = PlaceAt(first, {1050, 533});
  QVERIFY(std::abs(moved.latitude - grabbed.latitude) < 1e-9);
  QVERIFY(std::abs(moved.longitude - grabbed.longitude) < 1e-9);
  // The view turned west by a little more than the 30 deg it would take on
  // the equator (the centre lies at 5 deg north).
  QVERIFY2(first.Psi < 10 - 30 && first.Psi > 10 - 31, qPrintable(QString::number(first.Psi)));
  // A second drag starts from the view asked for, not from the one drawn.
  const darvelle::GeoPosition second = PlaceAt(first, {800, 533});
  Drag(&f.view, f.At(800, 533), f.At(800, 283));
  const darvelle::GeoPosition after = PlaceAt(LastView(requests), {800, 283});
  QVERIFY(std::abs(after.latitude - second.latitude) < 1e-9);
  QVERIFY(std::abs(after.longitude - second.longitude) < 1e-9);
}

void GlobeViewTest::dragAsksForInterimViewsOnlyWhenWanted() {
  for (bool interim : {false, true}) {
    GlobeFixture f;
    f.view.setInterimViews(interim);
    QSignalSpy requests(&f.view, &GlobeView::viewRequested);
    Drag(&f.view, f.At(800, 533), f.At(900, 600));
    QCOMPARE(FinalCount(requests), 1);
    QCOMPARE(requests.last().at(1).toBool(), false);
    if (interim) {
      QVERIFY(requests.count() >= 9);
    } else {
      QCOMPARE(requests.count(), 1);
    }
  }
}

void GlobeViewTest::holdingStillAsksForTheFullDrawing() {
  GlobeFixture f;
  f.view.setInterimViews(true);
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  SendMouse(&f.view, QEvent::MouseButtonPress, f.At(800, 533), Qt::LeftButton, Qt::LeftButton);
  SendMouse(&f.view, QEvent::MouseMove, f.At(900, 533), Qt::NoButton, Qt::LeftButton);
  QCOMPARE(FinalCount(requests), 0);
  QTRY_COMPARE_WITH_TIMEOUT(FinalCount(requests), 1, 5000);
  // The release asks for nothing new: that view was asked for already.
  SendMouse(&f.view, QEvent::MouseButtonRelease, f.At(900, 533), Qt::LeftButton, Qt::NoButton);
  QCOMPARE(FinalCount(requests), 1);
}

void GlobeViewTest::tiltDragTurnsChi_data() {
  QTest::addColumn<int>("button");
  QTest::addColumn<int>("modifiers");
  QTest::newRow("right drag") << int(Qt::RightButton) << int(Qt::NoModifier);
  QTest::newRow("shift drag") << int(Qt::LeftButton) << int(Qt::ShiftModifier);
}

void GlobeViewTest::tiltDragTurnsChi() {
  QFETCH(int, button);
  QFETCH(int, modifiers);
  GlobeFixture f;
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  QSignalSpy places(&f.view, &GlobeView::placeClicked);
  // A quarter turn counter-clockwise round the centre.
  Drag(&f.view, f.At(1000, 533), f.At(800, 333), Qt::MouseButton(button),
       Qt::KeyboardModifiers(modifiers));
  QCOMPARE(FinalCount(requests), 1);
  const ViewParameters v = LastView(requests);
  QVERIFY2(std::abs(v.Chi - 90) < 1e-9, qPrintable(QString::number(v.Chi)));
  QCOMPARE(v.Psi, 0.0);
  QCOMPARE(v.Phi, 0.0);
  QCOMPARE(places.count(), 0);
}

void GlobeViewTest::wheelZoomsAboutTheCursor() {
  GlobeFixture f;
  f.view.setInterimViews(true);
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  const QPointF cursor = f.At(900, 401);
  const auto under = darvelle::UnprojectPixel(GlobeProjection(20 * kDeg, 10 * kDeg, 0, 500, false),
                                              {900, 401});
  QVERIFY(under.has_value());
  Wheel(&f.view, cursor, 120);
  QCOMPARE(requests.count(), 1);
  QCOMPARE(requests.last().at(1).toBool(), true);
  Wheel(&f.view, cursor, 120);
  QTRY_COMPARE_WITH_TIMEOUT(FinalCount(requests), 1, 5000);
  const ViewParameters v = LastView(requests);
  QCOMPARE(v.RK, 720);  // two notches of 1.2
  // The place under the cursor is still there on the larger globe.
  const GlobeProjection zoomed((20 + v.Psi) * kDeg, (10 + v.Phi) * kDeg, 0, v.RK, false);
  const auto after = darvelle::UnprojectPixel(zoomed, {900, 401});
  QVERIFY(after.has_value());
  QVERIFY(std::abs(after->latitude - under->latitude) < 1e-9);
  QVERIFY(std::abs(after->longitude - under->longitude) < 1e-9);
}

void GlobeViewTest::doubleClickCentresThePoint() {
  GlobeFixture f;
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  QSignalSpy places(&f.view, &GlobeView::placeClicked);
  const QPointF at = f.At(1050, 533);
  SendMouse(&f.view, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  SendMouse(&f.view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  SendMouse(&f.view, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  SendMouse(&f.view, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  QCOMPARE(requests.count(), 1);
  // Neither click picks the place, even once the time for a double-click is over.
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  QCOMPARE(places.count(), 0);
  const ViewParameters v = LastView(requests);
  // The point 30 deg east of the centre on the view's equator becomes the centre.
  const auto point = darvelle::UnprojectPixel(GlobeProjection(20 * kDeg, 10 * kDeg, 0, 500, false),
                                              {1050, 533});
  QVERIFY(std::abs(20 + v.Psi - point->longitude) < 1e-9);
  QVERIFY(std::abs(10 + v.Phi - point->latitude) < 1e-9);
}

void GlobeViewTest::clickPicksThePlace() {
  GlobeFixture f;
  QSignalSpy places(&f.view, &GlobeView::placeClicked);
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  QTest::mouseClick(&f.view, Qt::LeftButton, {}, f.At(800, 533).toPoint());
  // Told once no second click can make it a double-click.
  QCOMPARE(places.count(), 0);
  QTRY_COMPARE(places.count(), 1);
  QVERIFY(std::abs(places.last().at(0).toDouble() - 10) < 1e-9);
  QVERIFY(std::abs(places.last().at(1).toDouble() - 20) < 1e-9);
  // Off the globe there is no place; a click never turns the view.
  QTest::mouseClick(&f.view, Qt::LeftButton, {}, f.At(30, 30).toPoint());
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  QCOMPARE(places.count(), 1);
  QCOMPARE(requests.count(), 0);
}

// A globe larger than the picture goes on past its edges, undrawn: in the
// widget's empty band beside the picture there is no place to pick or show.
void GlobeViewTest::noPlaceOffThePicture() {
  ViewParameters big;
  big.RK = 3000;
  GlobeFixture f(big);
  f.view.resize(800, 800);  // the picture fills the width, with bands above and below
  const QRectF picture = f.view.mapRect();
  QVERIFY(picture.top() > 100);
  const QPointF above(400, picture.top() / 2);
  // The projection alone would find a place there.
  QVERIFY(darvelle::UnprojectPixel(GlobeProjection(20 * kDeg, 10 * kDeg, 0, 3000, false),
                                   f.view.imagePositionAt(above)).has_value());
  QSignalSpy places(&f.view, &GlobeView::placeClicked);
  QSignalSpy moved(&f.view, &GlobeView::cursorMoved);
  QSignalSpy left(&f.view, &GlobeView::cursorLeftGlobe);
  SendMouse(&f.view, QEvent::MouseMove, above, Qt::NoButton, Qt::NoButton);
  QCOMPARE(moved.count(), 0);
  QCOMPARE(left.count(), 1);
  QTest::mouseClick(&f.view, Qt::LeftButton, {}, above.toPoint());
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  QCOMPARE(places.count(), 0);
  // Inside the picture the same globe has its places.
  QTest::mouseClick(&f.view, Qt::LeftButton, {}, picture.center().toPoint());
  QTRY_COMPARE(places.count(), 1);
}

void GlobeViewTest::cursorReportsItsPlace() {
  GlobeFixture f;
  QSignalSpy moved(&f.view, &GlobeView::cursorMoved);
  QSignalSpy left(&f.view, &GlobeView::cursorLeftGlobe);
  SendMouse(&f.view, QEvent::MouseMove, f.At(800, 533), Qt::NoButton, Qt::NoButton);
  QCOMPARE(moved.count(), 1);
  QVERIFY(std::abs(moved.last().at(0).toDouble() - 10) < 1e-9);
  QVERIFY(std::abs(moved.last().at(1).toDouble() - 20) < 1e-9);
  SendMouse(&f.view, QEvent::MouseMove, f.At(10, 10), Qt::NoButton, Qt::NoButton);
  QCOMPARE(left.count(), 1);
  QCOMPARE(moved.count(), 1);
}

// The last thing the cursor's signals told: a place, or off the globe.
struct CursorRecord {
  std::optional<std::pair<double, double>> place;
  explicit CursorRecord(GlobeView& view) {
    QObject::connect(&view, &GlobeView::cursorMoved, &view,
                     [this](double lat, double lon) { place = std::pair{lat, lon}; });
    QObject::connect(&view, &GlobeView::cursorLeftGlobe, &view, [this] { place.reset(); });
  }
};

// A wheel that grows the globe under a pointer standing off it: the
// coordinates show at once, as a move of the mouse to the same spot reports.
void GlobeViewTest::cursorFollowsTheWheel() {
  GlobeFixture f;
  f.view.setInterimViews(true);
  CursorRecord shown(f.view);
  const QPointF off = f.At(1400, 533);
  SendMouse(&f.view, QEvent::MouseMove, off, Qt::NoButton, Qt::NoButton);
  QVERIFY(!shown.place);
  Wheel(&f.view, off, 240);
  QVERIFY(shown.place.has_value());
  const auto afterWheel = *shown.place;
  SendMouse(&f.view, QEvent::MouseMove, off, Qt::NoButton, Qt::NoButton);
  QVERIFY(shown.place.has_value());
  QVERIFY(std::abs(shown.place->first - afterWheel.first) < 1e-6);
  QVERIFY(std::abs(shown.place->second - afterWheel.second) < 1e-6);
}

// Reaching for the keys must not move the place: the click that gives the
// globe the focus only focuses; the next one picks.
void GlobeViewTest::theClickThatFocusesTheGlobeOnlyFocuses() {
  QWidget window;
  auto* edit = new QLineEdit(&window);
  auto* view = new GlobeView(&window);
  edit->setGeometry(0, 0, 100, 20);
  view->setGeometry(0, 30, 800, 534);
  view->setMap(QImage(), ViewParameters{}, GlobeProjection(20 * kDeg, 10 * kDeg, 0, 500, false));
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  edit->setFocus();
  QSignalSpy places(view, &GlobeView::placeClicked);
  const QPoint centre = view->widgetPointAt({800, 533}).toPoint();
  QTest::mouseClick(view, Qt::LeftButton, {}, centre);
  QVERIFY(view->hasFocus());
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  QCOMPARE(places.count(), 0);
  QTest::mouseClick(view, Qt::LeftButton, {}, centre);
  QTRY_COMPARE(places.count(), 1);
}

void GlobeViewTest::rightClickSetsThePlaceOrCentres() {
  GlobeFixture f;
  QSignalSpy places(&f.view, &GlobeView::placeClicked);
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  const auto menuAction = [&f](QPointF at, const char* name) {
    QTest::mouseClick(&f.view, Qt::RightButton, {}, at.toPoint());
    auto* menu = f.view.findChild<QMenu*>(QStringLiteral("GlobePlaceMenu"));
    QVERIFY(menu != nullptr && menu->isVisible());
    auto* action = menu->findChild<QAction*>(QLatin1String(name));
    QVERIFY(action != nullptr);
    action->trigger();
    menu->close();
    QTest::qWait(0);
  };
  menuAction(f.At(800, 533), "SetPlaceHere");
  QCOMPARE(places.count(), 1);
  QVERIFY(std::abs(places.last().at(0).toDouble() - 10) < 1e-9);
  QVERIFY(std::abs(places.last().at(1).toDouble() - 20) < 1e-9);
  QCOMPARE(requests.count(), 0);
  menuAction(f.At(1050, 533), "CentreHere");
  QCOMPARE(places.count(), 1);
  QCOMPARE(FinalCount(requests), 1);
  const auto point = darvelle::UnprojectPixel(GlobeProjection(20 * kDeg, 10 * kDeg, 0, 500, false),
                                              {1050, 533});
  const ViewParameters v = LastView(requests);
  QVERIFY(std::abs(20 + v.Psi - point->longitude) < 1e-9);
  QVERIFY(std::abs(10 + v.Phi - point->latitude) < 1e-9);
}

void GlobeViewTest::helpTipStaysClearOfThePointer_data() {
  QTest::addColumn<double>("height");  // where in the view, as a share of its height
  QTest::newRow("middle") << 0.5;
  QTest::newRow("bottom edge") << 0.98;
}

void GlobeViewTest::helpTipStaysClearOfThePointer() {
  QFETCH(double, height);
  GlobeFixture f;
  // Down to the screen's foot, where Qt would lift the tip onto the pointer.
  const QRect screen = f.view.screen()->availableGeometry();
  f.view.move(screen.left(), screen.bottom() - f.view.frameGeometry().height() + 1);
  f.view.setToolTip(QStringLiteral("Drag: turn · Wheel: size · Double-click: centre"));
  const QPoint at(400, static_cast<int>(f.view.height() * height));
  QHelpEvent help(QEvent::ToolTip, at, f.view.mapToGlobal(at));
  QApplication::sendEvent(&f.view, &help);
  QWidget* tip = nullptr;
  QTRY_VERIFY((tip = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("QTipLabel") && w->isVisible()) return w;
    return static_cast<QWidget*>(nullptr);
  }()) != nullptr);
  const QPoint pointer = f.view.mapToGlobal(at);
  const QRect clear(pointer - QPoint(20, 20), QSize(40, 40));
  QVERIFY2(!tip->geometry().intersects(clear),
           qPrintable(QStringLiteral("tip at %1,%2 %3x%4, pointer %5,%6")
                          .arg(tip->x()).arg(tip->y()).arg(tip->width()).arg(tip->height())
                          .arg(pointer.x()).arg(pointer.y())));
  QToolTip::hideText();
}

void GlobeViewTest::keysPanAndZoom_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("psiSign");
  QTest::addColumn<int>("phiSign");
  QTest::addColumn<int>("radius");
  QTest::newRow("right") << int(Qt::Key_Right) << 1 << 0 << 500;
  QTest::newRow("left") << int(Qt::Key_Left) << -1 << 0 << 500;
  QTest::newRow("up") << int(Qt::Key_Up) << 0 << 1 << 500;
  QTest::newRow("down") << int(Qt::Key_Down) << 0 << -1 << 500;
  QTest::newRow("plus") << int(Qt::Key_Plus) << 0 << 0 << 600;
  QTest::newRow("equal") << int(Qt::Key_Equal) << 0 << 0 << 600;
  QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << 0 << 417;
}

void GlobeViewTest::keysPanAndZoom() {
  QFETCH(int, key);
  QFETCH(int, psiSign);
  QFETCH(int, phiSign);
  QFETCH(int, radius);
  GlobeFixture f;
  QSignalSpy requests(&f.view, &GlobeView::viewRequested);
  QTest::keyClick(&f.view, Qt::Key(key));
  QCOMPARE(requests.count(), 1);
  const ViewParameters v = LastView(requests);
  QCOMPARE(v.RK, radius);
  QCOMPARE(v.Psi > 1 ? 1 : (v.Psi < -1 ? -1 : 0), psiSign);
  QCOMPARE(v.Phi > 1 ? 1 : (v.Phi < -1 ? -1 : 0), phiSign);
}

void GlobeViewTest::withoutAMapNothingHappens() {
  GlobeView view;
  view.resize(400, 300);
  view.show();
  QSignalSpy requests(&view, &GlobeView::viewRequested);
  QSignalSpy places(&view, &GlobeView::placeClicked);
  Drag(&view, QPointF(100, 100), QPointF(200, 150));
  Wheel(&view, QPointF(100, 100), 120);
  QTest::keyClick(&view, Qt::Key_Right);
  QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(200, 150));
  QTest::qWait(GlobeView::kSettleMilliseconds * 2);
  QCOMPARE(requests.count(), 0);
  QCOMPARE(places.count(), 0);
  QVERIFY(view.displayImage().isNull());
}

void GlobeViewTest::overlayMapsThePictureOfAnotherWidget() {
  // Over a panel that shows a 1000 x 666 copy of the drawing at its top left.
  GlobeView overlay;
  overlay.setOverlay(true);
  overlay.setMapPlacement(Qt::AlignLeft | Qt::AlignTop, QSize(1000, 666));
  overlay.resize(1000, 800);
  overlay.show();
  overlay.setMap(QImage(), ViewParameters{}, GlobeProjection(20 * kDeg, 10 * kDeg, 0, 500, false));
  QVERIFY(overlay.displayImage().isNull());
  QCOMPARE(overlay.mapRect(), QRectF(0, 0, 1000, 666));
  const ImagePosition centre = overlay.imagePositionAt(QPointF(500, 333));
  QVERIFY(std::abs(centre.x - 800) < 1e-9 && std::abs(centre.y - 533) < 1e-9);
  QSignalSpy places(&overlay, &GlobeView::placeClicked);
  QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(500, 333));
  QTRY_COMPARE(places.count(), 1);
  QVERIFY(std::abs(places.last().at(0).toDouble() - 10) < 1e-9);
  QVERIFY(std::abs(places.last().at(1).toDouble() - 20) < 1e-9);
}

// Over a panel whose drawing is the panel itself in device pixels, the globe
// size is the radius in logical pixels: a widget point's place is the one the
// inverse projection gives for its canvas pixel and comes back to the same
// widget point, and the place at RK / 2 logical pixels right of the centre
// lies 30 deg east of it, at the screen's pixel ratio and at twice it.
void GlobeViewTest::overlayOnAScreenCanvasSpeaksLogicalPixels() {
  GlobeView overlay;
  overlay.setOverlay(true);
  overlay.resize(900, 620);
  overlay.show();
  const qreal ratio = overlay.devicePixelRatioF();
  const darvelle::MapCanvas canvas = darvelle::ScreenCanvas(900, 620, ratio);
  overlay.setMapPlacement(Qt::AlignLeft | Qt::AlignTop, QSize(canvas.width, canvas.height));
  ViewParameters view;
  view.RK = 240;
  const GlobeProjection projection(20 * kDeg, 0, 0, view.RK, false, canvas);
  overlay.setMap(QImage(), view, projection);
  QCOMPARE(overlay.mapRect(), QRectF(0, 0, 900, 620));
  for (const QPointF at : {QPointF(450, 310), QPointF(571.5, 200.25), QPointF(300, 480)}) {
    const ImagePosition pixel = overlay.imagePositionAt(at);
    QVERIFY(std::abs(pixel.x - at.x() * ratio) < 1e-9 && std::abs(pixel.y - at.y() * ratio) < 1e-9);
    const auto place = darvelle::UnprojectPixel(projection, pixel);
    QVERIFY(place.has_value());
    const auto back = overlay.widgetPointOfPlace(*place);
    QVERIFY(back.has_value());
    QVERIFY2(QLineF(*back, at).length() < 1e-6, qPrintable(QStringLiteral("%1 %2").arg(back->x()).arg(back->y())));
  }
  QSignalSpy places(&overlay, &GlobeView::placeClicked);
  QTest::mouseClick(&overlay, Qt::LeftButton, {}, QPoint(450 + 120, 310));
  QTRY_COMPARE(places.count(), 1);
  QVERIFY(std::abs(places.last().at(0).toDouble()) < 1e-9);
  QVERIFY(std::abs(places.last().at(1).toDouble() - 50) < 1e-9);
}

void GlobeViewTest::cursorCoordinateTexts_data() {
  QTest::addColumn<double>("latitude");
  QTest::addColumn<double>("longitude");
  QTest::addColumn<int>("language");
  QTest::addColumn<QString>("text");
  QTest::newRow("Berlin en") << 52.52 << 13.405 << 1 << QString::fromUtf8("52°31.2′ N  13°24.3′ E");
  QTest::newRow("Sydney de") << -33.8688 << 151.2093 << 0
                             << QString::fromUtf8("33°52.1′ S  151°12.6′ O");
  QTest::newRow("west fr") << 0.0 << -0.5 << 2 << QString::fromUtf8("0°00.0′ N  0°30.0′ O");
  QTest::newRow("wrapped") << 10.0 << 190.0 << 1 << QString::fromUtf8("10°00.0′ N  170°00.0′ W");
  QTest::newRow("minutes round up") << 1.99999 << 0.0 << 1
                                    << QString::fromUtf8("2°00.0′ N  0°00.0′ E");
}

void GlobeViewTest::cursorCoordinateTexts() {
  QFETCH(double, latitude);
  QFETCH(double, longitude);
  QFETCH(int, language);
  QFETCH(QString, text);
  QCOMPARE(darvelle::ui::CursorCoordinateText(latitude, longitude, darvelle::ui::KnownLanguage(language)), text);
}

QTEST_MAIN(GlobeViewTest)
#include "globe_view_test.moc"
