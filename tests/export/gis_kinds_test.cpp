// The words and colours the GIS files give an eclipse's kinds: the ids that
// scripts read ("total", "non_central_annular"), the kind of eclipse at each
// event's place and the marker colour that follows from it.

#include <gtest/gtest.h>

#include "export/gis_layers.h"
#include "export/gis_texts.h"

namespace darvelle {
namespace {

TEST(GisKinds, CentralKindIds) {
  const struct {
    CentralKind kind;
    const char* id;
  } cases[] = {
      {CentralKind::Total, "total"},
      {CentralKind::Annular, "annular"},
      {CentralKind::None, "partial"},
  };
  for (const auto& c : cases) EXPECT_EQ(CentralKindId(c.kind), c.id);
}

TEST(GisKinds, EclipseTypeIdsFollowTheCataloguesCodes) {
  // The catalogue's codes 1 .. 6; a damaged record may carry any other.
  const struct {
    int code;
    const char* id;
  } cases[] = {
      {1, "partial"},           {2, "total"},
      {3, "annular"},           {4, "hybrid"},
      {5, "non_central_total"}, {6, "non_central_annular"},
      {0, "unknown"},           {7, "unknown"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EclipseTypeId(static_cast<EclipseKind>(c.code)), c.id) << c.code;
  }
}

GisSource SourceOfKind(EclipseKind kind, CentralKind atTC1, CentralKind atTC2) {
  GisSource source;
  source.eclipse.kind = kind;
  source.events.push_back({EventId::TC1, 0.0, {}, atTC1});
  source.events.push_back({EventId::TC2, 0.0, {}, atTC2});
  return source;
}

// An event on the umbra's edge takes the eclipse's kind; on a hybrid, whose
// path changes kind, the kind of the central line's end nearer in time.
TEST(GisKinds, LocalCentralKindOfTheUmbralEvents) {
  using enum CentralKind;
  const struct {
    EclipseKind eclipse;
    EventId event;
    CentralKind expected;
  } cases[] = {
      {EclipseKind::Total, EventId::TU1, Total},
      {EclipseKind::NonCentralTotal, EventId::TUS2, Total},
      {EclipseKind::Annular, EventId::TU4, Annular},
      {EclipseKind::NonCentralAnnular, EventId::TUN1, Annular},
      {EclipseKind::Hybrid, EventId::TU1, Annular},   // nearer TC1
      {EclipseKind::Hybrid, EventId::TUN1, Annular},  // nearer TC1
      {EclipseKind::Hybrid, EventId::TU3, Total},     // nearer TC2
      {EclipseKind::Hybrid, EventId::TUS2, Total},    // nearer TC2
      {EclipseKind::Total, EventId::TP1, None},       // not an umbral event
      {EclipseKind::Partial, EventId::TPN2, None},
  };
  for (const auto& c : cases) {
    const GisSource source = SourceOfKind(c.eclipse, Annular, Total);
    const GisEvent event{c.event, 0.0, {}, None};
    EXPECT_EQ(LocalCentralKind(source, event), c.expected)
        << static_cast<int>(c.eclipse) << " " << static_cast<int>(c.event);
  }
  // An event's own kind stands, whatever the eclipse's type says.
  const GisSource total = SourceOfKind(EclipseKind::Total, Total, Total);
  EXPECT_EQ(LocalCentralKind(total, GisEvent{EventId::TG0, 0.0, {}, Annular}), Annular);
  // A hybrid without the central line's ends has no kind to give.
  GisSource bare;
  bare.eclipse.kind = EclipseKind::Hybrid;
  EXPECT_EQ(LocalCentralKind(bare, GisEvent{EventId::TU2, 0.0, {}, None}), None);
}

// The markers of the central line's ends and of greatest eclipse are ringed
// white where total, yellow where annular, as on the map.
TEST(GisKinds, EventColoursOfTheCentralKinds) {
  const struct {
    EventId event;
    CentralKind kind;
    QRgb color;
  } cases[] = {
      {EventId::TC1, CentralKind::Total, qRgb(255, 255, 255)},
      {EventId::TC2, CentralKind::Annular, qRgb(255, 255, 0)},
      {EventId::TG0, CentralKind::Total, qRgb(255, 255, 255)},
      {EventId::TG0, CentralKind::Annular, qRgb(255, 255, 0)},
      {EventId::TP1, CentralKind::None, qRgb(0, 128, 0)},
      {EventId::TP2, CentralKind::None, qRgb(255, 0, 0)},
      {EventId::TU2, CentralKind::Total, qRgb(0, 0, 0)},  // no marker on the map
      {EventId::TPN1, CentralKind::None, qRgb(0, 0, 255)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EventColor(c.event, c.kind), c.color) << static_cast<int>(c.event);
  }
}

}  // namespace
}  // namespace darvelle
