#include "astro/root_finder.h"

#include <cmath>
#include <utility>

#include "astro/numeric.h"

namespace darvelle {

namespace {

// The bracket as the search keeps it: `a` keeps the sign of f(to), `b` the
// other end.
struct Bracket {
  double a, fa, b, fb;
  int lastMoved = 0;  // +1: a moved last, -1: b moved last
};

// Replaces the end on the new point's side; with the Illinois rule, an end
// kept twice in a row has its value halved.
void Replace(Bracket& r, double t, double f, int referenceSign, bool illinois) {
  if (SignOf(f) != referenceSign) {
    r.b = t;
    r.fb = f;
    if (illinois && r.lastMoved == -1) r.fa *= 0.5;
    r.lastMoved = -1;
  } else {
    r.a = t;
    r.fa = f;
    if (illinois && r.lastMoved == +1) r.fb *= 0.5;
    r.lastMoved = +1;
  }
}

bool StrictlyInside(double t, double x, double y) {
  return x < y ? (t > x && t < y) : (t > y && t < x);
}

}  // namespace

RootSearch SearchRoot(RootFunction f, double from, double to, const RootSearchLimits& limits) {
  Bracket r{to, 0.0, from, 0.0};
  r.fb = f(from);
  r.fa = f(to);
  const int referenceSign = SignOf(r.fa);
  RootSearch search;
  search.last = from;
  search.signChange = SignOf(r.fb) != referenceSign;
  // An end that already is a root needs no step; a step from it would only
  // reach it again by halving the bracket down to the tolerance.
  for (const auto& [t, value] : {std::pair{from, r.fb}, std::pair{to, r.fa}}) {
    if (std::fabs(value) < limits.valueTolerance) {
      search.last = t;
      search.converged = search.signChange = true;
      return search;
    }
  }
  for (int step = 0; step < limits.maxSteps; ++step) {
    if (limits.spanTolerance > 0.0 && !(std::fabs(r.a - r.b) > limits.spanTolerance)) {
      // Narrow enough before any step: the midpoint is the best estimate.
      if (step == 0) search.last = 0.5 * (from + to);
      search.converged = true;
      break;
    }
    const double denominator = r.fb - r.fa;
    if (denominator == 0.0) break;
    search.last = r.b + r.fb / denominator * (r.a - r.b);
    // Rounding may put a step on an end of a true bracket, where it would
    // gain nothing; halving cannot.
    if (search.signChange && !StrictlyInside(search.last, r.a, r.b)) {
      search.last = 0.5 * (r.a + r.b);
    }
    const double value = f(search.last);
    if (!std::isfinite(value)) break;
    Replace(r, search.last, value, referenceSign, limits.illinois);
    if (std::fabs(value) < limits.valueTolerance) {
      search.converged = true;
      break;
    }
    if (std::fabs(r.fb - r.fa) < limits.stallTolerance) break;
  }
  return search;
}

std::optional<double> FindRoot(RootFunction f, double from, double to,
                               const RootSearchLimits& limits) {
  const RootSearch search = SearchRoot(f, from, to, limits);
  if (!search.signChange || !search.converged) return std::nullopt;
  return search.last;
}

}  // namespace darvelle
