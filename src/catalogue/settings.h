#pragma once
// The settings file "Darvelle.ini": a packed little-endian block of 2,108
// bytes (not a text file, whatever its extension says) that carries the
// user's choices from one run to the next.
//
//   offset size field
//        0   17 VersionText   length byte + 16 character bytes
//       17    1 Language      0 German, 1 English, 2 French
//       18    4 EclipseIndex  selected catalogue index
//       22    1 UseUT         time scale UT (1) or TT (0)
//       23    8 Psi           view angles, degrees
//       31    8 Phi
//       39    8 Chi
//       47    4 GlobeSize     globe radius, pixels
//       51    1 Orthographic  1 orthographic, 0 stereographic
//       52    4 Resolution
//       56    4 PenWidth      1 .. 3
//       60 2048 Reserved      kept byte for byte

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace darvelle {

inline constexpr std::size_t kSettingsFileSize = 2108;
inline constexpr std::size_t kSettingsReservedSize = 2048;
inline constexpr std::size_t kSettingsVersionTextMax = 16;
inline constexpr std::string_view kSettingsFileName = "Darvelle.ini";

// Values the program uses before (or without) a settings file.
inline constexpr int kStartEclipseIndex = 16686;
inline constexpr int kDefaultGlobeSize = 500;
// The globe sizes (radii in pixels) the window accepts.
inline constexpr int kMinGlobeSize = 100;
inline constexpr int kMaxGlobeSize = 9999;

struct Settings {
  std::string VersionText;          // at most 16 bytes are stored
  std::uint8_t Language = 1;        // 0 German, 1 English, 2 French
  std::int32_t EclipseIndex = 16668;
  std::uint8_t UseUT = 1;
  double Psi = 0.0;                 // degrees
  double Phi = 0.0;
  double Chi = 0.0;
  std::int32_t GlobeSize = kDefaultGlobeSize;  // pixels
  std::uint8_t Orthographic = 1;
  std::int32_t Resolution = 1;
  std::int32_t PenWidth = 1;
  std::array<std::uint8_t, kSettingsReservedSize> Reserved{};

  bool operator==(const Settings&) const = default;
};

// The content of a new settings file: the defaults above with the program's
// version cut to 16 characters.
Settings NewSettings(std::string_view programVersion);

// The 2,108-byte image of the block.
std::array<std::uint8_t, kSettingsFileSize> EncodeSettings(const Settings& settings);

// Reads a block. Bytes beyond the end of a short block read as zero; bytes
// beyond 2,108 are ignored. A length byte above 16 is taken as 16.
Settings DecodeSettings(std::span<const std::uint8_t> bytes);

// A settings file as read: the block, and what is wrong with it.
struct SettingsRead {
  Settings settings;
  // Empty, or why the file is not a settings block (its size is not 2,108
  // bytes: an empty or truncated file, or another file under its name); the
  // program then starts from its defaults.
  std::string damage;
  // The stored values the program cannot use and replaces (a language,
  // flag, angle, globe size, resolution or pen width out of range).
  std::string outOfRange;
};

// Reads the file without ever waiting on it (a pipe under its name is refused
// like any other file that is not a regular one); throws FileError naming the
// file and the cause when it cannot be opened or read.
SettingsRead ReadSettingsFileChecked(const std::filesystem::path& file);
// Only the block of ReadSettingsFileChecked. A short file is not an error
// here (see DecodeSettings).
Settings ReadSettingsFile(const std::filesystem::path& file);

// Writes the whole block through an AtomicFile (io/atomic_file.h), so a
// failure never leaves a half-written settings file; throws FileError naming
// the file and the cause.
void WriteSettingsFile(const std::filesystem::path& file, const Settings& settings);

// Stored values turned into ones the program can use: the index into
// 1 .. catalogueCount, the pen width into 1 .. 3.
int ClampEclipseIndex(std::int32_t index, int catalogueCount);
int ClampPenWidth(std::int32_t penWidth);

}  // namespace darvelle
