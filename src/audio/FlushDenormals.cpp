#include "audio/FlushDenormals.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace
{
#if defined(__x86_64__) || defined(__i386__)
constexpr uint64_t kFlushBits = 0x8040; // flush-to-zero and denormals-are-zero

uint64_t ReadMode() { return _mm_getcsr(); }
void WriteMode(uint64_t mode) { _mm_setcsr(uint32_t(mode)); }
#elif defined(__aarch64__)
constexpr uint64_t kFlushBits = uint64_t(1) << 24; // FZ

uint64_t ReadMode()
{
    uint64_t fpcr;
    __asm__ __volatile__("mrs %0, fpcr" : "=r"(fpcr));
    return fpcr;
}
void WriteMode(uint64_t mode) { __asm__ __volatile__("msr fpcr, %0" : : "r"(mode)); }
#else
constexpr uint64_t kFlushBits = 0;

uint64_t ReadMode() { return 0; }
void WriteMode(uint64_t) {}
#endif
} // namespace

void FlushDenormalsToZero() { WriteMode(ReadMode() | kFlushBits); }

bool AreDenormalsFlushed() { return (ReadMode() & kFlushBits) == kFlushBits; }

cScopedFlushDenormals::cScopedFlushDenormals() : mSaved(ReadMode()) { WriteMode(mSaved | kFlushBits); }

cScopedFlushDenormals::~cScopedFlushDenormals() { WriteMode(mSaved); }
