#pragma once
// One eclipse of the catalogue: 668 bytes, little-endian, packed with doubles
// on 4-byte boundaries, exactly as the catalogue file stores it, so the file is
// read into an array of these in one block.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace darvelle {

static_assert(std::endian::native == std::endian::little,
              "the catalogue file is little-endian and read as it stands");

#pragma pack(push, 4)
// A cubic c0 + c1*t + c2*t^2 + c3*t^3, t in TT hours from the record's EpochHour.
struct Polynomial {
  double c[4];
  double At(double t) const { return c[0] + t * (c[1] + t * (c[2] + t * c[3])); }
  // Time derivative per hour.
  double RateAt(double t) const { return c[1] + t * (2.0 * c[2] + t * 3.0 * c[3]); }
};

struct EclipseRecord {
  std::int32_t Year;         // astronomical numbering, -4999 .. 7000
  std::int32_t Month;        // 1 .. 12
  std::int32_t Day;          // day of month (TT date of greatest eclipse)
  std::int32_t EclipseType;  // 1 partial .. 6 non-central annular (see EclipseType)
  std::uint8_t Reserved[8];  // not read
  double Gamma;              // Earth equatorial radii, signed
  double JulianDay;          // TT at EpochHour:00; recomputed by MakeCurrentEclipse
  std::int32_t LunationNumber;
  std::int32_t SarosNumber;
  std::int32_t EpochHour;    // 0 .. 24, epoch of every polynomial
  Polynomial SunRAPoly;        // degrees
  Polynomial SunDecPoly;       // degrees
  Polynomial SunDistancePoly;  // AU
  Polynomial MoonRAPoly;       // degrees
  Polynomial MoonDecPoly;      // degrees
  Polynomial MoonDistancePoly; // AU
  Polynomial XPoly;            // Earth radii
  Polynomial YPoly;            // Earth radii
  Polynomial DPoly;            // degrees
  Polynomial MuPoly;           // degrees
  Polynomial L1Poly;           // Earth radii
  Polynomial L2Poly;           // Earth radii
  Polynomial TanF1Poly;
  Polynomial TanF2Poly;
  std::int32_t SarosMember;       // 1-based
  std::int32_t SarosMemberCount;
  std::uint8_t WorkArea[160];     // not read from the file; zero in our catalogue
};
#pragma pack(pop)

inline constexpr std::size_t kEclipseRecordSize = 668;

static_assert(sizeof(Polynomial) == 32);
static_assert(sizeof(EclipseRecord) == kEclipseRecordSize);
static_assert(offsetof(EclipseRecord, Year) == 0);
static_assert(offsetof(EclipseRecord, Month) == 4);
static_assert(offsetof(EclipseRecord, Day) == 8);
static_assert(offsetof(EclipseRecord, EclipseType) == 12);
static_assert(offsetof(EclipseRecord, Reserved) == 16);
static_assert(offsetof(EclipseRecord, Gamma) == 24);
static_assert(offsetof(EclipseRecord, JulianDay) == 32);
static_assert(offsetof(EclipseRecord, LunationNumber) == 40);
static_assert(offsetof(EclipseRecord, SarosNumber) == 44);
static_assert(offsetof(EclipseRecord, EpochHour) == 48);
static_assert(offsetof(EclipseRecord, SunRAPoly) == 52);
static_assert(offsetof(EclipseRecord, SunDecPoly) == 84);
static_assert(offsetof(EclipseRecord, SunDistancePoly) == 116);
static_assert(offsetof(EclipseRecord, MoonRAPoly) == 148);
static_assert(offsetof(EclipseRecord, MoonDecPoly) == 180);
static_assert(offsetof(EclipseRecord, MoonDistancePoly) == 212);
static_assert(offsetof(EclipseRecord, XPoly) == 244);
static_assert(offsetof(EclipseRecord, YPoly) == 276);
static_assert(offsetof(EclipseRecord, DPoly) == 308);
static_assert(offsetof(EclipseRecord, MuPoly) == 340);
static_assert(offsetof(EclipseRecord, L1Poly) == 372);
static_assert(offsetof(EclipseRecord, L2Poly) == 404);
static_assert(offsetof(EclipseRecord, TanF1Poly) == 436);
static_assert(offsetof(EclipseRecord, TanF2Poly) == 468);
static_assert(offsetof(EclipseRecord, SarosMember) == 500);
static_assert(offsetof(EclipseRecord, SarosMemberCount) == 504);
static_assert(offsetof(EclipseRecord, WorkArea) == 508);

// Values of EclipseRecord::EclipseType.
enum EclipseType : std::int32_t {
  kPartial = 1,
  kTotal = 2,
  kAnnular = 3,
  kHybrid = 4,
  kNonCentralTotal = 5,
  kNonCentralAnnular = 6,
};

}  // namespace darvelle
