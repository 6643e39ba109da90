#pragma once
// A tiny Type 1 font named Ethnocentric (glyphs: .notdef, space and a box for
// every capital letter), made here so that the tests need no outside font:
// the charstrings and the private dictionary are encrypted as the Type 1
// format prescribes, and the result is an ordinary PFA text.

#include <cstdint>
#include <string>
#include <vector>

namespace darvelle::sheet_testing {

inline std::vector<std::uint8_t> Type1Encrypt(const std::vector<std::uint8_t>& plain,
                                              std::uint16_t key) {
  std::uint16_t r = key;
  std::vector<std::uint8_t> out;
  out.reserve(plain.size() + 4);
  std::vector<std::uint8_t> withLead = {0, 0, 0, 0};  // the four leading bytes
  withLead.insert(withLead.end(), plain.begin(), plain.end());
  for (const std::uint8_t p : withLead) {
    const auto c = static_cast<std::uint8_t>(p ^ (r >> 8));
    r = static_cast<std::uint16_t>((c + r) * 52845u + 22719u);
    out.push_back(c);
  }
  return out;
}

inline void Type1Number(std::vector<std::uint8_t>& cs, int v) {
  if (v >= -107 && v <= 107) {
    cs.push_back(static_cast<std::uint8_t>(v + 139));
  } else if (v >= 108 && v <= 1131) {
    v -= 108;
    cs.push_back(static_cast<std::uint8_t>(247 + v / 256));
    cs.push_back(static_cast<std::uint8_t>(v % 256));
  } else {  // -1131 .. -108
    v = -v - 108;
    cs.push_back(static_cast<std::uint8_t>(251 + v / 256));
    cs.push_back(static_cast<std::uint8_t>(v % 256));
  }
}

// hsbw, and for a box: rmoveto, three rlineto, closepath; endchar.
inline std::vector<std::uint8_t> Type1Glyph(int width, bool box) {
  std::vector<std::uint8_t> cs;
  Type1Number(cs, 0);
  Type1Number(cs, width);
  cs.push_back(13);  // hsbw
  if (box) {
    Type1Number(cs, 50);
    Type1Number(cs, 0);
    cs.push_back(21);  // rmoveto
    const int moves[3][2] = {{width - 100, 0}, {0, 700}, {-(width - 100), 0}};
    for (const auto& m : moves) {
      Type1Number(cs, m[0]);
      Type1Number(cs, m[1]);
      cs.push_back(5);  // rlineto
    }
    cs.push_back(9);  // closepath
  }
  cs.push_back(14);  // endchar
  return Type1Encrypt(cs, 4330);
}

inline std::string MakeType1TestFont() {
  std::vector<std::uint8_t> priv;
  auto text = [&priv](const std::string& s) { priv.insert(priv.end(), s.begin(), s.end()); };
  auto glyph = [&](const std::string& name, int width, bool box) {
    const auto cs = Type1Glyph(width, box);
    text("/" + name + " " + std::to_string(cs.size()) + " RD ");
    priv.insert(priv.end(), cs.begin(), cs.end());
    text(" ND\n");
  };
  text("dup /Private 8 dict dup begin\n");
  text("/RD {string currentfile exch readstring pop} executeonly def\n");
  text("/ND {noaccess def} executeonly def\n");
  text("/NP {noaccess put} executeonly def\n");
  text("/MinFeature {16 16} def\n");
  text("/password 5839 def\n");
  text("/BlueValues [] def\n");
  text("/Subrs 0 array def\n");
  text("2 index /CharStrings 28 dict dup begin\n");
  glyph(".notdef", 500, false);
  glyph("space", 300, false);
  for (char letter = 'A'; letter <= 'Z'; ++letter) glyph(std::string(1, letter), 600, true);
  text("end\nend\nreadonly put\nnoaccess put\n");
  text("dup /FontName get exch definefont pop\n");
  text("mark currentfile closefile\n");
  const auto encrypted = Type1Encrypt(priv, 55665);

  std::string pfa =
      "%!PS-AdobeFont-1.0: Ethnocentric 001.000\n"
      "%%Title: Ethnocentric (test font of the Darvelle tests)\n"
      "11 dict begin\n"
      "/FontInfo 2 dict dup begin\n"
      "/FullName (Ethnocentric) readonly def\n"
      "/FamilyName (Ethnocentric) readonly def\n"
      "end readonly def\n"
      "/FontName /Ethnocentric def\n"
      "/PaintType 0 def\n"
      "/FontType 1 def\n"
      "/FontMatrix [0.001 0 0 0.001 0 0] readonly def\n"
      "/Encoding StandardEncoding def\n"
      "/FontBBox {0 0 1000 1000} readonly def\n"
      "currentdict end\n"
      "currentfile eexec\n";
  static constexpr char kHex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < encrypted.size(); ++i) {
    pfa += kHex[encrypted[i] >> 4];
    pfa += kHex[encrypted[i] & 15];
    if (i % 32 == 31) pfa += '\n';
  }
  pfa += '\n';
  for (int i = 0; i < 8; ++i) pfa += std::string(64, '0') + "\n";
  pfa += "cleartomark\n";
  return pfa;
}

}  // namespace darvelle::sheet_testing
