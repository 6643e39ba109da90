#pragma once
// Whether a catalogue record describes an eclipse the computation can work
// on: every number finite, every field within the range that the Sun, the
// Moon and the Earth allow (with a wide margin over the whole catalogue).
// A record that fails is refused before anything computes with it: one
// flipped bit in the file must not make a search spin, an integer overflow
// or a date of garbage.

#include <optional>
#include <stdexcept>
#include <string>

#include "catalogue/eclipse_record.h"

namespace darvelle {

// A record of the catalogue that the program refuses; what() names the
// record's index, the field and what is wrong with it.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What is wrong with the record ("XPoly c1 is inf, not a finite number"), or
// nullopt when nothing is. The stored JulianDay and the reserved and work
// bytes are not checked: the program never reads them.
std::optional<std::string> RecordProblem(const EclipseRecord& record);

}  // namespace darvelle
