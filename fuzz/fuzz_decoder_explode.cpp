// libFuzzer target: arbitrary bytes into Explode.
#include "fuzz_decoder_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qr5::fuzz::RunDecoder(data, size, [](qr5::archive::DecoderIo& io) { qr5::archive::Explode(io); });
}
