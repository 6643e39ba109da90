#include "places/towns_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <set>
#include <stdexcept>
#include <unordered_map>

#include "io/atomic_file.h"
#include "io/whole_file.h"

namespace darvelle::places {
namespace {

constexpr char kMagic[8] = {'D', 'V', 'T', 'O', 'W', 'N', 'S', '1'};
constexpr std::size_t kHeaderBytes = 8 + 4 * 4;
constexpr std::size_t kTownBytes = 48;
constexpr std::uintmax_t kMaxFileBytes = 512u << 20;

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

// The table's columns (GeoNames' "geoname" table).
enum Column {
  kId = 0, kName = 1, kAsciiName = 2, kAlternateNames = 3, kLatitude = 4, kLongitude = 5,
  kCountryCode = 8, kAdmin1 = 10, kPopulation = 14, kTimeZone = 17, kColumns = 19
};

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts;
}

// GeoNames' alternate names mix every script with airport codes and lower-case
// transliterations ("mi wnik"); only names a reader of Latin letters would
// type, capitalised as names are, find a town, so that a query is not
// answered by the noise of other towns' transliterations.
bool IsUsefulAlternate(std::string_view name) {
  const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (text.size() < 2 || !text.front().isUpper()) return false;
  bool lower = false;
  for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
    if (c.isMark() || !c.isLetter()) continue;
    if (c.script() != QChar::Script_Latin) return false;
    lower = lower || c.isLower();
  }
  return lower;  // "MUC", "NYC": codes, not names
}

class Pool {
 public:
  std::uint32_t Add(std::string_view text) {
    const auto found = offsets_.find(std::string(text));
    if (found != offsets_.end()) return found->second;
    const auto offset = static_cast<std::uint32_t>(bytes_.size());
    bytes_.append(text);
    bytes_ += '\0';
    offsets_.emplace(std::string(text), offset);
    return offset;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::unordered_map<std::string, std::uint32_t> offsets_;
};

std::string CountryName(const std::string& code) {
  const QLocale::Territory territory = QLocale::codeToTerritory(QString::fromStdString(code));
  if (territory == QLocale::AnyTerritory) return code;
  return QLocale::territoryToString(territory).toStdString();
}

}  // namespace

std::vector<std::string> FoldedWords(std::string_view text) {
  const QString decomposed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                 .normalized(QString::NormalizationForm_KD);
  std::vector<std::string> words;
  QString word;
  auto flush = [&] {
    if (!word.isEmpty()) words.push_back(word.toCaseFolded().toStdString());
    word.clear();
  };
  for (const QChar c : decomposed) {
    if (c.isMark()) continue;
    if (c.isLetterOrNumber()) {
      word += c;
    } else {
      flush();
    }
  }
  flush();
  return words;
}

std::string FoldedName(std::string_view text) {
  std::string joined;
  for (const std::string& w : FoldedWords(text)) {
    if (!joined.empty()) joined += ' ';
    joined += w;
  }
  return joined;
}

