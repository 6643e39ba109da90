#include "io/temporary_names.h"

#include <algorithm>

#include "io/atomic_file.h"

namespace darvelle {
namespace {

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kLettersAndDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// mkstemp(3) and Qt's QSaveFile replace six X's.
constexpr std::size_t kSixCharacters = 6;

bool AllOf(std::string_view text, std::string_view alphabet) {
  return !text.empty() && text.find_first_not_of(alphabet) == std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Whether `name` is `prefix` + FILE + `marker` + a tail, for one of the files,
// with a tail that `tailFits`.
template <typename TailFits>
bool HasShape(std::string_view name, std::string_view prefix, std::span<const std::string_view> files,
              std::string_view marker, TailFits tailFits) {
  if (!StartsWith(name, prefix)) return false;
  const std::string_view rest = name.substr(prefix.size());
  return std::any_of(files.begin(), files.end(), [&](std::string_view file) {
    return !file.empty() && StartsWith(rest, file) && StartsWith(rest.substr(file.size()), marker) &&
           tailFits(rest.substr(file.size() + marker.size()));
  });
}

}  // namespace

bool IsTemporaryOf(std::string_view name, std::span<const std::string_view> fileNames,
                   bool withSixCharacterSuffix) {
  if (IsAtomicTemporaryName(name)) return true;
  const auto digits = [](std::string_view tail) { return AllOf(tail, kDigits); };
  const auto nothing = [](std::string_view tail) { return tail.empty(); };
  const auto six = [](std::string_view tail) {
    return tail.size() == kSixCharacters && AllOf(tail, kLettersAndDigits);
  };
  return HasShape(name, ".", fileNames, ".part-", digits) ||
         HasShape(name, "", fileNames, ".tmp", digits) ||
         HasShape(name, "", fileNames, ".part", nothing) ||
         (withSixCharacterSuffix && HasShape(name, "", fileNames, ".", six));
}

}  // namespace darvelle
