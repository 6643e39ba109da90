#include "postscript/post_lib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/file_faults.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

namespace fs = std::filesystem;

// The lines of a text written with CR LF; fails the test on a bare LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "text does not end in CR LF";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

fs::path TempDir(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("darvelle_ps_" + name + "_" +
                                                    std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(PostLibTest, FontProceduresWriteSizeWithOneThenTwoDecimals) {
  struct Case {
    void (POST_lib::*font)(float);
    float size;
    std::string first, second;
  } cases[] = {
      {&POST_lib::PS_FontArial, 14.0f, "/Arial-ISOLatin1 findfont 14.0 scalefont setfont",
       "14.00 0.7 mul /FontHeight exch def"},
      {&POST_lib::PS_FontArialBold, 30.0f,
       "/Arial-Bold-ISOLatin1 findfont 30.0 scalefont setfont",
       "30.00 0.7 mul /FontHeight exch def"},
      {&POST_lib::PS_FontArialNarrow, 20.0f,
       "/Arial-Narrow-ISOLatin1 findfont 20.0 scalefont setfont",
       "20.00 0.7 mul /FontHeight exch def"},
      {&POST_lib::PS_FontArialNarrowBold, 24.0f,
       "/Arial-Narrow-Bold-ISOLatin1 findfont 24.0 scalefont setfont",
       "24.00 0.7 mul /FontHeight exch def"},
      {&POST_lib::PS_FontSymbol, 14.0f, "/Symbol findfont 14.00 scalefont setfont",
       "14.00 0.7 mul /FontHeight exch def"},
      {&POST_lib::PS_FontArial, 10.5f, "/Arial-ISOLatin1 findfont 10.5 scalefont setfont",
       "10.50 0.7 mul /FontHeight exch def"},
  };
  for (const Case& c : cases) {
    POST_lib ps;
    (ps.*c.font)(c.size);
    EXPECT_EQ(Lines(ps.Contents()), (std::vector<std::string>{c.first, c.second}));
  }
  POST_lib ps;
  ps.PS_FontTimesRoman12();
  EXPECT_EQ(Lines(ps.Contents()),
            (std::vector<std::string>{"/Times-Roman-ISOLatin1 findfont 12 scalefont setfont",
                                      "12 0.7 mul /FontHeight exch def"}));
}

TEST(PostLibTest, SheetWindowMapsCentimetresOntoThePage) {
  struct Case {
    double x, y;
    std::string line;
  } cases[] = {
      {10.5, 1.47, "297.00 796.72 MT"},  // the sheet's title position
      {0.0, 29.7, "4.00 4.00 MT"},       // bottom-left corner of the window
      {21.0, 0.0, "590.00 838.00 MT"},   // top-right corner
      {-1.0, 30.0, "-23.90 -4.42 MT"},   // outside the window, negative values
  };
  for (const Case& c : cases) {
    POST_lib ps;
    ps.PS_SetWindow(0.0, 29.7, 21.0, 0.0);
    ps.PS_MoveTo(c.x, c.y);
    EXPECT_EQ(Lines(ps.Contents()), std::vector<std::string>{c.line});
  }
  POST_lib ps;
  ps.PS_SetWindow(0.0, 29.7, 21.0, 0.0);
  ps.PS_LineTo(10.5, 1.47);
  EXPECT_EQ(Lines(ps.Contents()), std::vector<std::string>{"297.00 796.72 LT"});
}

TEST(PostLibTest, LineWidthHasThreeDecimalsInAFieldOfFour) {
  const std::pair<double, std::string> cases[] = {
      {0.5, "0.500 setlinewidth"}, {12.25, "12.250 setlinewidth"}, {0.0, "0.000 setlinewidth"}};
  for (const auto& [width, line] : cases) {
    POST_lib ps;
    ps.PS_SetLineWidth(width);
    EXPECT_EQ(Lines(ps.Contents()), std::vector<std::string>{line});
  }
}

TEST(PostLibTest, TextAlignmentModes) {
  const std::string head = "(Ab) dup stringwidth 0 add pop FontHeight 0 add";
  const std::vector<std::vector<std::string>> modeLines = {
      {"exch pop 1", "exch 2 div neg"},     {"pop 2 div neg", "3"},
      {"exch 1 add neg", "exch 2 div neg"}, {"exch 2 div neg", "exch 8 add neg"},
      {"exch 2 div neg", "exch 2 div neg"}, {"pop pop 1 1"},
  };
  for (int mode = 0; mode < 6; ++mode) {
    POST_lib ps;
    ps.PS_Text("Ab", mode);
    std::vector<std::string> expected = {head};
    expected.insert(expected.end(), modeLines[mode].begin(), modeLines[mode].end());
    expected.push_back("rmoveto show");
    EXPECT_EQ(Lines(ps.Contents()), expected) << "mode " << mode;
  }
  POST_lib empty;
  empty.PS_Text("", 0);
  EXPECT_EQ(Lines(empty.Contents()),
            (std::vector<std::string>{"() dup stringwidth 0 add pop FontHeight 0 add",
                                      "exch pop 1", "exch 2 div neg", "rmoveto show"}));
  POST_lib bad;
  EXPECT_THROW(bad.PS_Text("x", 6), std::invalid_argument);
  EXPECT_TRUE(bad.Contents().empty());
}

TEST(PostLibTest, FillRectTracesTheRectangleAndFillsIt) {
  POST_lib ps;
  ps.PS_SetWindow(0.0, 29.7, 21.0, 0.0);
  ps.PS_FillRect(1.27, 1.27, 28.43, 2.17);
  const auto lines = Lines(ps.Contents());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "39.44 802.34 MT");
  EXPECT_EQ(lines[1], "39.44 777.06 LT");
  EXPECT_EQ(lines[2], "797.33 777.06 LT");
  EXPECT_EQ(lines[3], "797.33 802.34 LT");
  EXPECT_EQ(lines[4], "closepath fill stroke");
}

TEST(PostLibTest, TextIsWrittenInWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"12\u00B030.0'", "12\xB0" "30.0'"},  // degree sign
      {"\u00B5'", "\xB5'"},                 // micro sign
      {"\u00C4rger \u20AC", "\xC4rger \x80"},
      {"\u2192 \U0001F600", "? ?"},         // no code in Windows-1252
      {"bad \xC3 end", "bad ? end"},        // broken UTF-8
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(ToWindows1252(in), out) << in;
    POST_lib ps;
    ps.PS_WriteLine(in);
    EXPECT_EQ(ps.Contents(), out + "\r\n");
  }
  POST_lib bytes;
  bytes.PS_WriteBytes("\xB0\xFF");
  EXPECT_EQ(bytes.Contents(), "\xB0\xFF\r\n");
}