TownsFile ReadTownsFile(const std::filesystem::path& file) {
  const std::string bytes = ReadWholeFile(file, kMaxFileBytes, "town list");
  auto fail = [&](const std::string& what) {
    return std::runtime_error("The town list \"" + file.string() + "\" is damaged: " + what);
  };
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, 8) != 0) {
    throw fail("it does not begin as a town list does");
  }
  const std::uint64_t towns = GetU32(bytes.data() + 8);
  const std::uint64_t folded = GetU32(bytes.data() + 12);
  const std::uint64_t keys = GetU32(bytes.data() + 16);
  const std::uint64_t poolBytes = GetU32(bytes.data() + 20);
  const std::uint64_t expected = kHeaderBytes + towns * kTownBytes + folded * 4 + keys * 8 + poolBytes;
  if (expected != bytes.size()) {
    throw fail("its length is " + std::to_string(bytes.size()) + " bytes, its counts make " +
               std::to_string(expected));
  }
  TownsFile out;
  const char* p = bytes.data() + kHeaderBytes;
  const char* poolStart = p + towns * kTownBytes + folded * 4 + keys * 8;
  out.pool.assign(poolStart, poolBytes);
  if (poolBytes == 0 || out.pool.back() != '\0') throw fail("its strings do not end");
  auto text = [&](std::uint32_t offset) {
    if (offset >= poolBytes) throw fail("a string lies outside the file");
    return std::string(out.At(offset));
  };
  out.towns.resize(towns);
  for (auto& t : out.towns) {
    t.place.LatitudeDeg = static_cast<std::int32_t>(GetU32(p)) * 1e-5;
    t.place.LongitudeDeg = static_cast<std::int32_t>(GetU32(p + 4)) * 1e-5;
    t.place.Population = GetU32(p + 8);
    t.place.GeonameId = std::to_string(GetU32(p + 12));
    t.place.Name = text(GetU32(p + 16));
    t.place.AdminArea = text(GetU32(p + 20));
    t.adminCode = text(GetU32(p + 24));
    t.place.Country = text(GetU32(p + 28));
    t.place.TimeZone = text(GetU32(p + 32));
    t.firstFolded = GetU32(p + 36);
    t.foldedCount = GetU32(p + 40);
    t.place.CountryCode.assign(p + 44, 2);
    if (std::uint64_t{t.firstFolded} + t.foldedCount > folded) throw fail("a town's names lie outside the file");
    if (std::abs(t.place.LatitudeDeg) > 90.0 || std::abs(t.place.LongitudeDeg) > 180.0) {
      throw fail("town " + t.place.GeonameId + " lies off the Earth");
    }
    p += kTownBytes;
  }
  out.folded.resize(folded);
  for (auto& f : out.folded) {
    f = GetU32(p);
    if (f >= poolBytes) throw fail("a name lies outside the file");
    p += 4;
  }
  out.keys.resize(keys);
  for (auto& k : out.keys) {
    k.word = GetU32(p);
    k.town = GetU32(p + 4);
    if (k.word >= poolBytes || k.town >= towns) throw fail("a search key lies outside the file");
    p += 8;
  }
  return out;
}

