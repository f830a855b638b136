// ExtractionRun: the state of one ExtractSelected run as the decoders see it.
// It owns the three run buffers, feeds the current entry's compressed bytes
// (decrypting them when needed) and takes the decoded bytes through
// FlushOutput: size check, write, CRC-32 and progress.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/decoder.h"
#include "archive/zip_crypto.h"
#include "archive/zip_header_info.h"

namespace qr5::archive {

class TLFNFileStream;
class TZipReader;

class ExtractionRun : public DecoderIo {
 public:
  ExtractionRun(TZipReader& reader, TLFNFileStream& archive);

  // Prepares the decoding of one entry whose data starts at the archive
  // stream's position (after the encryption header, whose running keys are
  // passed in for an encrypted entry).
  void BeginEntry(const TZipHeaderInfo& entry, TLFNFileStream* output, const ZipKeys* keys);
  // Runs the decoder of the entry's method.
  void Decode(uint16_t method);
  uint32_t FinalCrc() const { return ~crc_; }
  // Bytes handed to the output file for the current entry.
  uint64_t FileBytesDone() const { return file_bytes_done_; }

  bool Refill() override;
  uint64_t RemainingCompressed() const override { return remaining_; }
  void FlushOutput(const uint8_t* data, size_t n) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;

  TLFNFileStream& Archive() { return archive_; }

 private:
  TZipReader& reader_;
  TLFNFileStream& archive_;
  std::unique_ptr<uint8_t[]> input_;
  std::unique_ptr<uint8_t[]> output_;
  std::unique_ptr<uint8_t[]> work_;

  TLFNFileStream* file_ = nullptr;
  uint64_t remaining_ = 0;
  uint64_t file_bytes_done_ = 0;
  uint32_t crc_ = 0xFFFFFFFFu;
  bool encrypted_ = false;
  ZipKeys keys_;
};

// Round to the nearest integer, halves to the even neighbour, of
// done * 100 / total, never above 100; 0 when total is not above 0.
int PercentOf(uint64_t done, int64_t total);

}  // namespace qr5::archive
