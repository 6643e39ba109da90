#pragma once
// The nineteen events of the general circumstances: contacts of the penumbra
// and umbra, limits on the limb, ends of the central line, greatest eclipse.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace darvelle {

// Table order, which the drawing and the tables of circumstances rely on
// (the northern pair of each limit precedes the southern pair; the report
// prints them in another order, see kReportEventOrder).
enum class EventId : int {
  TP1 = 0, TP2, TP3, TP4,
  TPN1, TPN2, TPS1, TPS2,
  TU1, TU2, TU3, TU4,
  TUN1, TUN2, TUS1, TUS2,
  TC1, TC2, TG0,
};
inline constexpr int kEventCount = 19;

// Four-character report labels, by table index.
inline constexpr std::array<std::string_view, kEventCount> kEventLabels = {
    "TP1 ", "TP2 ", "TP3 ", "TP4 ", "TPN1", "TPN2", "TPS1", "TPS2", "TU1 ", "TU2 ",
    "TU3 ", "TU4 ", "TUN1", "TUN2", "TUS1", "TUS2", "TC1 ", "TC2 ", "TG0 "};

// The kind of the central eclipse where the shadow axis meets the Earth
// (TC1, TC2, TG0 and the central line's points). Inside the program only:
// every file that shows it writes its own word for it.
enum class CentralKind : std::uint8_t { None, Annular, Total };

struct EclipseEvent {
  std::optional<double> Time;     // hours from T0 (TT); empty when the event does not occur
  double EphemerisLongitude = 0;  // radians, east positive, [-pi, pi]
  double Longitude = 0;           // radians, DeltaT-corrected, [-pi, pi]
  double Latitude = 0;            // geodetic, radians
  darvelle::CentralKind CentralKind = darvelle::CentralKind::None;  // TC1, TC2, TG0 only

  bool exists() const { return Time.has_value(); }
};

struct EclipseEvents {
  std::array<EclipseEvent, kEventCount> entries{};

  EclipseEvent& operator[](EventId id) { return entries[static_cast<int>(id)]; }
  const EclipseEvent& operator[](EventId id) const { return entries[static_cast<int>(id)]; }
  std::optional<double> Time(EventId id) const { return (*this)[id].Time; }
  void Clear() { entries = {}; }
};

}  // namespace darvelle
