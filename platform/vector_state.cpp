#include "platform/vector_state.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace genart {

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

[[gnu::target("avx")]] void zeroUpper()
{
    _mm256_zeroupper();
}

const bool kHasAvx = __builtin_cpu_supports("avx");

} // namespace

void clearUpperVectorState()
{
    if (kHasAvx)
        zeroUpper();
}
#else
void clearUpperVectorState() {}
#endif

} // namespace genart
