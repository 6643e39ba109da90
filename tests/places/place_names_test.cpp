// City names in a chosen language, read from the list's own translation
// catalogue without touching the process' locale: the same names the
// library gives under that message language, for every city; and
// catalogue files that are not what they claim are refused with the file
// and the field named.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "places/place_index.h"
#include "places/place_names.h"
#include "places/places.h"

namespace darvelle::places {
namespace {

// The library itself is the reference: its getters translate through
// gettext in the process' message language, which UsePlaceLanguage sets.
TEST(PlaceNames, EveryCityNamedAsTheLibraryNamesItInThatLanguage) {
  // The United States' name in each language: both sides really translated.
  const std::map<std::string, std::string> unitedStates = {
      {"de", "Vereinigte Staaten"}, {"fr", "États Unis"}, {"en", "United States of America"}};
  for (const auto& [code, usName] : unitedStates) {
    const char* language = code.c_str();
    UsePlaceLanguage(language);
    const PlaceIndex library = PlaceIndex::LoadLibraryCitiesInProcessLanguage();
    // Ours, asked for a language other than the process' own first, so that
    // nothing can come from the process' catalogue.
    UsePlaceLanguage(std::string(language) == "de" ? "fr" : "de");
    const PlaceIndex ours = PlaceIndex::LoadLibraryCities(language);
    ASSERT_EQ(ours.Size(), library.Size()) << language;
    ASSERT_GT(ours.Size(), 20000u);
    std::map<std::string, const Place*> byId;
    for (const Place& p : library.Places()) byId.emplace(p.GeonameId, &p);
    ASSERT_EQ(byId.size(), library.Size()) << "ids are not unique";
    std::size_t inTheUs = 0;
    for (const Place& mine : ours.Places()) {
      ASSERT_EQ(byId.count(mine.GeonameId), 1u) << mine.GeonameId;
      const Place& theirs = *byId.at(mine.GeonameId);
      EXPECT_EQ(mine.Name, theirs.Name) << language << " " << mine.GeonameId;
      EXPECT_EQ(mine.AdminArea, theirs.AdminArea) << language << " " << mine.GeonameId;
      EXPECT_EQ(mine.Country, theirs.Country) << language << " " << mine.GeonameId;
      if (mine.CountryCode == "US") {
        EXPECT_EQ(mine.Country, usName) << language;
        ++inTheUs;
      }
    }
    EXPECT_GT(inTheUs, 1000u);
  }
}

TEST(PlaceNames, KnownNamesInEachLanguage) {
  struct Case {
    const char* language;
    const char* query;
    const char* label;  // LongLabel of the most populous match
  };
  const Case cases[] = {
      {"de", "Munich", "München, Bayern, Deutschland"},
      {"de", "München", "München, Bayern, Deutschland"},
      {"en", "Munich", "Munich, Bavaria, Germany"},
      {"fr", "Munich", "Munich, Bavière, Allemagne"},
      {"fr", "London", "Londres, Angleterre, Royaume Uni"},
      {"fr", "Londres", "Londres, Angleterre, Royaume Uni"},
      {"de", "Dallas", "Dallas, Texas, Vereinigte Staaten"},
      {"fr", "Dallas", "Dallas, Texas, États Unis"},
      {"en", "Dallas", "Dallas, Texas, United States of America"},
  };
  std::map<std::string, PlaceIndex> indexes;
  for (const char* language : {"de", "en", "fr"}) indexes.emplace(language, PlaceIndex::Load(language));
  for (const Case& c : cases) {
    const auto found = indexes.at(c.language).Search(c.query, 1);
    ASSERT_EQ(found.size(), 1u) << c.language << " " << c.query;
    EXPECT_EQ(LongLabel(found.front()), c.label) << c.language << " " << c.query;
  }
  // One city, one id in every language.
  const std::string munich = indexes.at("en").Search("Munich", 1).front().GeonameId;
  EXPECT_EQ(munich, "2867714");
  EXPECT_EQ(indexes.at("de").ById(munich)->Name, "München");
  EXPECT_FALSE(indexes.at("de").ById("no such id").has_value());
  EXPECT_FALSE(indexes.at("de").ById("").has_value());
  // A language without a catalogue, or a code that is not a folder name: the list's names.
  for (const char* code : {"xx", "../de", ""}) {
    EXPECT_EQ(PlaceIndex::Load(code).Search("Munich", 1).front().Name, "Munich") << code;
  }
}

// A GNU catalogue built here, little- or big-endian, with the entries given.
std::vector<char> Catalogue(const std::vector<std::pair<std::string, std::string>>& entries, bool bigEndian) {
  std::vector<char> out;
  auto word = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      const int shift = bigEndian ? 24 - 8 * i : 8 * i;
      out.push_back(static_cast<char>((v >> shift) & 0xff));
    }
  };
  const auto n = static_cast<std::uint32_t>(entries.size());
  const std::uint32_t originals = 28, translations = originals + 8 * n;
  std::uint32_t text = translations + 8 * n;
  word(0x950412de);
  word(0);
  word(n);
  word(originals);
  word(translations);
  word(0);
  word(0);
  std::string strings;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> keys, values;
  for (const auto& [k, v] : entries) {
    keys.emplace_back(static_cast<std::uint32_t>(k.size()), text + static_cast<std::uint32_t>(strings.size()));
    strings += k + '\0';
  }
  for (const auto& [k, v] : entries) {
    values.emplace_back(static_cast<std::uint32_t>(v.size()), text + static_cast<std::uint32_t>(strings.size()));
    strings += v + '\0';
  }
  for (const auto& [length, offset] : keys) word(length), word(offset);
  for (const auto& [length, offset] : values) word(length), word(offset);
  out.insert(out.end(), strings.begin(), strings.end());
  return out;
}

