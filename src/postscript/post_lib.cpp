#include "postscript/post_lib.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "astro/format.h"
#include "catalogue/data_files.h"

namespace darvelle {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The picture alone is 10 MB; writing in chunks of this size keeps the number
// of system calls small without holding the whole sheet in memory.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;

// Page rectangle that PS_SetWindow maps a window onto, in points: centre and
// usable size, 1 pt inside the sheet's bounding box 3 3 591 839.
constexpr double kPageCentreX = 297.0;
constexpr double kPageCentreY = 421.0;
constexpr double kPageWidth = 586.0;
constexpr double kPageHeight = 834.0;

// Code points 0x80 .. 0x9F of Windows-1252 (0 where the code is unassigned).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Cp1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

std::string SystemCause() { return std::strerror(errno); }

// The re-encoding procedure, as the sheet has always carried it (several lines
// end in a blank).
constexpr std::string_view kReEncodeSmall[] = {
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
};

constexpr std::string_view kBaseFonts[] = {
    "Courier",     "Helvetica",    "Helvetica-Narrow", "Helvetica-Bold",
    "Helvetica-Narrow-Bold", "Arial", "Arial-Italic", "Arial-Narrow",
    "Arial-Bold",  "Arial-Narrow-Bold", "Times-Roman", "Ethnocentric"};

constexpr std::string_view kShortForms[] = {
    "",
    "% Definitionen der wichtigsten Fonts in Kurzform",
    "% ----------------------------------------------",
    "/TRG6 {/Times-Roman-ISOLatin1 findfont",
    "       6 scalefont setfont",
    "       6 0.7 mul /FontHeight exch def} bind def",
    "/TRG8 {/Times-Roman-ISOLatin1 findfont",
    "       8 scalefont setfont",
    "       8 0.7 mul /FontHeight exch def} bind def",
    "/Zpf6 {/ZapfDingbats findfont",
    "       6 scalefont setfont",
    "       6 0.7 mul /FontHeight exch def} bind def",
    "/Zpf8 {/ZapfDingbats findfont",
    "       8 scalefont setfont",
    "       8 0.7 mul /FontHeight exch def} bind def",
    "/FCrc {0 360 arc fill ST} bind def",
    "/spaces",
    "{dup /n 0 def",
    "{32 eq {/n n 1 add def} if}",
    "forall n } def",
    "",
    "% Definition der wichtigsten Zeichenbefehle in Kurzform",
    "% -----------------------------------------------------",
    "/MT {moveto} bind def",
    "/LT {lineto} bind def",
    "/NP {newpath} bind def",
    "/ST {stroke} bind def",
    "/SG {setgray} bind def",
    "/SSt {3 copy FCrc 0.25 sub 0 SG NP FCrc} bind def",
    "/CSt {3 copy FCrc 0.25 sub 0.65 SG NP FCrc} bind def",
    "0 SG",
};

std::string PadTo(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

std::string ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      out += '?';  // a stray continuation byte or an invalid lead byte
      ++i;
      continue;
    }
    bool valid = i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += Cp1252Byte(cp);
    i += 1 + extra;
  }
  return out;
}

POST_lib::POST_lib() { buffer_.reserve(4096); }

POST_lib::POST_lib(const std::filesystem::path& file)
    : ownedFile_(std::make_unique<AtomicFile>(file)), file_(ownedFile_.get()), toFile_(true) {
  buffer_.reserve(kFlushSize + 65536);
}

POST_lib::POST_lib(AtomicFile& sink) : file_(&sink), toFile_(true) {
  buffer_.reserve(kFlushSize + 65536);
}

POST_lib::~POST_lib() = default;  // an uncommitted file is dropped with its writer

void POST_lib::Flush() {
  if (!toFile_ || buffer_.empty()) return;
  file_->Write(buffer_);
  flushed_ += buffer_.size();
  buffer_.clear();
}

