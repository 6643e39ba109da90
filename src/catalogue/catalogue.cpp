#include "catalogue/catalogue.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "astro/calendar.h"
#include "catalogue/data_files.h"

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

Catalogue LoadCatalogue(const std::filesystem::path& file) {
  std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
  if (!in) Fail(file, std::strerror(errno));
  if (std::fseek(in.get(), 0, SEEK_END) != 0) Fail(file, std::strerror(errno));
  const long size = std::ftell(in.get());
  if (size < 0) Fail(file, std::strerror(errno));
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
  return Catalogue(std::move(records));
}

EclipseRecord MakeCurrentEclipse(const Catalogue& catalogue, int index) {
  EclipseRecord current = catalogue.Record(index);
  current.JulianDay =
      CalendarToJulianDay(current.Year, current.Month, current.Day, current.EpochHour, 0.0, 0.0);
  return current;
}

}  // namespace darvelle
