#pragma once
// A small GNU-style option reader for darvelle-cli: "--name value",
// "--name=value" and bare flags. Unknown options and missing values are usage
// errors (exit status 2).

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace darvelle::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  // Parses args against the options a command accepts: valued options take a
  // value, flags take none. Throws UsageError on anything else.
  Args(const std::vector<std::string>& args, const std::set<std::string>& valued,
       const std::set<std::string>& flags);

  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
  // The option's value as a whole number; UsageError when it is not one.
  std::optional<long long> Integer(const std::string& name) const;
  // The option's value as a real number; UsageError when it is not one.
  std::optional<double> Real(const std::string& name) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
};

}  // namespace darvelle::cli