void POST_lib::FlushIfFull() {
  if (toFile_ && buffer_.size() >= kFlushSize) Flush();
}

void POST_lib::Close() {
  if (file_ == nullptr) return;
  Flush();
  if (ownedFile_) ownedFile_->Commit();
  file_ = nullptr;
  ownedFile_.reset();
}

void POST_lib::EndLine() {
  buffer_ += kLineEnd;
  FlushIfFull();
}

void POST_lib::PS_WriteLine(std::string_view text) {
  buffer_ += ToWindows1252(text);
  EndLine();
}

void POST_lib::PS_WriteBytes(std::string_view bytes) {
  buffer_ += bytes;
  EndLine();
}

void POST_lib::PS_FontTimesRoman12() {
  PS_WriteBytes("/Times-Roman-ISOLatin1 findfont 12 scalefont setfont");
  PS_WriteBytes("12 0.7 mul /FontHeight exch def");
}

void POST_lib::FontLines(std::string_view findfontPrefix, std::string_view sizeText, float size) {
  buffer_ += findfontPrefix;
  buffer_ += sizeText;
  buffer_ += " scalefont setfont";
  EndLine();
  buffer_ += FixedText(static_cast<double>(size), 2);
  buffer_ += " 0.7 mul /FontHeight exch def";
  EndLine();
}

void POST_lib::PS_FontArial(float size) {
  FontLines("/Arial-ISOLatin1 findfont ", FixedText(static_cast<double>(size), 1), size);
}

void POST_lib::PS_FontArialBold(float size) {
  FontLines("/Arial-Bold-ISOLatin1 findfont ", FixedText(static_cast<double>(size), 1), size);
}

void POST_lib::PS_FontArialNarrow(float size) {
  FontLines("/Arial-Narrow-ISOLatin1 findfont ", FixedText(static_cast<double>(size), 1), size);
}

void POST_lib::PS_FontArialNarrowBold(float size) {
  FontLines("/Arial-Narrow-Bold-ISOLatin1 findfont ", FixedText(static_cast<double>(size), 1),
            size);
}

void POST_lib::PS_FontSymbol(float size) {
  FontLines("/Symbol findfont ", FixedText(static_cast<double>(size), 2), size);
}

void POST_lib::CopyFontFile(const std::filesystem::path& fontFile) {
  std::ifstream in(fontFile, std::ios::binary);
  if (!in) throw FileError("Cannot open \"" + fontFile.string() + "\": " + SystemCause());
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileError("Cannot read \"" + fontFile.string() + "\": " + SystemCause());
  // Line by line, whatever line ends the file uses; a last line without an end
  // is still a line, an empty file gives none.
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    PS_WriteBytes(line);
    start = end + 1;
  }
}

bool POST_lib::PS_WriteProlog(const std::filesystem::path& fontFile) {
  std::error_code ec;
  const bool haveFont = std::filesystem::is_regular_file(fontFile, ec);

  PS_WriteBytes("");
  PS_WriteBytes("% Ethnocentric Font laden");
  PS_WriteBytes("% -----------------------");
  if (haveFont) {
    CopyFontFile(fontFile);
  } else {
    PS_WriteBytes("% " + fontFile.string() +
                  " not found: font Ethnocentric not embedded, /Ethnocentric-ISOLatin1 not defined");
  }

  PS_WriteBytes("");
  PS_WriteBytes("% Definition der reencodesmall Prozedur");
  PS_WriteBytes("% ---------------------------------------");
  for (const auto line : kReEncodeSmall) PS_WriteBytes(line);

  PS_WriteBytes("");
  PS_WriteBytes("% Definitionen der deutschen Umlaute");
  PS_WriteBytes("% ----------------------------------");
  PS_WriteBytes("/germanvec [");
  PS_WriteBytes("10#176 /degree");
  PS_WriteBytes("] def");

  PS_WriteBytes("");
  PS_WriteBytes("");
  PS_WriteBytes("% Die verwendeten Schriften eindeutschen");
  PS_WriteBytes("% --------------------------------------");
  for (const auto font : kBaseFonts) {
    const bool ethnocentric = font == "Ethnocentric";
    if (ethnocentric && !haveFont) {
      PS_WriteBytes("% Ethnocentric not re-encoded: its font file is missing");
      continue;
    }
    // Ethnocentric's lines have always been one column narrower.
    const std::size_t width = ethnocentric ? 33 : 34;
    const std::string name = "/" + std::string(font);
    PS_WriteBytes(PadTo(name, width) + "findfont dup length dict begin {def} forall");
    PS_WriteBytes(std::string(width, ' ') + "/Encoding ISOLatin1Encoding def currentdict end");
    if (font == "Arial-Narrow-Bold") {
      PS_WriteBytes("/Arial-Narrow-Bold-ISOLatin1 exch definefont pop");
    } else {
      PS_WriteBytes(PadTo(name + "-ISOLatin1", width) + "exch definefont pop");
    }
  }

  for (const auto line : kShortForms) PS_WriteBytes(line);
  return haveFont;
}

