// darvelle-cli local with the fuzzer's bytes as its arguments (split at NUL
// bytes), through the functions the command runs, on the shipped catalogue
// (loaded once). It must print a JSON object or a table, or end in a
// UsageError or another std::runtime_error (no eclipse, no place); no other
// exception. The JSON must parse, its angles lie within their ranges and
// neither text hold "nan" or "inf".

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "cli/args.h"
#include "fuzz_file.h"
#include "cli/local_commands.h"
#include "../support/non_numbers.h"

using namespace darvelle;

namespace {

bool Within(const QJsonValue& value, double low, double high, bool highIncluded) {
  if (!value.isDouble()) return false;
  const double v = value.toDouble();
  return v >= low && (highIncluded ? v <= high : v < high);
}

void CheckJson(const std::string& text) {
  QJsonParseError error;
  const QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) std::abort();
  const QJsonObject o = doc.object();
  const QJsonObject observer = o["observer"].toObject();
  if (!Within(observer["lat"], -90.0, 90.0, true) || !Within(observer["lon"], -180.0, 180.0, true)) {
    std::abort();
  }
  for (const char* key : {"c1", "c2", "max", "c3", "c4"}) {
    if (o[key].isNull()) continue;
    const QJsonObject event = o[key].toObject();
    if (!Within(event["sun_alt"], -90.0, 90.0, true) ||
        !Within(event["sun_az"], 0.0, 360.0, false) ||
        !Within(event["position_angle"], 0.0, 360.0, false)) {
      std::abort();
    }
  }
  if (!Within(o["magnitude"], 0.0, 1e3, true) || !Within(o["obscuration"], 0.0, 1.0, true)) {
    std::abort();
  }
}

}  // namespace

// libFuzzer calls this by name; declared for -Wmissing-declarations.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Catalogue catalogue = LoadCatalogue(
      FindDataFile(kCatalogueFileName, std::filesystem::path(DARVELLE_FUZZ_DATA_DIR)));
  const std::vector<std::string> args = darvelle::fuzz::ArgumentsOf(data, size);
  std::string text;
  try {
    text = cli::LocalText(args, &catalogue);
  } catch (const std::runtime_error&) {  // UsageError among them
    return 0;
  }
  if (text.empty() || text.back() != '\n' || testing::HasNonNumber(text)) std::abort();
  if (text.front() == '{') CheckJson(text);
  return 0;
}
