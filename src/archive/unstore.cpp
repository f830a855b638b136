// Method 0: the stored bytes are the file's bytes, handed on block by block
// as they are read (one progress report per block of up to 32 KiB).
#include "archive/decoder.h"

namespace qr5::archive {

void Unstore(DecoderIo& io) {
  while (io.InputAvailable() > 0 || io.Refill()) {
    size_t n = io.InputAvailable();
    io.FlushOutput(io.InputPos(), n);
    io.Consume(n);
  }
}

}  // namespace qr5::archive
