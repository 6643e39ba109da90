// The window's panel and darvelle-cli's table say the same of one eclipse at
// one place: for a real place of every kind of visibility, in each language,
// the kind, the visibility and the contacts the tool prints are those the
// panel shows (the panel may add detail after the visibility's phrase).

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "astro/delta_t.h"
#include "geometry/local_circumstances.h"
#include "ui/local_texts.h"
#include "../support/run_process.h"
#include "../support/shipped_catalogue.h"

namespace darvelle {
namespace {

struct Case {
  const char* name;
  const char* date;
  double latitude, longitude;
  Visibility seen;  // the case is here for this visibility
};

// Places the other tests know for each visibility, and an annular one.
constexpr Case kCases[] = {
    {"Dallas 2024, total", "2024-04-08", 32.7767, -96.797, Visibility::kFull},
    {"Albuquerque 2023, annular", "2023-10-14", 35.0844, -106.6504, Visibility::kFull},
    {"New York 2021, at sunrise", "2021-06-10", 40.7128, -74.006, Visibility::kRise},
    {"Munich 2028, at sunset", "2028-01-26", 48.137, 11.575, Visibility::kSet},
    {"Tokyo 2024, at night", "2024-04-08", 35.68, 139.65, Visibility::kNight},
    {"Lima 2017, none", "2017-08-21", -12.05, -77.04, Visibility::kNone},
};
constexpr std::pair<Language, const char*> kLanguages[] = {{kGerman, "de"}, {kEnglish, "en"}, {kFrench, "fr"}};

class CliAndWindowWords : public testing::ShippedCatalogueTest {
 protected:
  // The panel's texts for the eclipse the tool chose (its index opens the table).
  static ui::LocalTexts WindowTexts(const Case& c, const std::string& table, Language language) {
    const int index = std::stoi(table.substr(table.find('#') + 1));
    const BesselianElements elements = CurrentElements(*catalogue_, index);
    const double deltaT = ComputeDeltaT(elements.year, elements.month);
    const LocalCircumstances local =
        ComputeLocalCircumstances(elements, deltaT, {c.latitude, c.longitude, 0.0});
    EXPECT_EQ(local.Seen, c.seen) << c.name << ": the place no longer shows its case";
    ui::ObserverPlace place;
    place.latitudeDeg = c.latitude;
    place.longitudeDeg = c.longitude;
    return ui::FormatLocalCircumstances({index, elements, deltaT, TimeScale::kUniversal}, place, local,
                                        language);
  }
};

TEST_F(CliAndWindowWords, ToolAndPanelShowOnePhrasePerFact) {
  for (const auto& [language, code] : kLanguages) {
    const std::string caption = ui::LocalCaptionsIn(language).visibility.toStdString() + ": ";
    std::map<Visibility, std::string> phrases;
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + ", " + code);
      const auto run = darvelle::testing::RunProcess(
          std::string(DARVELLE_CLI_PATH) + " local --date " + c.date + " --lat " + std::to_string(c.latitude) +
          " --lon " + std::to_string(c.longitude) + " --language " + code + " --data '" +
          DARVELLE_TEST_DATA_DIR + "'");
      ASSERT_EQ(run.exitStatus, 0) << run.err;
      const ui::LocalTexts texts = WindowTexts(c, run.out, language);
      EXPECT_NE(run.out.find("\n" + texts.kind.toStdString() + "\n"), std::string::npos) << run.out;
      // The tool's visibility line holds the phrase alone, the panel may add detail after it.
      const std::size_t at = run.out.find("\n" + caption);
      ASSERT_NE(at, std::string::npos) << run.out;
      const std::size_t from = at + 1 + caption.size();
      const std::string phrase = run.out.substr(from, run.out.find('\n', from) - from);
      EXPECT_TRUE(!phrase.empty() && texts.visibility.startsWith(QString::fromStdString(phrase)))
          << "tool: " << phrase << "\npanel: " << texts.visibility.toStdString();
      phrases[c.seen] = phrase;
      // Each contact the place sees opens one row of the tool's table.
      for (const ui::LocalTexts::Row& row : texts.rows) {
        if (row.time == QStringLiteral("\u2014")) continue;
        EXPECT_NE(run.out.find("\n" + row.event.toStdString() + " "), std::string::npos)
            << "contact '" << row.event.toStdString() << "' not in:\n" << run.out;
      }
    }
    std::set<std::string> distinct;
    for (const auto& [seen, phrase] : phrases) distinct.insert(phrase);
    EXPECT_EQ(phrases.size(), 5u) << code;
    EXPECT_EQ(distinct.size(), phrases.size()) << code << ": two visibilities read alike";
  }
}

}  // namespace
}  // namespace darvelle
