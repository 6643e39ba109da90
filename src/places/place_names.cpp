#include "places/place_names.h"

#include <libintl.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace darvelle::places {
namespace {

constexpr std::uint32_t kMoMagic = 0x950412deu;
constexpr std::uint32_t kMoMagicSwapped = 0xde120495u;
// The largest catalogue of the list is about 1 MB (English); a file many
// times that size is not one of them, and is not read into memory.
constexpr std::uintmax_t kLargestCatalogueBytes = 64u << 20;

class CatalogueBytes {
 public:
  CatalogueBytes(std::vector<char> bytes, std::filesystem::path file)
      : bytes_(std::move(bytes)), file_(std::move(file)) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(file_.string() + ": " + what);
  }

  std::uint32_t Word(std::uint64_t offset, const char* field) const {
    if (offset + 4 > bytes_.size()) Fail(std::string(field) + " lies beyond the end of the file");
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
    if (swapped_) return std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[0]} << 24;
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
  }

  void ReadByteOrder() {
    swapped_ = false;
    const std::uint32_t magic = Word(0, "the magic number");
    if (magic == kMoMagicSwapped) {
      swapped_ = true;
    } else if (magic != kMoMagic) {
      Fail("not a gettext catalogue (magic number)");
    }
  }

  // Entry `i` of a table of (length, offset) pairs: its text up to the
  // first NUL (a plural entry's first form).
  std::string Text(std::uint32_t table, std::uint32_t i, const char* field) const {
    const std::uint64_t entry = std::uint64_t{table} + 8ull * i;
    const std::uint32_t length = Word(entry, field);
    const std::uint32_t offset = Word(entry + 4, field);
    if (std::uint64_t{offset} + length > bytes_.size()) {
      Fail(std::string(field) + " " + std::to_string(i) + " lies beyond the end of the file");
    }
    const char* begin = bytes_.data() + offset;
    std::string text(begin, length);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text;
  }

 private:
  std::vector<char> bytes_;
  std::filesystem::path file_;
  bool swapped_ = false;
};

std::vector<char> ReadWhole(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) throw std::runtime_error(file.string() + ": cannot be read (" + error.message() + ")");
  if (size > kLargestCatalogueBytes) throw std::runtime_error(file.string() + ": too large for a catalogue");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error(file.string() + ": cannot be opened");
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error(file.string() + ": read error");
  return bytes;
}

}  // namespace

std::filesystem::path LocaleFolder() {
  // With a null folder bindtextdomain only reports the binding.
  const char* bound = bindtextdomain("geonames", nullptr);
  return bound != nullptr && *bound != '\0' ? std::filesystem::path(bound)
                                            : std::filesystem::path("/usr/share/locale");
}

PlaceNames PlaceNames::ForLanguage(const std::string& languageCode) {
  // A code such as "../x" would leave the locale folder.
  if (languageCode.empty() || languageCode.find_first_of("/.") != std::string::npos) return {};
  const std::filesystem::path file = LocaleFolder() / languageCode / "LC_MESSAGES" / "geonames.mo";
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return {};
  return Read(file);
}

PlaceNames PlaceNames::Read(const std::filesystem::path& file) {
  CatalogueBytes bytes(ReadWhole(file), file);
  bytes.ReadByteOrder();
  const std::uint32_t revision = bytes.Word(4, "the revision");
  if ((revision >> 16) > 1) bytes.Fail("revision " + std::to_string(revision >> 16) + " is not supported");
  const std::uint32_t count = bytes.Word(8, "the number of strings");
  const std::uint32_t originals = bytes.Word(12, "the offset of the original strings");
  const std::uint32_t translations = bytes.Word(16, "the offset of the translated strings");
  PlaceNames names;
  // Every entry is bounds-checked before it is read: a count beyond the
  // file ends the loop at the first entry outside it with an error.
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string key = bytes.Text(originals, i, "original string");
    std::string text = bytes.Text(translations, i, "translated string");
    if (key.empty()) continue;  // the catalogue's header
    names.translations_.insert_or_assign(std::move(key), std::move(text));
  }
  return names;
}

std::string_view PlaceNames::Translate(const std::string& key, std::string_view fallback) const {
  const auto found = translations_.find(key);
  if (found == translations_.end() || found->second.empty()) return fallback;
  return found->second;
}

}  // namespace darvelle::places