std::vector<std::string> PrologLines(const fs::path& font) {
  POST_lib ps;
  ps.PS_WriteProlog(font);
  return Lines(ps.Contents());
}

std::vector<std::string>::const_iterator Find(const std::vector<std::string>& lines,
                                              const std::string& line) {
  return std::find(lines.begin(), lines.end(), line);
}

TEST(PostLibTest, PrologCopiesTheFontFileLineByLine) {
  const fs::path dir = TempDir("prolog");
  const fs::path font = dir / "Ethnocentric.pfa";
  std::ofstream(font, std::ios::binary) << "%!PS-AdobeFont-1.0: Test\r\nline two\n\nlast";
  const auto lines = PrologLines(font);
  const std::vector<std::string> start = {
      "", "% Ethnocentric Font laden", "% -----------------------", "%!PS-AdobeFont-1.0: Test",
      "line two", "", "last", "", "% Definition der reencodesmall Prozedur"};
  ASSERT_GE(lines.size(), start.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + start.size()), start);

  // An empty font file gives the block with no lines.
  std::ofstream(font, std::ios::trunc);
  const auto emptyFont = PrologLines(font);
  ASSERT_GE(emptyFont.size(), 5u);
  EXPECT_EQ(emptyFont[3], "");
  EXPECT_EQ(emptyFont[4], "% Definition der reencodesmall Prozedur");
  fs::remove_all(dir);
}

