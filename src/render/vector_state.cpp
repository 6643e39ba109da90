#include "render/vector_state.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace darvelle {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))

namespace {

// Compiled for AVX alone: the rest of the program must run on processors
// without it, so this is only called after asking the processor.
__attribute__((target("avx"))) void ZeroUpperHalves() { _mm256_zeroupper(); }

}  // namespace

void ClearUpperVectorState() {
  if (__builtin_cpu_supports("avx")) ZeroUpperHalves();
}

#else

void ClearUpperVectorState() {}

#endif

}  // namespace darvelle
