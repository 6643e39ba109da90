#include "export/gis_layers.h"

#include "render/map_layers.h"

namespace darvelle {
namespace {

// Consecutive central-line vertices of one kind; a run starts at the last
// vertex of the run before it, as the map colours a segment by its end point.
void AddCentralRuns(const GisSource& source, GisLayers& layers) {
  const GeoLine& line = source.Curve(MapCurve::CentralLine);
  // Segment i joins vertices i - 1 and i and has the kind of vertex i.
  std::size_t first = 1;
  while (first < line.size()) {
    const CentralKind kind = source.centralKinds[first];
    std::size_t last = first;
    while (last + 1 < line.size() && source.centralKinds[last + 1] == kind) ++last;
    const GeoLine run(line.begin() + static_cast<std::ptrdiff_t>(first - 1),
                      line.begin() + static_cast<std::ptrdiff_t>(last + 1));
    std::vector<GeoLine> parts = SplitAtAntimeridian(run);
    if (!parts.empty()) {
      layers.lines.push_back({MapCurve::CentralLine, std::move(parts),
                              kind == CentralKind::Annular ? kCentralAnnularColor : kCentralTotalColor,
                              kind});
    }
    first = last + 1;
  }
}

}  // namespace

GisLayers BuildGisLayers(const GisSource& source) {
  GisLayers layers;
  layers.zones = EclipseZones(source);
  for (int i = 0; i < kMapCurveCount; ++i) {
    const auto curve = static_cast<MapCurve>(i);
    if (curve == MapCurve::CentralLine) {
      AddCentralRuns(source, layers);
      continue;
    }
    std::vector<GeoLine> parts = SplitAtAntimeridian(source.Curve(curve));
    if (!parts.empty()) layers.lines.push_back({curve, std::move(parts), StyleOf(curve).color});
  }
  return layers;
}

// A TU event's local kind follows the umbra: total or annular by the
// eclipse's type, on a hybrid by the central end nearer in time.
CentralKind LocalCentralKind(const GisSource& source, const GisEvent& event) {
  if (event.CentralKind != CentralKind::None) return event.CentralKind;
  const int id = static_cast<int>(event.Id);
  if (id < static_cast<int>(EventId::TU1) || id > static_cast<int>(EventId::TUS2)) {
    return CentralKind::None;
  }
  switch (source.eclipse.kind) {
    case EclipseKind::Total:
    case EclipseKind::NonCentralTotal: return CentralKind::Total;
    case EclipseKind::Annular:
    case EclipseKind::NonCentralAnnular: return CentralKind::Annular;
    default: break;
  }
  const bool early = event.Id == EventId::TU1 || event.Id == EventId::TU2 ||
                     event.Id == EventId::TUN1 || event.Id == EventId::TUS1;
  const GisEvent* end = source.Event(early ? EventId::TC1 : EventId::TC2);
  return end != nullptr ? end->CentralKind : CentralKind::None;
}

QRgb ZoneBandColor(ZoneKind kind) {
  switch (kind) {
    case ZoneKind::Totality: return kTotalityBandColor;
    case ZoneKind::Annularity: return kAnnularityBandColor;
    case ZoneKind::Hybrid: return kHybridBandColor;
    case ZoneKind::Partial: return kPartialZoneColor;
  }
  return kPartialZoneColor;
}

QRgb ZoneColor(ZoneKind kind) {
  const QRgb band = ZoneBandColor(kind);
  return qRgb(qRed(band), qGreen(band), qBlue(band));
}

QRgb EventColor(EventId id, CentralKind centralKind) {
  switch (MarkerKindOf(id)) {
    case MarkerKind::Contact: return qRgb(0, 128, 0);
    case MarkerKind::InnerContact: return qRgb(255, 0, 0);
    case MarkerKind::LimitOnLimb: return qRgb(0, 0, 255);
    case MarkerKind::CentralEnd:
    case MarkerKind::Greatest:
      // The map rings these black discs white where total, yellow where annular.
      return centralKind == CentralKind::Total ? qRgb(255, 255, 255) : qRgb(255, 255, 0);
    case MarkerKind::None: break;
  }
  return qRgb(0, 0, 0);
}

}  // namespace darvelle
