// darvelle-cli local, visible and places, run as a separate process on the
// shipped catalogue: the exact JSON object and CSV columns, the languages,
// the place search, and the exit status of every kind of mistake.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "../support/run_process.h"

namespace darvelle {
namespace {

using darvelle::testing::RunProcess;

const std::string kCli = std::string(DARVELLE_CLI_PATH) + " ";
const std::string kData = " --data '" + std::string(DARVELLE_TEST_DATA_DIR) + "'";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliLocal, JsonObjectOfATotalEclipse) {
  const auto r = RunProcess(kCli + "local --date 2024-04-08 --lat 32.7767 --lon -96.797 --json" +
                            kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out.rfind("{\"index\":16690,\"date\":\"2024-04-08\",\"observer\":{\"lat\":32.776700,"
                        "\"lon\":-96.797000,\"height\":0.0,\"place\":null,\"time_zone\":null},"
                        "\"delta_t_s\":69.2,\"kind\":\"total\",\"visibility\":\"full\",\"c1\":{\"ut\":"
                        "\"2024-04-08T17:23:1",
                        0),
            0u)
      << r.out;
  for (const char* part : {"\"c2\":{\"ut\":\"2024-04-08T18:40:4", "\"tt\":\"2024-04-08T18:41:5",
                           "\"max\":{\"ut\":\"2024-04-08T18:42:3", "\"c3\":{\"ut\":\"2024-04-08T18:44:3",
                           "\"c4\":{\"ut\":\"2024-04-08T20:02:4", "\"magnitude\":1.01",
                           "\"moon_sun_ratio\":1.05", "\"obscuration\":1.0000",
                           "\"duration_s\":23"}) {
    EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
  }
  EXPECT_EQ(r.out.back(), '\n');
  EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "exactly one line";
}

TEST(CliLocal, NoEclipseHasNoContacts) {
  const auto r =
      RunProcess(kCli + "local --date 2017-08-21 --lat -12.05 --lon -77.04 --json" + kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  for (const char* part : {"\"kind\":\"none\"", "\"visibility\":\"none\"", "\"c1\":null",
                           "\"max\":null", "\"c4\":null", "\"duration_s\":null"}) {
    EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
  }
}

TEST(CliLocal, EarlyDatesAreAstronomicalYears) {
  const auto r = RunProcess(kCli + "local --index 1 --lat 0 --lon 0 --json" + kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "\"date\":\"-4999-")) << r.out;
}

TEST(CliLocal, TablesInThreeLanguagesSayWhenTheSunIsDown) {
  struct Case {
    const char* language;
    const char* words[3];
  };
  const Case cases[] = {
      {"en", {"Magnitude", "Sun below the horizon", "DeltaT = 69.2 s"}},
      {"de", {"Größe", "Sonne unter dem Horizont", "DeltaT = 69.2 s"}},
      {"fr", {"Grandeur", "Soleil sous l'horizon", "DeltaT = 69.2 s"}},
  };
  for (const Case& c : cases) {
    // Tokyo on 2024 April 8: inside the penumbra's reach, at night.
    const auto r = RunProcess(kCli + "local --date 2024-04-08 --lat 35.68 --lon 139.65 --language " +
                              c.language + kData);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    for (const char* word : c.words) EXPECT_TRUE(Contains(r.out, word)) << word << "\n" << r.out;
  }
}

TEST(CliLocal, PlaceByNameWithItsZone) {
  const auto r = RunProcess(kCli + "local --date 2024-04-08 --place Dallas --json" + kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_TRUE(Contains(r.err, "Dallas, Texas, US")) << r.err;
  EXPECT_TRUE(Contains(r.out, "\"place\":\"Dallas, Texas, US\",\"time_zone\":\"America/Chicago\""))
      << r.out;
  const auto table = RunProcess(kCli + "local --date 2024-04-08 --place Dallas" + kData);
  EXPECT_TRUE(Contains(table.out, "2024-04-08T13:4")) << table.out;  // CDT beside UT
  EXPECT_TRUE(Contains(table.out, "-05:00")) << table.out;
}

TEST(CliLocal, DirectionsStayBelowAFullTurnWhenRounded) {
  // 2024 April 8: near the equator the Sun stands due north at first contact
  // (azimuth 359.999), and at 8 N 90 W the Moon leaves the Sun's north point
  // (position angle 359.97). Printed, both must read 0, not 360.
  for (const char* place : {"--lat 1.003 --lon -84.999", "--lat 8 --lon -90"}) {
    const std::string args = std::string("local --date 2024-04-08 ") + place + kData;
    const auto json = RunProcess(kCli + args + " --json");
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    int angles = 0;
    for (const std::string key : {"\"sun_az\":", "\"position_angle\":"}) {
      for (auto at = json.out.find(key); at != std::string::npos; at = json.out.find(key, at + 1)) {
        const double value = std::strtod(json.out.c_str() + at + key.size(), nullptr);
        EXPECT_TRUE(value >= 0.0 && value < 360.0) << key << value << "\n" << json.out;
        ++angles;
      }
    }
    EXPECT_EQ(angles, 2 * 3) << json.out;  // C1, maximum, C4
    // In the table the azimuth and P close each row of an event above the horizon.
    const auto table = RunProcess(kCli + args);
    ASSERT_EQ(table.exitStatus, 0) << table.err;
    std::istringstream lines(table.out);
    int rows = 0;
    for (std::string line; std::getline(lines, line);) {
      if (line.find(" (C") == std::string::npos && line.rfind("Maximum ", 0) != 0) continue;
      std::istringstream words(line);
      std::string word, azimuth, p;
      while (words >> word) {
        azimuth = p;
        p = word;
      }
      for (const std::string& angle : {azimuth, p}) {
        const double value = std::strtod(angle.c_str(), nullptr);
        EXPECT_TRUE(value >= 0.0 && value < 360.0) << line;
      }
      ++rows;
    }
    EXPECT_EQ(rows, 3) << table.out;
  }
}

TEST(CliVisible, CsvColumnsAndRows) {
  const auto r = RunProcess(kCli + "visible --place Dallas --from 2020 --to 2030 --csv" + kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out.rfind("index,date,kind,visibility,max_ut,max_local,magnitude,obscuration,"
                        "duration_s,sun_alt,magnitude_seen\n",
                        0),
            0u)
      << r.out;
  EXPECT_TRUE(Contains(r.out, "\n16690,2024-04-08,total,full,2024-04-08T18:42:3")) << r.out;
  EXPECT_TRUE(Contains(r.out, "Z,2024-04-08T13:42:3")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\n16689,2023-10-14,partial,full,")) << r.out;
  // Without a place name there is no zone, and max_local stays empty.
  const auto plain = RunProcess(kCli + "visible --lat 32.7767 --lon -96.797 --from 2024 --to 2024 "
                                       "--kind total --csv" + kData);
  ASSERT_EQ(plain.exitStatus, 0) << plain.err;
  EXPECT_TRUE(Contains(plain.out, "Z,,1.01")) << plain.out;
  int rows = 0;
  for (const char c : plain.out) rows += c == '\n';
  EXPECT_EQ(rows, 2) << plain.out;
}

// Munich on 2028 January 26: magnitude 0.835, but the Sun sets at 0.25.
// The table shows both, and --min-magnitude filters on the one seen.
TEST(CliVisible, TableShowsTheMagnitudeTheFilterUses) {
  const std::string munich = "visible --lat 48.137 --lon 11.575 --from 2028 --to 2028";
  const auto table = RunProcess(kCli + munich + " --min-magnitude 0.2" + kData);
  ASSERT_EQ(table.exitStatus, 0) << table.err;
  std::istringstream lines(table.out);
  std::vector<double> numbers;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("2028-01-26") == std::string::npos) continue;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      if (word.size() == 6 && word[1] == '.') numbers.push_back(std::stod(word));
    }
  }
  ASSERT_GE(numbers.size(), 2u) << table.out;
  EXPECT_NEAR(numbers[0], 0.835, 0.01) << table.out;  // geometric
  EXPECT_NEAR(numbers[1], 0.249, 0.01) << table.out;  // seen
  const auto filtered = RunProcess(kCli + munich + " --min-magnitude 0.3" + kData);
  ASSERT_EQ(filtered.exitStatus, 0) << filtered.err;
  EXPECT_FALSE(Contains(filtered.out, "2028-01-26")) << filtered.out;
}

