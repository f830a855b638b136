// What the processor offers beyond the baseline the program is built for
// (i686 for Windows, x86-64 on the host), asked once with cpuid: carry-less
// multiplication for the CRC-32 (also in 32-byte registers, in 64-bit
// builds), BMI2's flag-free shifts for inflate's fast loop. Elsewhere nothing is offered and the baseline code runs.
#pragma once

namespace qr5::archive {

struct ProcessorExtensions {
  bool clmul = false;   // PCLMULQDQ with SSE4.1
  bool vclmul = false;  // VPCLMULQDQ with AVX2, and the system keeps the 32-byte registers (64-bit builds)
  bool bmi2 = false;
};

// The extensions in use: those the processor has, unless switched off.
const ProcessorExtensions& Extensions();
// What the processor has, whether in use or not.
const ProcessorExtensions& ProcessorHas();
// Off (false) makes every decoder and the CRC-32 take their baseline paths,
// as on a processor without the extensions; on (true) goes back to what the
// processor has. For the tests that prove both.
void UseProcessorExtensions(bool on);
// Only those of the given extensions that the processor has.
void UseProcessorExtensions(const ProcessorExtensions& wanted);

}  // namespace qr5::archive
