#include "cli/args.h"

#include <charconv>

namespace darvelle::cli {

Args::Args(const std::vector<std::string>& args, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) throw UsageError("unexpected argument '" + arg + "'");
    std::string name = arg.substr(2);
    std::optional<std::string> inlineValue;
    if (auto eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.resize(eq);
    }
    if (valued.count(name)) {
      if (inlineValue) {
        values_[name] = *inlineValue;
      } else if (i + 1 < args.size()) {
        values_[name] = args[++i];
      } else {
        throw UsageError("option '--" + name + "' needs a value");
      }
    } else if (flags.count(name) && !inlineValue) {
      flags_.insert(name);
    } else {
      throw UsageError("unknown option '" + arg + "'");
    }
  }
}

bool Args::Has(const std::string& name) const {
  return flags_.count(name) > 0 || values_.count(name) > 0;
}

std::optional<std::string> Args::Value(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<long long> Args::Integer(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) {
    throw UsageError("option '--" + name + "' needs a whole number, not '" + *text + "'");
  }
  return value;
}

std::optional<double> Args::Real(const std::string& name) const {
  auto text = Value(name);
  if (!text) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) {
    throw UsageError("option '--" + name + "' needs a number, not '" + *text + "'");
  }
  return value;
}

}  // namespace darvelle::cli
