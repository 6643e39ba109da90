#pragma once
// Names of the eclipse types and the small texts around them, in the three
// languages of the user interface. Every text is Windows-1252 bytes (the "ö"
// of "Ringförmige" is the single byte 0xF6); Latin1ToUtf8 converts for a
// terminal or a UTF-8 toolkit.

#include <string>
#include <string_view>

#include "astro/instant.h"
#include "catalogue/besselian_elements.h"
#include "catalogue/language.h"

namespace darvelle {

// Long and short type names for EclipseType 1 .. 6; empty for another code.
std::string_view EclipseTypeName(int code, Language language);
std::string_view EclipseTypeShortName(int code, Language language);
// "Finster. im Saros: " / "Ecl. in Saros: " / "Ecl. dans Saros: ".
std::string_view SarosPrefix(Language language);
// ". von " / ". of " / ". de ".
std::string_view SarosMemberSeparator(Language language);
// " Sek. " / " secs" / " sec.".
std::string_view SecondsWord(Language language);
// The sheet's type names in German or English; empty in French.
std::string_view SheetEclipseTypeName(int code, Language language);

// The same names for the elements' kind.
inline std::string_view EclipseTypeName(EclipseKind kind, Language language) {
  return EclipseTypeName(static_cast<int>(kind), language);
}
inline std::string_view EclipseTypeShortName(EclipseKind kind, Language language) {
  return EclipseTypeShortName(static_cast<int>(kind), language);
}
inline std::string_view SheetEclipseTypeName(EclipseKind kind, Language language) {
  return SheetEclipseTypeName(static_cast<int>(kind), language);
}

// "Ecl. in Saros: 12. of 71".
std::string SarosCaption(int member, int memberCount, Language language);
// Caption of the time-scale box: "UT DeltaT= 69.2 secs" in UT (one decimal
// for the years 1900 .. 2050, none outside), "TT" otherwise.
std::string TimeScaleCaption(TimeScale timeScale, double deltaT, int year, Language language);

// Windows-1252 text of the characters this program uses (Latin-1 range) as UTF-8.
std::string Latin1ToUtf8(std::string_view text);

}  // namespace darvelle
