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
    __cpuid_count(7, 0, a, b, c, d);
    has.bmi2 = (b & bit_BMI2) != 0;
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

}  // namespace qr5::archive