TEST(PostLibTest, PrologBlocks) {
  const fs::path dir = TempDir("blocks");
  const fs::path font = dir / "Ethnocentric.pfa";
  std::ofstream(font) << "% font\n";
  const auto lines = PrologLines(font);

  auto at = Find(lines, "% Definition der reencodesmall Prozedur");
  ASSERT_NE(at, lines.end());
  const std::vector<std::string> reencode = {
      "% Definition der reencodesmall Prozedur",
      "% ---------------------------------------",
      "/reencsmalldict 12 dict def /ReEncodeSmall ",
      "{ reencsmalldict begin /newcodesandnames exch def ",
      "/newfontname exch def /basefontname exch def ",
      "/basefontdict basefontname findfont def ",
      "/newfont basefontdict maxlength dict def basefontdict ",
      "{ exch dup /FID ne { dup /Encoding eq ",
      "{ exch dup length array copy newfont 3 1 roll put } ",
      "{ exch newfont 3 1 roll put } ifelse } { pop pop } ",
      "ifelse } forall ",
      "newfont /FontName newfontname put ",
      "newcodesandnames aload pop ",
      "newcodesandnames length 2 idiv ",
      "{ newfont /Encoding get 3 1 roll put } repeat ",
      "newfontname newfont definefont pop end } def",
      "",
      "% Definitionen der deutschen Umlaute",
      "% ----------------------------------",
      "/germanvec [",
      "10#176 /degree",
      "] def",
      "",
      "",
      "% Die verwendeten Schriften eindeutschen",
      "% --------------------------------------",
      "/Courier                          findfont dup length dict begin {def} forall",
      "                                  /Encoding ISOLatin1Encoding def currentdict end",
      "/Courier-ISOLatin1                exch definefont pop",
  };
  ASSERT_GE(lines.end() - at, static_cast<long>(reencode.size()));
  EXPECT_EQ(std::vector<std::string>(at, at + static_cast<long>(reencode.size())), reencode);

  // The two exceptions to the 34-column padding.
  EXPECT_NE(Find(lines, "/Arial-Narrow-Bold-ISOLatin1 exch definefont pop"), lines.end());
  EXPECT_NE(Find(lines, "/Arial-Narrow-Bold                findfont dup length dict begin "
                        "{def} forall"),
            lines.end());
  const auto ethno = Find(lines, "/Ethnocentric" + std::string(20, ' ') +
                                     "findfont dup length dict begin {def} forall");
  ASSERT_NE(ethno, lines.end());
  EXPECT_EQ(*(ethno + 1),
            std::string(33, ' ') + "/Encoding ISOLatin1Encoding def currentdict end");
  EXPECT_EQ(*(ethno + 2), "/Ethnocentric-ISOLatin1          exch definefont pop");
  // Twelve base fonts, three lines each.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.ends_with("findfont dup length dict begin {def} forall");
                          }),
            12);

  const std::vector<std::string> tail = {
      "/TRG6 {/Times-Roman-ISOLatin1 findfont",
      "       6 scalefont setfont",
      "       6 0.7 mul /FontHeight exch def} bind def",
  };
  const auto trg6 = Find(lines, tail[0]);
  ASSERT_NE(trg6, lines.end());
  EXPECT_EQ(*(trg6 + 1), tail[1]);
  EXPECT_EQ(*(trg6 + 2), tail[2]);
  EXPECT_EQ(*(trg6 - 3), "");
  EXPECT_EQ(*(trg6 - 2), "% Definitionen der wichtigsten Fonts in Kurzform");
  EXPECT_EQ(lines[lines.size() - 2], "/CSt {3 copy FCrc 0.25 sub 0.65 SG NP FCrc} bind def");
  EXPECT_EQ(lines.back(), "0 SG");
  fs::remove_all(dir);
}

TEST(PostLibTest, MissingFontLeavesOutItsBlockAndReEncodingWithAComment) {
  const fs::path dir = TempDir("nofont");
  const fs::path missing = dir / "Ethnocentric.pfa";
  POST_lib ps;
  EXPECT_FALSE(ps.PS_WriteProlog(missing));
  const auto lines = Lines(ps.Contents());
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3].rfind("% ", 0), 0u);
  EXPECT_NE(lines[3].find(missing.string()), std::string::npos);
  EXPECT_NE(lines[3].find("not found"), std::string::npos);
  EXPECT_EQ(lines[4], "");
  for (const auto& line : lines) {
    if (line.rfind("%", 0) == 0) continue;
    EXPECT_EQ(line.find("Ethnocentric"), std::string::npos) << line;
  }
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.ends_with("{def} forall"); }),
            11);
  fs::remove_all(dir);
}

TEST(PostLibTest, FileOutputEqualsTheMemoryTextAndFailuresNameTheFile) {
  const fs::path dir = TempDir("file");
  const fs::path file = dir / "out.ps";
  POST_lib memory;
  {
    POST_lib ps(file);
    for (POST_lib* p : {&ps, &memory}) {
      p->PS_SetWindow(0.0, 29.7, 21.0, 0.0);
      // Enough lines to pass the flush threshold more than once.
      for (int i = 0; i < 40000; ++i) p->PS_MoveTo(i * 0.001, 3.0);
      p->PS_WriteLine("\u00B0");
    }
    ps.Close();
    EXPECT_EQ(ps.BytesWritten(), memory.Contents().size());
  }
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), memory.Contents());

  try {
    POST_lib ps(dir / "no such folder" / "x.ps");
    FAIL() << "created a file in a missing folder";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("no such folder/x.ps"), std::string::npos) << e.what();
  }
  // A disk that fills up half-way (a file size limit here): the error names
  // the file and the cause, and the file is not there.
  try {
    const testing::FileSizeLimit limit(1'000'000);
    POST_lib full(dir / "Darvelle.ps");
    for (int i = 0; i < 400000; ++i) full.PS_WriteBytes("0123456789");
    full.Close();
    FAIL() << "writing past the file size limit succeeded";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find((dir / "Darvelle.ps").string() + "\": File too large"),
              std::string::npos)
        << message;
  }
  EXPECT_FALSE(fs::exists(dir / "Darvelle.ps"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace darvelle
