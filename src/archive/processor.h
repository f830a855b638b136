// What the processor offers beyond the baseline the program is built for
// (i686 for Windows, x86-64 on the host), asked once with cpuid: carry-less
// multiplication for the CRC-32, BMI2's flag-free shifts for inflate's fast
// loop. Elsewhere nothing is offered and the baseline code runs.
#pragma once

namespace qr5::archive {

struct ProcessorExtensions {
  bool clmul = false;  // PCLMULQDQ with SSE4.1
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

}  // namespace qr5::archive
