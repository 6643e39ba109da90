// The one place search (PlaceIndex::Search) over the towns file made from the
// GeoNames extract: which town a query puts first among its namesakes, that
// every printed label finds its town again, the language of the names shown,
// and the fallback to libgeonames when the towns file is missing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "places/place_index.h"
#include "../support/test_towns.h"

namespace darvelle::places {
namespace {

const PlaceIndex& Towns() {
  static const PlaceIndex index = PlaceIndex::LoadTowns(testing::TestTownsFile(), "en");
  return index;
}

struct Ranked {
  const char* query;
  const char* geonameId;  // the town that must come first
};

// Each query against its namesakes in the extract (Valencia in Venezuela,
// León in Mexico, Paris in France and Texas, Mecca in California, ...).
const Ranked kRanking[] = {
    {"Valencia, Spain", "2509954"},  {"Valencia, ES", "2509954"},   {"valencia spain", "2509954"},
    {"Valencia", "2509954"},         {"Valencia, Venezuela", "3625549"}, {"León, Spain", "3118532"},
    {"Leon, Spain", "3118532"},      {"León", "3118532"},           {"León, NI", "3618030"},             {"Cádiz", "2520600"},          {"Cadiz", "2520600"},
    {"Soria", "3108681"},            {"München", "2867714"},        {"Munich", "2867714"},
    {"Muenchen", "2867714"},         {"Oberammergau", "2861422"},   {"oberam", "2861422"},
    {"Mecca", "104515"},             {"Makkah", "104515"},          {"Mecca, California", "5371965"},
    {"Gibraltar", "2411585"},        {"Zürich", "2657896"},         {"zurich", "2657896"},
    {"Köln", "2886242"},             {"Cologne", "2886242"},        {"paris tex", "4717560"},
    {"Paris, Texas", "4717560"},     {"Paris, TX", "4717560"},      {"Paris", "2988507"},
    {"york", "5128581"},             {"Dallas, Texas, United States", "4684888"},
};

TEST(TownSearch, PutsTheTownMeantFirst) {
  ASSERT_EQ(Towns().Size(), 77u);
  EXPECT_TRUE(Towns().Note().empty());
  for (const Ranked& r : kRanking) {
    const auto found = Towns().Search(r.query, 5);
    ASSERT_FALSE(found.empty()) << r.query;
    EXPECT_EQ(found.front().GeonameId, r.geonameId)
        << r.query << " gave " << LongLabel(found.front()) << " first";
  }
  EXPECT_TRUE(Towns().Search("Paris, Spain", 5).empty());
  EXPECT_TRUE(Towns().Search(" , ", 5).empty());
  EXPECT_LE(Towns().Search("c", 3).size(), 3u);
}

TEST(TownSearch, EveryPrintedLabelFindsItsTown) {
  for (const Place& p : Towns().Places()) {
    for (const std::string& label : {LongLabel(p), p.Label()}) {
      const auto found = Towns().Search(label, 1);
      ASSERT_EQ(found.size(), 1u) << label;
      // Namesakes in one region (two Buffalos of New York) share the label.
      EXPECT_EQ(LongLabel(found.front()), LongLabel(p)) << label;
    }
  }
}

TEST(TownSearch, ShowsTheLanguagesNamesAndFindsTheListsOwn) {
  const PlaceIndex german = PlaceIndex::LoadTowns(testing::TestTownsFile(), "de");
  const auto munich = german.Search("Munich", 1);
  ASSERT_EQ(munich.size(), 1u);
  EXPECT_EQ(munich.front().Name, "München");
  EXPECT_EQ(munich.front().Country, "Deutschland");
  EXPECT_EQ(munich.front().TimeZone, "Europe/Berlin");
  const auto back = german.Search(LongLabel(munich.front()), 1);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back.front().GeonameId, "2867714");
  // The English country name still narrows a German search.
  ASSERT_FALSE(german.Search("Valencia, Spain", 1).empty());
  EXPECT_EQ(german.Search("Valencia, Spain", 1).front().CountryCode, "ES");
}

TEST(TownSearch, WithoutTheTownsFileSaysSoAndSearchesTheLibrary) {
  const auto empty = testing::TestTownsFolder() / "empty";
  std::filesystem::create_directories(empty);
  const PlaceIndex index = PlaceIndex::Load("en", empty);
  EXPECT_NE(index.Note().find(std::string(kTownsFileName)), std::string::npos) << index.Note();
  EXPECT_GT(index.Size(), 10000u);
  const auto found = index.Search("Valencia, Spain", 1);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found.front().CountryCode, "ES");
}

TEST(TownSearch, RefusesADamagedFile) {
  std::ifstream in(testing::TestTownsFile(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto cut = testing::TestTownsFolder() / "cut.bin";
  std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 1);
  try {
    (void)PlaceIndex::LoadTowns(cut, "en");
    ADD_FAILURE() << "a file one byte short was read";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("cut.bin"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace darvelle::places
