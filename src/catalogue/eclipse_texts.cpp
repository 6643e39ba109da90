#include "catalogue/eclipse_texts.h"

#include <array>
#include <cmath>

#include "astro/format.h"

namespace darvelle {
namespace {

using Row = std::array<std::string_view, 3>;  // German, English, French

constexpr std::array<Row, 6> kLongNames = {{
    {"Partielle Sonnenfinsternis", "Partial solar eclipse", "Eclipse de soleil partielle"},
    {"Totale Sonnenfinsternis", "Total solar eclipse", "Eclipse de soleil totale"},
    {"Ringf\xF6rmige Sonnenfinsternis", "Annular solar eclipse", "Eclipse de soleil annulaire"},
    {"Ringf\xF6rmig-totale Sonnenfinsternis", "Annular-total solar eclipse",
     "Eclipse de soleil annulaire-totale"},
    {"Nichtzentrale totale Sonnenfinsternis", "Non central total solar eclipse",
     "Eclipse de soleil totale non centrale"},
    {"Nichtzentrale ringf\xF6rmige Sonnenfinsternis", "Non central annular solar eclipse",
     "Eclipse de soleil annulaire non centrale"},
}};

constexpr std::array<Row, 6> kShortNames = {{
    {"Partielle Sonnenfinsternis", "Partial solar eclipse", "Ecl. de soleil partielle"},
    {"Totale Sonnenfinsternis", "Total solar eclipse", "Ecl. de soleil totale"},
    {"Ringf\xF6rmige Finsternis", "Annular solar eclipse", "Ecl. de soleil annulaire"},
    {"Ringf.-totale Sonnenfinst.", "Ann-total solar eclipse", "Ecl. de soleil ann.-totale"},
    {"Nichtzentrale totale SoFi", "Non central total eclipse", "Ecl. totale non centrale"},
    {"Nichtzentrale ringf. SoFi", "Non central annul. eclipse",
     "Eclipse de soleil annulaire non centrale"},
}};

constexpr Row kSarosPrefix = {"Finster. im Saros: ", "Ecl. in Saros: ", "Ecl. dans Saros: "};
constexpr Row kMemberSeparator = {". von ", ". of ", ". de "};
constexpr Row kSecondsWord = {" Sek. ", " secs", " sec."};

constexpr std::array<std::array<std::string_view, 2>, 6> kSheetNames = {{
    {"Partielle Sonnenfinsternis", "Partial Solar Eclipse"},
    {"Totale Sonnenfinsternis", "Total Solar Eclipse"},
    {"Ringf\xF6rmige Sonnenfinstenis", "Annular Solar Eclipse"},
    {"Ringf\xF6rmig-totale (hybride) Sonnenfinsternis", "Hybrid (annular-total) Solar Eclipse"},
    {"Nicht-zentrale totale Sonnenfinsternis", "Non-Central Total solar Eclipse"},
    {"Nicht-zentrale ringf\xF6rmige Sonnenfinsternis", "Non-Central Annular Solar Eclipse"},
}};

bool ValidCode(int code) { return code >= 1 && code <= 6; }

std::string_view FromRows(const std::array<Row, 6>& rows, int code, Language language) {
  if (!ValidCode(code)) return {};
  return rows[static_cast<std::size_t>(code - 1)][LanguageIndex(language)];
}

std::string_view FromRow(const Row& row, Language language) {
  return row[LanguageIndex(language)];
}

}  // namespace

std::string_view EclipseTypeName(int code, Language language) {
  return FromRows(kLongNames, code, language);
}

std::string_view EclipseTypeShortName(int code, Language language) {
  return FromRows(kShortNames, code, language);
}

std::string_view SarosPrefix(Language language) { return FromRow(kSarosPrefix, language); }
std::string_view SarosMemberSeparator(Language language) {
  return FromRow(kMemberSeparator, language);
}
std::string_view SecondsWord(Language language) { return FromRow(kSecondsWord, language); }

std::string_view SheetEclipseTypeName(int code, Language language) {
  if (!ValidCode(code) || language == kFrench) return {};
  return kSheetNames[static_cast<std::size_t>(code - 1)][LanguageIndex(language)];
}

std::string SarosCaption(int member, int memberCount, Language language) {
  return std::string(SarosPrefix(language)) + std::to_string(member) +
         std::string(SarosMemberSeparator(language)) + std::to_string(memberCount);
}

std::string TimeScaleCaption(TimeScale timeScale, double deltaT, int year, Language language) {
  if (timeScale != TimeScale::kUniversal) return "TT";
  const int decimals = (year > 1899 && year < 2051) ? 1 : 0;
  return "UT DeltaT= " + FixedText(deltaT, decimals) + std::string(SecondsWord(language));
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace darvelle
