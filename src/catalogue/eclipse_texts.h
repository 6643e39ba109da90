#pragma once
// Names of the eclipse types and the small texts around them, in the three
// languages of the user interface. Every text is Windows-1252 bytes (the "ö"
// of "Ringförmige" is the single byte 0xF6); Latin1ToUtf8 converts for a
// terminal or a UTF-8 toolkit.

#include <string>
#include <string_view>

#include "astro/instant.h"
#include "catalogue/besselian_elements.h"

namespace darvelle {

// UiLanguage values.
inline constexpr int kGerman = 0;
inline constexpr int kEnglish = 1;
inline constexpr int kFrench = 2;

// Long and short type names for EclipseType 1 .. 6; empty for another code or language.
std::string_view EclipseTypeName(int code, int language);
std::string_view EclipseTypeShortName(int code, int language);
// "Finster. im Saros: " / "Ecl. in Saros: " / "Ecl. dans Saros: ".
std::string_view SarosPrefix(int language);
// ". von " / ". of " / ". de ".
std::string_view SarosMemberSeparator(int language);
// " Sek. " / " secs" / " sec.".
std::string_view SecondsWord(int language);
// The sheet's type names, language 0 German or 1 English; empty otherwise.
std::string_view SheetEclipseTypeName(int code, int language);

// The same names for the elements' kind.
inline std::string_view EclipseTypeName(EclipseKind kind, int language) {
  return EclipseTypeName(static_cast<int>(kind), language);
}
inline std::string_view EclipseTypeShortName(EclipseKind kind, int language) {
  return EclipseTypeShortName(static_cast<int>(kind), language);
}
inline std::string_view SheetEclipseTypeName(EclipseKind kind, int language) {
  return SheetEclipseTypeName(static_cast<int>(kind), language);
}

// "Ecl. in Saros: 12. of 71".
std::string SarosCaption(int member, int memberCount, int language);
// Caption of the time-scale box: "UT DeltaT= 69.2 secs" in UT (one decimal
// for the years 1900 .. 2050, none outside), "TT" otherwise.
std::string TimeScaleCaption(TimeScale timeScale, double deltaT, int year, int language);

// Windows-1252 text of the characters this program uses (Latin-1 range) as UTF-8.
std::string Latin1ToUtf8(std::string_view text);

}  // namespace darvelle
