// What a decoder sees of an extraction run: the entry's compressed bytes
// (through ReadByte, refilled in blocks of up to 32 KiB), the run's output
// buffer (also the sliding window of inflate and explode), the work area of
// methods 1 to 5, and FlushOutput, which checks the size, updates the CRC,
// writes the file and reports progress.
//
// The output buffer is four windows and a little more: explode and the older
// methods use its first 32 KiB; inflate fills the other three in turn and
// keeps the window it flushed last before them, so that its copies reach
// back without wrapping and may run a few bytes past a window's end, and the
// history moves down once every three windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qr5::archive {

inline constexpr size_t kInputBlock = 32768;   // filled at most this much
inline constexpr size_t kInputBufferSize = 32769;
inline constexpr size_t kOutputWindow = 32768;
inline constexpr size_t kOutputSlack = 320;  // a match and its copy's overrun
inline constexpr size_t kInflateWindows = 3;
inline constexpr size_t kOutputBufferSize = (1 + kInflateWindows) * kOutputWindow + kOutputSlack;
inline constexpr size_t kWorkAreaSize = 32780;

class DecoderIo {
 public:
  virtual ~DecoderIo() = default;

  // The next compressed byte of the entry; false when the entry has none
  // left. Refill() may throw EFatalUnzipError ("Premature end of file
  // reached") or EUserCanceled.
  bool ReadByte(uint8_t& byte) {
    if (in_pos_ == in_end_ && !Refill()) return false;
    byte = *in_pos_++;
    return true;
  }
  // Bytes already in the input buffer, for decoders that take them in bulk;
  // Consume(n) takes n of them.
  const uint8_t* InputPos() const { return in_pos_; }
  size_t InputAvailable() const { return static_cast<size_t>(in_end_ - in_pos_); }
  void Consume(size_t n) { in_pos_ += n; }

  // Refills the input buffer with the next block of up to 32,768 compressed
  // bytes: processes pending window messages when asked to, reads, decrypts.
  // False when the entry has no compressed bytes left.
  virtual bool Refill() = 0;
  // Compressed bytes of the entry not yet read from the archive.
  virtual uint64_t RemainingCompressed() const = 0;

  // Hands n bytes to the output file (CRC, size check, write, progress).
  // Throws EBiggerThanUncompressed or ECantWriteUCF.
  virtual void FlushOutput(const uint8_t* data, size_t n) = 0;

  // A message box with one OK button ("Unknown Compression Method" /
  // "Zip Error", "*** inflate out of memory ***" / "Error").
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

  // The run's buffers, allocated once per run.
  uint8_t* output = nullptr;  // kOutputBufferSize bytes
  uint8_t* work = nullptr;    // kWorkAreaSize bytes

  // Facts of the entry being decoded.
  uint16_t bit_flags = 0;
  uint64_t compressed_size = 0;    // as stored (encryption header included)
  uint64_t uncompressed_size = 0;

 protected:
  // Set by Refill(): the valid bytes of the input buffer.
  const uint8_t* in_pos_ = nullptr;
  const uint8_t* in_end_ = nullptr;
};

// The decoders. Each reads only through io, writes only into io.output and
// through io.FlushOutput, and flushes what is left before it returns.
void Unstore(DecoderIo& io);                 // method 0
void Unshrink(DecoderIo& io);                // method 1
void Unreduce(DecoderIo& io, int factor);    // methods 2..5, factor 1..4
void Explode(DecoderIo& io);                 // method 6
void Inflate(DecoderIo& io);                 // method 8

}  // namespace qr5::archive