void POST_lib::PS_Text(std::string_view text, int mode) {
  if (mode < kTextLeft || mode > kTextUpperRight) {
    throw std::invalid_argument("PS_Text: alignment mode " + std::to_string(mode) +
                                " outside 0 .. 5");
  }
  buffer_ += '(';
  buffer_ += ToWindows1252(text);
  buffer_ += ") dup stringwidth 0 add pop FontHeight 0 add";
  EndLine();
  switch (mode) {
    case kTextLeft:
      PS_WriteBytes("exch pop 1");
      PS_WriteBytes("exch 2 div neg");
      break;
    case kTextCentredAbove:
      PS_WriteBytes("pop 2 div neg");
      PS_WriteBytes("3");
      break;
    case kTextRight:
      PS_WriteBytes("exch 1 add neg");
      PS_WriteBytes("exch 2 div neg");
      break;
    case kTextCentredBelow:
      PS_WriteBytes("exch 2 div neg");
      PS_WriteBytes("exch 8 add neg");
      break;
    case kTextCentred:
      PS_WriteBytes("exch 2 div neg");
      PS_WriteBytes("exch 2 div neg");
      break;
    case kTextUpperRight:
      PS_WriteBytes("pop pop 1 1");
      break;
  }
  PS_WriteBytes("rmoveto show");
}

void POST_lib::PS_SetLineWidth(double width) {
  std::string text = FixedText(width, 3);
  if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
  PS_WriteBytes(text + " setlinewidth");
}

void POST_lib::PS_MoveTo(double x, double y) {
  buffer_ += FixedText(PageX(x), 2);
  buffer_ += ' ';
  buffer_ += FixedText(PageY(y), 2);
  buffer_ += " MT";
  EndLine();
}

void POST_lib::PS_LineTo(double x, double y) {
  buffer_ += FixedText(PageX(x), 2);
  buffer_ += ' ';
  buffer_ += FixedText(PageY(y), 2);
  buffer_ += " LT";
  EndLine();
}

void POST_lib::PS_SetWindow(double xLeft, double yBottom, double xRight, double yTop) {
  scaleX_ = kPageWidth / (xRight - xLeft);
  offsetX_ = kPageCentreX - (xRight + xLeft) * scaleX_ / 2.0;
  scaleY_ = kPageHeight / (yTop - yBottom);
  offsetY_ = kPageCentreY - (yTop + yBottom) * scaleY_ / 2.0;
}

void POST_lib::PS_FillRect(double x1, double y1, double x2, double y2) {
  PS_MoveTo(x1, y1);
  PS_LineTo(x1, y2);
  PS_LineTo(x2, y2);
  PS_LineTo(x2, y1);
  PS_WriteBytes("closepath fill stroke");
}

}  // namespace darvelle
