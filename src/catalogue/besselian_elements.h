#pragma once
// The Besselian elements of one eclipse as the computations read them: plain
// aligned values with typed fields, made from a catalogue record at the
// catalogue boundary. The packed record (catalogue/eclipse_record.h) keeps
// the file's layout; nothing downstream of the catalogue reads it.

#include <cstdint>

#include "catalogue/eclipse_record.h"

namespace darvelle {

class Catalogue;

// A cubic c0 + c1*t + c2*t^2 + c3*t^3, t in TT hours from the epoch hour.
struct Cubic {
  double c[4] = {0, 0, 0, 0};
  double At(double t) const { return c[0] + t * (c[1] + t * (c[2] + t * c[3])); }
  // Time derivative per hour.
  double RateAt(double t) const { return c[1] + t * (2.0 * c[2] + t * 3.0 * c[3]); }
};

// The catalogue's classification (the record's EclipseType code, 1 .. 6).
// A damaged record may carry another code; it is kept as it stands.
enum class EclipseKind : std::int32_t {
  Partial = 1,
  Total = 2,
  Annular = 3,
  Hybrid = 4,
  NonCentralTotal = 5,
  NonCentralAnnular = 6,
};

// What the catalogue says of an eclipse besides its polynomials: the date,
// classification and Saros series that lists and exported files name it by.
struct EclipseDescription {
  int year = 0;         // astronomical numbering, -4999 .. 7000
  int month = 0;        // 1 .. 12
  int day = 0;          // TT date of greatest eclipse
  EclipseKind kind = EclipseKind::Partial;
  int saros = 0;
  int sarosMember = 0;  // 1-based
  int sarosMemberCount = 0;
};

struct BesselianElements : EclipseDescription {
  int epochHour = 0;    // 0 .. 24, TT epoch of every polynomial
  double julianDay = 0; // TT at epochHour:00 of that date
  double gamma = 0;     // Earth equatorial radii, signed
  int lunation = 0;

  // Geocentric ephemeris: angles in degrees, distances in AU.
  Cubic sunRightAscension, sunDeclination, sunDistance;
  Cubic moonRightAscension, moonDeclination, moonDistance;
  // Shadow axis on the fundamental plane (Earth radii), its declination d and
  // hour angle mu (degrees), shadow radii l1, l2 (Earth radii), cone slopes.
  Cubic x, y, d, mu, l1, l2, tanF1, tanF2;
};

// The record's values as they stand (its stored JulianDay included).
BesselianElements ElementsFromRecord(const EclipseRecord& record);
EclipseDescription DescriptionFromRecord(const EclipseRecord& record);

// Record `index`'s date, kind and Saros series, for lists and files that
// name an eclipse; throws std::out_of_range outside 1 .. Count().
EclipseDescription DescriptionOf(const Catalogue& catalogue, int index);

// Record `index` of the catalogue with its Julian Day recomputed from its date
// at the epoch hour (the stored value is ignored); throws std::out_of_range
// for an index outside 1 .. Count().
BesselianElements CurrentElements(const Catalogue& catalogue, int index);

}  // namespace darvelle
