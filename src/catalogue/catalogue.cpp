#include "catalogue/catalogue.h"

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

Catalogue LoadCatalogue(const std::filesystem::path& file) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) Fail(file, std::strerror(errno));
  if (std::fseek(in.get(), 0, SEEK_END) != 0) Fail(file, std::strerror(errno));
  const long size = std::ftell(in.get());
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
  std::rewind(in.get());
  std::vector<EclipseRecord> records(static_cast<std::size_t>(size) / kEclipseRecordSize);
  const std::size_t read = std::fread(records.data(), kEclipseRecordSize, records.size(), in.get());
  if (read != records.size()) {
    Fail(file, "read " + std::to_string(read) + " of " + std::to_string(records.size()) +
                   " records" + (std::ferror(in.get()) ? std::string(": ") + std::strerror(errno) : ""));
  }
  // The year search and the Saros steps rely on the order: an unordered file
  // would pick an eclipse of another millennium without a word.
  if (const int index = FirstOutOfOrder(records); index != 0) {
    const auto i = static_cast<std::size_t>(index - 1);
    Fail(file, "record " + std::to_string(index) + " (" + DateText(records[i]) +
                   ") comes after record " + std::to_string(index - 1) + " (" +
                   DateText(records[i - 1]) + "); the records must be in chronological order");
  }
  return Catalogue(std::move(records), file);
}

EclipseRecord MakeCurrentEclipse(const Catalogue& catalogue, int index) {
  EclipseRecord current = catalogue.Record(index);
  if (const auto problem = RecordProblem(current)) {
    std::string where = "Eclipse record " + std::to_string(index);
    if (!catalogue.Source().empty()) where += " of \"" + catalogue.Source().string() + "\"";
    throw RecordError(EscapeControlBytes(where + " cannot be used: " + *problem));
  }
  current.JulianDay =
      CalendarToJulianDay(current.Year, current.Month, current.Day, current.EpochHour, 0.0, 0.0);
  return current;
}

}  // namespace darvelle
