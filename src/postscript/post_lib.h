#pragma once
// POST_lib: writes a PostScript program line by line. Every line ends in CR LF.
// User coordinates are mapped onto the A4 page through a window (PS_SetWindow);
// text is written in Windows-1252 so that the ISO Latin-1 re-encoded fonts of
// the prolog show the degree and micro signs.
//
// Output is buffered and goes either to a file (through an AtomicFile, so the
// file appears complete at Close or not at all) or, for tests and for callers
// that want the text itself, into memory. Any failure to create, write or
// close the file throws FileError naming the file and the cause.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "io/atomic_file.h"

namespace darvelle {

// Name of the outside party's Type 1 font that the prolog embeds when present.
inline constexpr std::string_view kEthnocentricFontFileName = "Ethnocentric.pfa";

// Alignment of PS_Text relative to the current point.
enum TextMode : int {
  kTextLeft = 0,          // 1 pt right of the point, vertically centred
  kTextCentredAbove = 1,  // centred, baseline 3 pt above the point
  kTextRight = 2,         // ends 1 pt left of the point, vertically centred
  kTextCentredBelow = 3,  // centred below the point
  kTextCentred = 4,       // centred on the point both ways
  kTextUpperRight = 5,    // 1 pt right of and 1 pt above the point
};

// UTF-8 text as Windows-1252 bytes; characters without a code there become '?'.
std::string ToWindows1252(std::string_view utf8);


class POST_lib {
 public:
  // Writes into memory; Contents() returns everything written so far.
  POST_lib();
  // Writes `file`, which appears under its name at Close; destroyed without
  // Close, the writer leaves the file as it was. Throws FileError when the
  // file cannot be created.
  explicit POST_lib(const std::filesystem::path& file);
  // Writes into `sink`, which the caller commits or drops; Close then only
  // flushes. For a document that is an intermediate file (a PDF's source).
  explicit POST_lib(AtomicFile& sink);
  ~POST_lib();
  POST_lib(const POST_lib&) = delete;
  POST_lib& operator=(const POST_lib&) = delete;

  // Flushes the rest and puts the file in place; throws FileError on failure.
  // Idempotent.
  void Close();
  // The text written (memory mode only; empty for a file).
  const std::string& Contents() const { return buffer_; }

  // UTF-8 text converted to Windows-1252, then CR LF.
  void PS_WriteLine(std::string_view text);
  // Bytes written as they are, then CR LF.
  void PS_WriteBytes(std::string_view bytes);

  void PS_FontTimesRoman12();
  void PS_FontArial(float size);
  void PS_FontArialBold(float size);
  void PS_FontArialNarrow(float size);
  void PS_FontArialNarrowBold(float size);
  void PS_FontSymbol(float size);

  // The fixed prolog. fontFile is the Type 1 font to embed as Ethnocentric.
  // When it does not exist, the prolog says so in a comment and leaves out the
  // font block and Ethnocentric's re-encoding, so the sheet is still complete.
  // An existing file that cannot be read throws FileError.
  // Returns whether the font was embedded.
  bool PS_WriteProlog(const std::filesystem::path& fontFile);

  void PS_Text(std::string_view text, int mode);
  void PS_SetLineWidth(double width);
  void PS_MoveTo(double x, double y);
  void PS_LineTo(double x, double y);
  void PS_SetWindow(double xLeft, double yBottom, double xRight, double yTop);
  void PS_FillRect(double x1, double y1, double x2, double y2);

  // Page point of a user point, as PS_MoveTo writes it.
  double PageX(double x) const { return x * scaleX_ + offsetX_; }
  double PageY(double y) const { return y * scaleY_ + offsetY_; }

  // Bytes of the document so far (written to the file or still buffered).
  std::size_t BytesWritten() const { return flushed_ + buffer_.size(); }

 private:
  void FontLines(std::string_view findfontPrefix, std::string_view sizeText, float size);
  void EndLine();
  void FlushIfFull();
  void Flush();
  void CopyFontFile(const std::filesystem::path& fontFile);

  std::unique_ptr<AtomicFile> ownedFile_;
  AtomicFile* file_ = nullptr;  // ownedFile_ or the caller's sink
  bool toFile_ = false;
  std::string buffer_;
  std::size_t flushed_ = 0;
  double offsetX_ = 0.0;
  double scaleX_ = 1.0;
  double offsetY_ = 0.0;
  double scaleY_ = 1.0;
};

}  // namespace darvelle