TEST(CliVisible, JsonArrayOfLocalObjects) {
  const auto r = RunProcess(kCli + "visible --lat 32.7767 --lon -96.797 --from 2023 --to 2024 --json" +
                            kData);
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out.front(), '[');
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");
  EXPECT_TRUE(Contains(r.out, "{\"index\":16689,")) << r.out;
  EXPECT_TRUE(Contains(r.out, ",\n{\"index\":16690,")) << r.out;
}

TEST(CliPlaces, ListsMatches) {
  const auto r = RunProcess(kCli + "places Paris");
  ASSERT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Paris\t", 0), 0u) << r.out;
  EXPECT_TRUE(Contains(r.out, "\tFrance\t48.85")) << r.out;
  EXPECT_TRUE(Contains(r.out, "\tEurope/Paris\t")) << r.out;
}

TEST(CliLocalCommands, MistakesGiveClearMessagesAndExitStatus) {
  struct Case {
    std::string args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"local --date 2024-04-08 --lat 95 --lon 0", 2, "latitude"},
      {"local --date 2024-04-08 --lat 30 --lon 200", 2, "longitude"},
      {"local --date 2024-04-08 --lat 30 --lon 0 --height 50000", 2, "height"},
      {"local --date 2024-04-08 --lat north --lon 0", 2, "--lat"},
      {"local --date 2024-04-08 --lat 30", 2, "--lat and --lon"},
      {"local --date 2024-04-08 --lat 30 --lon 0 --place Paris", 2, "either"},
      {"local --lat 30 --lon 0", 2, "--index N or --date"},
      {"local --date 2024-4-31x --lat 30 --lon 0", 2, "YYYY-MM-DD"},
      {"local --date 2024-04-09 --lat 30 --lon 0", 1, "no eclipse in the catalogue on 2024-04-09"},
      {"local --index 999999 --lat 30 --lon 0", 2, "--index"},
      {"local --date 2024-04-08 --place Qxzqxzqxz", 1, "no place found"},
      {"local --date 2024-04-08 --lat 30 --lon 0 --language it", 2, "--language"},
      {"visible --lat 30 --lon 0 --from -6000", 2, "--from and --to"},
      {"visible --lat 30 --lon 0 --from 2000 --to 1990", 2, "--from and --to"},
      {"visible --lat 30 --lon 0 --kind hybrid", 2, "--kind"},
      {"visible --lat 30 --lon 0 --csv --json", 2, "--csv"},
      {"visible --lat 30 --lon 0 --min-magnitude -1", 2, "--min-magnitude"},
      {"places", 2, "QUERY"},
      {"places Qxzqxzqxz", 1, "no place found"},
  };
  for (const Case& c : cases) {
    const bool readsCatalogue = c.args.rfind("places", 0) != 0;
    const auto r = RunProcess(kCli + c.args + (readsCatalogue ? kData : ""));
    EXPECT_EQ(r.exitStatus, c.status) << c.args << "\n" << r.err;
    EXPECT_TRUE(Contains(r.err, c.message)) << c.args << "\n" << r.err;
    EXPECT_TRUE(r.out.empty()) << c.args << "\n" << r.out;
  }
}

