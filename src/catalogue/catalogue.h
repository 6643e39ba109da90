#pragma once
// The catalogue of Besselian elements: every record of the file, in
// chronological order, numbered from 1. Read once, never changed.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
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

// The catalogue file for a process that computes one eclipse of it: the file
// passes the checks of LoadCatalogue, with the same messages, as it streams
// through a small buffer, and only each record's date is kept; a record is
// read from the file when it is asked for. The whole file's memory, and the
// time to fill it, is saved.
class CatalogueFile {
 public:
  explicit CatalogueFile(const std::filesystem::path& file);

  int Count() const { return static_cast<int>(dates_.size()); }
  // Year, Month, Day of record i, 1 <= i <= Count(); throws std::out_of_range
  // otherwise.
  int CatalogueYear(int index) const { return DateOf(index).year; }
  int CatalogueMonth(int index) const { return DateOf(index).month; }
  int CatalogueDay(int index) const { return DateOf(index).day; }
  // Record i as LoadCatalogue holds it; throws std::out_of_range outside
  // 1 .. Count(), FileError when it cannot be read (the file shrank).
  EclipseRecord Record(int index) const;
  const std::filesystem::path& Source() const { return source_; }

 private:
  struct Date {
    std::int32_t year, month, day;
  };
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  const Date& DateOf(int index) const;

  std::unique_ptr<std::FILE, FileCloser> in_;
  std::vector<Date> dates_;
  std::filesystem::path source_;
};

// As above, for a record of the file.
EclipseRecord MakeCurrentEclipse(const CatalogueFile& catalogue, int index);

}  // namespace darvelle