std::filesystem::path Write(const std::string& name, const std::vector<char>& bytes) {
  const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / name;
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

void PutWord(std::vector<char>& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
}

TEST(PlaceNames, CatalogueReadInEitherByteOrder) {
  const std::vector<std::pair<std::string, std::string>> entries = {
      {"", "Project-Id-Version: x\n"}, {"2867714", "München"}, {"DE", "Deutschland"}, {"DE.02", ""}};
  for (bool bigEndian : {false, true}) {
    const PlaceNames names = PlaceNames::Read(Write(bigEndian ? "be.mo" : "le.mo", Catalogue(entries, bigEndian)));
    EXPECT_EQ(names.Size(), 3u);
    EXPECT_EQ(names.Translate("2867714", "Munich"), "München");
    EXPECT_EQ(names.Translate("DE", "Germany"), "Deutschland");
    EXPECT_EQ(names.Translate("DE.02", "Bavaria"), "Bavaria");  // an empty translation is none
    EXPECT_EQ(names.Translate("FR", "France"), "France");
  }
}

TEST(PlaceNames, DamagedCataloguesAreRefusedNamingTheFileAndField) {
  const std::vector<char> good = Catalogue({{"DE", "Deutschland"}, {"FR", "Frankreich"}}, false);
  struct Case {
    const char* name;
    std::vector<char> bytes;
    const char* fault;  // part of the message
  };
  std::vector<Case> cases;
  cases.push_back({"empty.mo", {}, "magic number"});
  cases.push_back({"text.mo", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, "magic number"});
  cases.push_back({"short.mo", {good.begin(), good.begin() + 10}, "number of strings"});
  std::vector<char> revision = good;
  PutWord(revision, 4, 2u << 16);
  cases.push_back({"revision.mo", revision, "revision 2"});
  std::vector<char> count = good;
  PutWord(count, 8, 0x7fffffff);
  cases.push_back({"count.mo", count, "beyond the end"});
  std::vector<char> table = good;
  PutWord(table, 12, 0xfffffff0u);
  cases.push_back({"table.mo", table, "original string lies beyond the end"});
  std::vector<char> text = good;
  PutWord(text, 28 + 8 + 4, 0xfffffff0u);  // the second original's offset
  cases.push_back({"text-offset.mo", text, "original string 1 lies beyond the end"});
  std::vector<char> cut = good;
  cut.resize(cut.size() - 5);
  cases.push_back({"cut.mo", cut, "translated string 1 lies beyond the end"});
  for (const Case& c : cases) {
    const std::filesystem::path file = Write(c.name, c.bytes);
    try {
      PlaceNames::Read(file);
      ADD_FAILURE() << c.name << " was read";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.fault), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(PlaceNames::Read(std::filesystem::path(::testing::TempDir()) / "missing.mo"), std::runtime_error);
}

}  // namespace
}  // namespace darvelle::places