TEST(CliLocalCommands, NumbersAndDatesAreReadByOneRule) {
  // One optional sign before a number or a date's year; no blank anywhere;
  // a date must be a day of the calendar (Julian until 1582 October 4).
  struct Case {
    const char* args;
    int status;
  };
  const Case cases[] = {
      {"local --date +2024-04-08 --lat +32.78 --lon -96.8 --height +150", 0},
      {"local --index +16690 --lat=+3278e-2 --lon=-968e-1", 0},
      {"local --date 4294969320-04-08 --lat 32.78 --lon -96.8", 2},  // 2024 beyond 2^32
      {"local --date 2023-02-29 --lat 32.78 --lon -96.8", 2},
      {"local --date 1900-02-29 --lat 32.78 --lon -96.8", 2},
      {"local --date 1582-10-10 --lat 32.78 --lon -96.8", 2},
      {"local --date 1582-10-14 --lat 32.78 --lon -96.8", 2},
      {"local --date 2024-04-31 --lat 32.78 --lon -96.8", 2},
      {"local --date 8000-01-01 --lat 32.78 --lon -96.8", 2},
      {"local --date 1500-02-29 --lat 32.78 --lon -96.8", 1},  // days without an eclipse
      {"local --date 1582-10-04 --lat 32.78 --lon -96.8", 1},
      {"local --date 2000-02-29 --lat 32.78 --lon -96.8", 1},
      {"local --date ' 2024-04-08' --lat 32.78 --lon -96.8", 2},
      {"local --date '2024-04-08 ' --lat 32.78 --lon -96.8", 2},
      {"local --date '2024-04- 8' --lat 32.78 --lon -96.8", 2},
      {"local --date 2024-4-08 --lat 32.78 --lon -96.8", 2},
      {"local --date +-2024-04-08 --lat 32.78 --lon -96.8", 2},
      {"local --date 2024-04-08 --lat ' 32.78' --lon -96.8", 2},
      {"local --date 2024-04-08 --lat 32.78 --lon '-96.8 '", 2},
      {"local --date 2024-04-08 --lat '32. 78' --lon -96.8", 2},
      {"local --date 2024-04-08 --lat ++32.78 --lon -96.8", 2},
      {"local --date 2024-04-08 --lat +-32.78 --lon -96.8", 2},
      {"local --date 2024-04-08 --lat inf --lon -96.8", 2},
      {"local --date 2024-04-08 --lat 32.78 --lon -96.8 --height ' 150'", 2},
      {"local --index ' 16690' --lat 32.78 --lon -96.8", 2},
      {"visible --lat 32.78 --lon -96.8 --from +2024 --to +2024 --csv", 0},
      {"visible --lat 32.78 --lon -96.8 --from '2024 ' --csv", 2},
      {"visible --lat 32.78 --lon -96.8 --min-magnitude ' 0.5' --csv", 2},
  };
  for (const Case& c : cases) {
    const auto r = RunProcess(kCli + c.args + kData);
    EXPECT_EQ(r.exitStatus, c.status) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out.empty(), c.status != 0) << c.args << "\n" << r.out;
  }
}

