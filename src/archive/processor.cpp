#include "archive/processor.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#include <cpuid.h>
#define QR5_HAVE_CPUID 1
#endif

namespace qr5::archive {

namespace {

ProcessorExtensions Ask() {
  ProcessorExtensions has;
#ifdef QR5_HAVE_CPUID
  unsigned a = 0, b = 0, c = 0, d = 0;
  // __get_cpuid first checks that the processor has cpuid at all (a 486 may not).
  if (__get_cpuid(1, &a, &b, &c, &d)) has.clmul = (c & bit_PCLMUL) != 0 && (c & bit_SSE4_1) != 0;
  if (__get_cpuid_max(0, nullptr) >= 7) {
#if defined(__x86_64__)
    // The 32-byte registers need the system's consent too (OSXSAVE, and
    // XCR0 with the SSE and AVX state).
    unsigned a1 = 0, b1 = 0, c1 = 0, d1 = 0;
    __get_cpuid(1, &a1, &b1, &c1, &d1);
    bool ymm = false;
    if ((c1 & bit_OSXSAVE) != 0 && (c1 & bit_AVX) != 0) {
      unsigned lo = 0, hi = 0;
      asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
      ymm = (lo & 6) == 6;
    }
#endif
    __cpuid_count(7, 0, a, b, c, d);
    has.bmi2 = (b & bit_BMI2) != 0;
#if defined(__x86_64__)
    has.vclmul = has.clmul && ymm && (b & bit_AVX2) != 0 && (c & bit_VPCLMULQDQ) != 0;
#endif
  }
#endif
  return has;
}

const ProcessorExtensions kHas = Ask();
ProcessorExtensions in_use = kHas;

}  // namespace

const ProcessorExtensions& Extensions() { return in_use; }
const ProcessorExtensions& ProcessorHas() { return kHas; }

void UseProcessorExtensions(bool on) { in_use = on ? kHas : ProcessorExtensions{}; }

void UseProcessorExtensions(const ProcessorExtensions& wanted) {
  in_use.clmul = wanted.clmul && kHas.clmul;
  in_use.vclmul = wanted.vclmul && kHas.vclmul;
  in_use.bmi2 = wanted.bmi2 && kHas.bmi2;
}

}  // namespace qr5::archive
