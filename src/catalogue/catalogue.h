#pragma once
// The catalogue of Besselian elements: every record of the file, in
// chronological order, numbered from 1. Read once, never changed.

#include <filesystem>
#include <vector>

#include "catalogue/eclipse_record.h"

namespace darvelle {

class Catalogue {
 public:
  Catalogue() = default;
  explicit Catalogue(std::vector<EclipseRecord> records) : records_(std::move(records)) {}

  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  // Record i, 1 <= i <= Count(); throws std::out_of_range otherwise.
  const EclipseRecord& Record(int index) const;
  int CatalogueYear(int index) const { return Record(index).Year; }
  int CatalogueSaros(int index) const { return Record(index).SarosNumber; }

 private:
  std::vector<EclipseRecord> records_;
};

// Reads the whole file in one block. The file must be a positive whole number
// of 668-byte records; anything else (missing, empty, misaligned, unreadable)
// throws FileError naming the file, its size and what was expected.
Catalogue LoadCatalogue(const std::filesystem::path& file);

// Copy of record i with JulianDay recomputed from its date at EpochHour:00 TT
// (the stored value is ignored).
EclipseRecord MakeCurrentEclipse(const Catalogue& catalogue, int index);

}  // namespace darvelle