std::size_t MakeTownsFile(const std::filesystem::path& citiesTable,
                          const std::filesystem::path& admin1Names,
                          const std::filesystem::path& output) {
  // admin1 names by "CC.code".
  std::unordered_map<std::string, std::string> admins;
  {
    const std::string json = ReadWholeFile(admin1Names, kMaxFileBytes, "admin1 names");
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (!doc.isArray()) {
      throw std::runtime_error("\"" + admin1Names.string() + "\" is not a JSON array of names: " +
                               error.errorString().toStdString());
    }
    for (const QJsonValue v : doc.array()) {
      const QJsonObject o = v.toObject();
      admins[o.value("code").toString().toStdString()] = o.value("name").toString().toStdString();
    }
  }

  struct Row {
    Place place;
    std::string adminCode;
    std::vector<std::string> folded;
  };
  std::vector<Row> rows;
  {
    const std::string table = ReadWholeFile(citiesTable, kMaxFileBytes, "GeoNames town table");
    std::size_t lineNumber = 0;
    for (std::string_view line : SplitOn(table, '\n')) {
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.empty()) continue;
      const auto f = SplitOn(line, '\t');
      if (f.size() < kColumns) {
        throw std::runtime_error("\"" + citiesTable.string() + "\" line " +
                                 std::to_string(lineNumber) + ": " + std::to_string(f.size()) +
                                 " columns, not " + std::to_string(kColumns));
      }
      Row row;
      Place& p = row.place;
      p.GeonameId = std::string(f[kId]);
      p.Name = std::string(f[kName]);
      p.CountryCode = std::string(f[kCountryCode]);
      row.adminCode = std::string(f[kAdmin1]);
      const auto admin = admins.find(p.CountryCode + "." + row.adminCode);
      if (admin != admins.end()) p.AdminArea = admin->second;
      p.TimeZone = std::string(f[kTimeZone]);
      try {
        p.LatitudeDeg = std::stod(std::string(f[kLatitude]));
        p.LongitudeDeg = std::stod(std::string(f[kLongitude]));
        p.Population = f[kPopulation].empty()
                           ? 0u
                           : static_cast<unsigned>(std::stoul(std::string(f[kPopulation])));
        (void)std::stoul(p.GeonameId);
      } catch (const std::exception&) {
        throw std::runtime_error("\"" + citiesTable.string() + "\" line " +
                                 std::to_string(lineNumber) + ": a number cannot be read");
      }
      if (p.CountryCode.size() != 2 || std::abs(p.LatitudeDeg) > 90.0 ||
          std::abs(p.LongitudeDeg) > 180.0) {
        throw std::runtime_error("\"" + citiesTable.string() + "\" line " +
                                 std::to_string(lineNumber) + ": no country or a place off the Earth");
      }
      std::set<std::string> names{FoldedName(f[kName]), FoldedName(f[kAsciiName])};
      for (std::string_view alt : SplitOn(f[kAlternateNames], ',')) {
        if (IsUsefulAlternate(alt)) names.insert(FoldedName(alt));
      }
      names.erase(std::string());
      // The town's own name first: it decides an exact match's word order.
      const std::string own = FoldedName(f[kName]);
      row.folded.push_back(own);
      for (const std::string& n : names) {
        if (n != own) row.folded.push_back(n);
      }
      rows.push_back(std::move(row));
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return a.place.Population > b.place.Population;
  });

  std::map<std::string, std::string> countries;
  Pool pool;
  std::string towns, folded;
  std::vector<std::pair<std::string, std::uint32_t>> keys;
  std::uint32_t foldedCount = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& r = rows[i];
    const Place& p = r.place;
    auto country = countries.find(p.CountryCode);
    if (country == countries.end()) country = countries.emplace(p.CountryCode, CountryName(p.CountryCode)).first;
    PutU32(towns, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(p.LatitudeDeg * 1e5))));
    PutU32(towns, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(p.LongitudeDeg * 1e5))));
    PutU32(towns, p.Population);
    PutU32(towns, static_cast<std::uint32_t>(std::stoul(p.GeonameId)));
    for (const std::string* s : std::initializer_list<const std::string*>{
             &p.Name, &p.AdminArea, &r.adminCode, &country->second, &p.TimeZone}) {
      PutU32(towns, pool.Add(*s));
    }
    PutU32(towns, foldedCount);
    PutU32(towns, static_cast<std::uint32_t>(r.folded.size()));
    towns += p.CountryCode;
    towns += std::string(2, '\0');
    std::set<std::string> words;
    for (const std::string& n : r.folded) {
      PutU32(folded, pool.Add(n));
      ++foldedCount;
      for (std::string_view w : SplitOn(n, ' ')) words.emplace(w);
    }
    for (const std::string& w : words) keys.emplace_back(w, static_cast<std::uint32_t>(i));
  }
  std::sort(keys.begin(), keys.end());
  std::string keyBytes;
  keyBytes.reserve(keys.size() * 8);
  for (const auto& [word, town] : keys) {
    PutU32(keyBytes, pool.Add(word));
    PutU32(keyBytes, town);
  }

  std::string header(kMagic, 8);
  PutU32(header, static_cast<std::uint32_t>(rows.size()));
  PutU32(header, foldedCount);
  PutU32(header, static_cast<std::uint32_t>(keys.size()));
  PutU32(header, static_cast<std::uint32_t>(pool.Bytes().size()));
  AtomicFile file(output);
  file.Write(header);
  file.Write(towns);
  file.Write(folded);
  file.Write(keyBytes);
  file.Write(pool.Bytes());
  file.Commit();
  return rows.size();
}

}  // namespace darvelle::places
