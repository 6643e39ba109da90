#pragma once
// The one root search of the program: regula falsi on a bracket, with the
// Illinois rule where a tangency would stall it. Contacts of the shadow with
// the Earth, greatest eclipse and the Sun crossing an observer's horizon all
// go through it, so each stop rule and cap is stated once at the call.

#include <optional>
#include <type_traits>
#include <utility>

namespace darvelle {

// A non-owning reference to a callable double(double): the search runs in
// batch for every eclipse, and a std::function would allocate for lambdas
// with a few captures.
class RootFunction {
 public:
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, RootFunction>>>
  RootFunction(F&& f)  // NOLINT(google-explicit-constructor): made at the call
      : object_(static_cast<const void*>(&f)),
        call_([](const void* o, double t) { return (*static_cast<const std::decay_t<F>*>(o))(t); }) {}
  double operator()(double t) const { return call_(object_, t); }

 private:
  const void* object_;
  double (*call_)(const void*, double);
};

// When a search stops. Every search ends after maxSteps evaluations beyond
// the two ends, whatever the function does.
struct RootSearchLimits {
  double valueTolerance = 1e-9;  // |f(t)| below this: t is the root
  double spanTolerance = 0.0;    // bracket narrower than this: t is the root (0: no such test)
  double stallTolerance = 0.0;   // |f(b) - f(a)| below this: give up (0: no such test)
  int maxSteps = 100;
  // Halve the value at an end kept twice in a row, so that a convex function
  // near a tangency still converges; plain regula falsi creeps there.
  bool illinois = true;
};

// What a search ended with.
struct RootSearch {
  double last = 0;          // last instant evaluated (`from` when none)
  bool converged = false;   // a stop rule of the limits was met
  bool signChange = false;  // f(from) and f(to) differ in sign
};

// Regula falsi from b = from, a = to, the sign at `to` telling which end a
// new point replaces. With a sign change in [from, to] the points stay in the
// bracket (a step that rounds onto or past an end is replaced by the
// midpoint); without one the steps are secants and may leave it, which the
// caller judges. An end where |f| is below the value tolerance is the root.
// A non-finite value or a flat pair of ends (f(a) == f(b))
// ends the search unconverged.
RootSearch SearchRoot(RootFunction f, double from, double to, const RootSearchLimits& limits);

// The root in [from, to]: absent when the ends have no sign change, the
// function is flat or not finite there, or the cap is reached first.
std::optional<double> FindRoot(RootFunction f, double from, double to,
                               const RootSearchLimits& limits);

}  // namespace darvelle
