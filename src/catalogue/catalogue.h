#pragma once
// The catalogue of Besselian elements: every record of the file, in
// chronological order, numbered from 1. Read once, never changed.

#include <filesystem>
#include <vector>

#include "catalogue/eclipse_record.h"
#include "catalogue/record_check.h"

namespace darvelle {

// Records a catalogue file can hold: the catalogue has 28,504; a file of
// ten times that is no catalogue (and a record count must fit an int).
inline constexpr int kMaxCatalogueRecords = 285040;

class Catalogue {
 public:
  Catalogue() = default;
  // `source`: the file the records came from, named in the messages about them.
  explicit Catalogue(std::vector<EclipseRecord> records, std::filesystem::path source = {})
      : records_(std::move(records)), source_(std::move(source)) {}

  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  // Record i, 1 <= i <= Count(); throws std::out_of_range otherwise.
  const EclipseRecord& Record(int index) const;
  int CatalogueYear(int index) const { return Record(index).Year; }
  int CatalogueSaros(int index) const { return Record(index).SarosNumber; }
  const std::filesystem::path& Source() const { return source_; }

 private:
  std::vector<EclipseRecord> records_;
  std::filesystem::path source_;
};

// Reads the whole file in one block. The file must be a positive whole number
// of 668-byte records, at most kMaxCatalogueRecords of them (checked before
// anything is read), in chronological order (Year, Month, Day never
// decreasing); anything else (missing, empty, misaligned, oversized,
// unordered, unreadable) throws FileError naming the file and what is wrong,
// for disorder the first record out of order. The fields of a record are
// checked when it becomes the current eclipse, so one damaged record does not
// cost the others.
Catalogue LoadCatalogue(const std::filesystem::path& file);

// Copy of record i with JulianDay recomputed from its date at EpochHour:00 TT
// (the stored value is ignored). Throws RecordError naming the record, the
// file and the field when the record fails RecordProblem: nothing computes
// with such a record.
EclipseRecord MakeCurrentEclipse(const Catalogue& catalogue, int index);

}  // namespace darvelle
