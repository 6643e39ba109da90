#include "catalogue/catalogue.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>

#include "astro/calendar.h"
#include "catalogue/data_files.h"
#include "catalogue/record_check.h"

namespace darvelle {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& cause) {
  throw FileError("Cannot load the eclipse catalogue \"" + file.string() + "\": " + cause);
}

}  // namespace

const EclipseRecord& Catalogue::Record(int index) const {
  if (index < 1 || index > Count()) {
    throw std::out_of_range("catalogue index " + std::to_string(index) + " outside 1 .. " +
                            std::to_string(Count()));
  }
  return records_[static_cast<std::size_t>(index - 1)];
}

namespace {

// Index (1-based) of the first record dated before the one preceding it, or 0.
int FirstOutOfOrder(const std::vector<EclipseRecord>& records) {
  for (std::size_t i = 1; i < records.size(); ++i) {
    const EclipseRecord& a = records[i - 1];
    const EclipseRecord& b = records[i];
    if (std::tie(b.Year, b.Month, b.Day) < std::tie(a.Year, a.Month, a.Day)) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

std::string DateText(const EclipseRecord& r) {
  return std::to_string(r.Year) + "-" + std::to_string(r.Month) + "-" + std::to_string(r.Day);
}

}  // namespace

namespace {

// The file open and its size checked: a positive whole number of records, at
// most kMaxCatalogueRecords. Returns the number of records, the file at its
// start.
std::size_t CheckedRecordCount(const std::filesystem::path& file, std::FILE* in) {
  if (std::fseek(in, 0, SEEK_END) != 0) Fail(file, std::strerror(errno));
  const long size = std::ftell(in);
  if (size < 0) Fail(file, std::strerror(errno));
  constexpr long kMaxBytes = static_cast<long>(kMaxCatalogueRecords) * static_cast<long>(kEclipseRecordSize);
  if (size > kMaxBytes) {
    Fail(file, "its size is " + std::to_string(size) + " bytes, more than the " +
                   std::to_string(kMaxBytes) + " bytes of " + std::to_string(kMaxCatalogueRecords) +
                   " records that any catalogue can hold");
  }
  if (size == 0 || size % static_cast<long>(kEclipseRecordSize) != 0) {
    Fail(file, "its size is " + std::to_string(size) +
                   " bytes; expected a positive whole multiple of " +
                   std::to_string(kEclipseRecordSize) + " bytes (one record each)");
  }
  std::rewind(in);
  return static_cast<std::size_t>(size) / kEclipseRecordSize;
}

[[noreturn]] void FailShortRead(const std::filesystem::path& file, std::FILE* in, std::size_t read,
                                std::size_t count) {
  Fail(file, "read " + std::to_string(read) + " of " + std::to_string(count) + " records" +
                 (std::ferror(in) ? std::string(": ") + std::strerror(errno) : ""));
}

// The year search and the Saros steps rely on the order: an unordered file
// would pick an eclipse of another millennium without a word.
[[noreturn]] void FailOutOfOrder(const std::filesystem::path& file, int index,
                                 const std::string& before, const std::string& date) {
  Fail(file, "record " + std::to_string(index) + " (" + date + ") comes after record " +
                 std::to_string(index - 1) + " (" + before +
                 "); the records must be in chronological order");
}

}  // namespace

Catalogue LoadCatalogue(const std::filesystem::path& file) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) Fail(file, std::strerror(errno));
  std::vector<EclipseRecord> records(CheckedRecordCount(file, in.get()));
  const std::size_t read = std::fread(records.data(), kEclipseRecordSize, records.size(), in.get());
  if (read != records.size()) FailShortRead(file, in.get(), read, records.size());
  if (const int index = FirstOutOfOrder(records); index != 0) {
    const auto i = static_cast<std::size_t>(index - 1);
    FailOutOfOrder(file, index, DateText(records[i - 1]), DateText(records[i]));
  }
  return Catalogue(std::move(records), file);
}

CatalogueFile::CatalogueFile(const std::filesystem::path& file)
    : in_(std::fopen(file.c_str(), "rb")), source_(file) {
  if (!in_) Fail(file, std::strerror(errno));
  const std::size_t count = CheckedRecordCount(file, in_.get());
  dates_.reserve(count);
  // A few hundred kilobytes at a time: the file passes through the cache
  // instead of filling the process's memory.
  constexpr std::size_t kBlock = 384;
  std::vector<EclipseRecord> block(std::min(kBlock, count));
  while (dates_.size() < count) {
    const std::size_t wanted = std::min(block.size(), count - dates_.size());
    const std::size_t read = std::fread(block.data(), kEclipseRecordSize, wanted, in_.get());
    if (read != wanted) FailShortRead(file, in_.get(), dates_.size() + read, count);
    for (std::size_t i = 0; i < read; ++i) {
      const EclipseRecord& r = block[i];
      if (!dates_.empty()) {
        const Date& b = dates_.back();
        if (std::tie(r.Year, r.Month, r.Day) < std::tie(b.year, b.month, b.day)) {
          FailOutOfOrder(file, static_cast<int>(dates_.size()) + 1,
                         std::to_string(b.year) + "-" + std::to_string(b.month) + "-" +
                             std::to_string(b.day),
                         DateText(r));
        }
      }
      dates_.push_back({r.Year, r.Month, r.Day});
    }
  }
}

const CatalogueFile::Date& CatalogueFile::DateOf(int index) const {
  if (index < 1 || index > Count()) {
    throw std::out_of_range("catalogue index " + std::to_string(index) + " outside 1 .. " +
                            std::to_string(Count()));
  }
  return dates_[static_cast<std::size_t>(index - 1)];
}

EclipseRecord CatalogueFile::Record(int index) const {
  (void)DateOf(index);
  EclipseRecord record{};
  // From the file, not the stream's buffer, so that a file changed since
  // the checks is noticed here.
  const auto offset = static_cast<off_t>(index - 1) * static_cast<off_t>(kEclipseRecordSize);
  ssize_t read = 0;
  do {
    read = ::pread(::fileno(in_.get()), &record, kEclipseRecordSize, offset);
  } while (read < 0 && errno == EINTR);
  if (read != static_cast<ssize_t>(kEclipseRecordSize)) {
    Fail(source_, "record " + std::to_string(index) + " could not be read again: " +
                      (read < 0 ? std::string(std::strerror(errno)) : "the file is shorter than it was"));
  }
  return record;
}

namespace {

EclipseRecord CurrentEclipseFrom(EclipseRecord current, int index,
                                 const std::filesystem::path& source) {
  if (const auto problem = RecordProblem(current)) {
    std::string where = "Eclipse record " + std::to_string(index);
    if (!source.empty()) where += " of \"" + source.string() + "\"";
    throw RecordError(EscapeControlBytes(where + " cannot be used: " + *problem));
  }
  current.JulianDay =
      CalendarToJulianDay(current.Year, current.Month, current.Day, current.EpochHour, 0.0, 0.0);
  return current;
}

}  // namespace

EclipseRecord MakeCurrentEclipse(const Catalogue& catalogue, int index) {
  return CurrentEclipseFrom(catalogue.Record(index), index, catalogue.Source());
}

EclipseRecord MakeCurrentEclipse(const CatalogueFile& catalogue, int index) {
  return CurrentEclipseFrom(catalogue.Record(index), index, catalogue.Source());
}

}  // namespace darvelle
