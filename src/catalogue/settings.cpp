#include "catalogue/settings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "catalogue/data_files.h"
#include "io/atomic_file.h"
#include "io/whole_file.h"

namespace darvelle {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the settings block is little-endian and copied as it stands");

constexpr std::size_t kLanguageOffset = 17;
constexpr std::size_t kEclipseIndexOffset = 18;
constexpr std::size_t kUseUTOffset = 22;
constexpr std::size_t kPsiOffset = 23;
constexpr std::size_t kPhiOffset = 31;
constexpr std::size_t kChiOffset = 39;
constexpr std::size_t kGlobeSizeOffset = 47;
constexpr std::size_t kOrthographicOffset = 51;
constexpr std::size_t kResolutionOffset = 52;
constexpr std::size_t kPenWidthOffset = 56;
constexpr std::size_t kReservedOffset = 60;
constexpr std::uintmax_t kMaxSettingsFileBytes = 64 * 1024;
static_assert(kReservedOffset + kSettingsReservedSize == kSettingsFileSize);

using Block = std::array<std::uint8_t, kSettingsFileSize>;

template <typename T>
void Put(Block& block, std::size_t offset, T value) {
  std::memcpy(block.data() + offset, &value, sizeof value);
}

template <typename T>
T Get(const Block& block, std::size_t offset) {
  T value;
  std::memcpy(&value, block.data() + offset, sizeof value);
  return value;
}

}  // namespace

Settings NewSettings(std::string_view programVersion) {
  Settings settings;
  settings.VersionText = std::string(programVersion.substr(0, kSettingsVersionTextMax));
  return settings;
}

std::array<std::uint8_t, kSettingsFileSize> EncodeSettings(const Settings& settings) {
  Block block{};
  const std::size_t length = std::min(settings.VersionText.size(), kSettingsVersionTextMax);
  block[0] = static_cast<std::uint8_t>(length);
  std::memcpy(block.data() + 1, settings.VersionText.data(), length);
  Put(block, kLanguageOffset, settings.Language);
  Put(block, kEclipseIndexOffset, settings.EclipseIndex);
  Put(block, kUseUTOffset, settings.UseUT);
  Put(block, kPsiOffset, settings.Psi);
  Put(block, kPhiOffset, settings.Phi);
  Put(block, kChiOffset, settings.Chi);
  Put(block, kGlobeSizeOffset, settings.GlobeSize);
  Put(block, kOrthographicOffset, settings.Orthographic);
  Put(block, kResolutionOffset, settings.Resolution);
  Put(block, kPenWidthOffset, settings.PenWidth);
  std::memcpy(block.data() + kReservedOffset, settings.Reserved.data(), kSettingsReservedSize);
  return block;
}

Settings DecodeSettings(std::span<const std::uint8_t> bytes) {
  Block block{};
  std::memcpy(block.data(), bytes.data(), std::min(bytes.size(), kSettingsFileSize));
  Settings settings;
  const std::size_t length = std::min<std::size_t>(block[0], kSettingsVersionTextMax);
  settings.VersionText.assign(reinterpret_cast<const char*>(block.data() + 1), length);
  settings.Language = Get<std::uint8_t>(block, kLanguageOffset);
  settings.EclipseIndex = Get<std::int32_t>(block, kEclipseIndexOffset);
  settings.UseUT = Get<std::uint8_t>(block, kUseUTOffset);
  settings.Psi = Get<double>(block, kPsiOffset);
  settings.Phi = Get<double>(block, kPhiOffset);
  settings.Chi = Get<double>(block, kChiOffset);
  settings.GlobeSize = Get<std::int32_t>(block, kGlobeSizeOffset);
  settings.Orthographic = Get<std::uint8_t>(block, kOrthographicOffset);
  settings.Resolution = Get<std::int32_t>(block, kResolutionOffset);
  settings.PenWidth = Get<std::int32_t>(block, kPenWidthOffset);
  std::memcpy(settings.Reserved.data(), block.data() + kReservedOffset, kSettingsReservedSize);
  return settings;
}

namespace {

// The names of the stored values the program cannot use, or empty.
std::string OutOfRange(const Settings& s) {
  std::string names;
  const auto note = [&](bool bad, const char* name) {
    if (!bad) return;
    if (!names.empty()) names += ", ";
    names += name;
  };
  note(s.Language > 2, "language");
  note(s.UseUT > 1, "time scale");
  const auto badAngle = [](double degrees) { return !std::isfinite(degrees) || std::abs(degrees) > 360; };
  note(badAngle(s.Psi) || badAngle(s.Phi) || badAngle(s.Chi), "view angles");
  note(s.GlobeSize < kMinGlobeSize || s.GlobeSize > kMaxGlobeSize, "globe size");
  note(s.Orthographic > 1, "projection");
  note(ClampPenWidth(s.PenWidth) != s.PenWidth, "pen width");
  return names;
}

}  // namespace

SettingsRead ReadSettingsFileChecked(const std::filesystem::path& file) {
  // A file far larger than a block is not read at all: it is no settings
  // file, and reading it would only cost the start-up time and memory.
  const std::string bytes = ReadWholeFile(file, kMaxSettingsFileBytes, "the settings file");
  SettingsRead read;
  read.settings = DecodeSettings(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
  if (bytes.size() != kSettingsFileSize) {
    read.damage = "The settings file \"" + file.string() + "\" holds " + std::to_string(bytes.size()) +
                  " bytes, not the " + std::to_string(kSettingsFileSize) + " of a settings block";
  } else {
    read.outOfRange = OutOfRange(read.settings);
  }
  return read;
}

Settings ReadSettingsFile(const std::filesystem::path& file) {
  return ReadSettingsFileChecked(file).settings;
}

void WriteSettingsFile(const std::filesystem::path& file, const Settings& settings) {
  const Block block = EncodeSettings(settings);
  WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(block.data()),
                                             block.size()));
}

int ClampEclipseIndex(std::int32_t index, int catalogueCount) {
  return std::clamp<int>(index, 1, std::max(1, catalogueCount));
}

int ClampPenWidth(std::int32_t penWidth) { return std::clamp<int>(penWidth, 1, 3); }

}  // namespace darvelle