TEST(CliLocalCommands, MessagesShowControlBytesEscaped) {
  struct Case {
    std::string args;
    int status;
    const char* shown;
  };
  const Case cases[] = {
      {"local --date \"$(printf '\\033[2J')\" --lat 1 --lon 1" + kData, 2, "'\\x1B[2J'"},
      {"local --date 2024-04-08 --lat \"$(printf '1\\r')\" --lon 1" + kData, 2, "'1\\x0D'"},
      {"local --date 2024-04-08 --place \"$(printf 'Qxzq\\302\\233m\\177')\"" + kData, 1,
       "'Qxzq\\xC2\\x9Bm\\x7F'"},
      {"places \"$(printf 'Qxzq\\303\\274\\033]0;title\\007')\"", 1,
       "'Qxzq\xC3\xBC\\x1B]0;title\\x07'"},
      {"\"$(printf 'nope\\033[31m')\"", 2, "'nope\\x1B[31m'"},
  };
  for (const Case& c : cases) {
    const auto r = RunProcess(kCli + c.args);
    EXPECT_EQ(r.exitStatus, c.status) << c.args << "\n" << r.err;
    EXPECT_TRUE(Contains(r.err, c.shown)) << c.args << "\n" << r.err;
    for (const char ch : r.err) {
      const auto byte = static_cast<unsigned char>(ch);
      EXPECT_TRUE((byte >= 0x20 && byte != 0x7F) || ch == '\n') << c.args << ": " << int{byte};
    }
  }
}

}  // namespace
}  // namespace darvelle
