#include "archive/extraction_run.h"

#include <algorithm>
#include <cstring>

#include "archive/crc32.h"
#include "archive/lfn_file_stream.h"
#include "archive/zip_errors.h"
#include "archive/zip_reader.h"

namespace qr5::archive {

int PercentOf(uint64_t done, int64_t total) {
  if (total <= 0) return 0;
  uint64_t t = static_cast<uint64_t>(total);
  if (done >= t) return 100;
  uint64_t scaled = done * 100;  // done < total < 2^48: no overflow
  uint64_t q = scaled / t, r = scaled % t;
  if (2 * r > t || (2 * r == t && (q & 1) != 0)) ++q;
  return static_cast<int>(std::min<uint64_t>(q, 100));
}

ExtractionRun::ExtractionRun(TZipReader& reader, TLFNFileStream& archive)
    : reader_(reader),
      archive_(archive),
      input_(new uint8_t[kInputBufferSize]()),
      output_(new uint8_t[kOutputBufferSize]()),
      work_(new uint8_t[kWorkAreaSize]()) {
  output = output_.get();
  work = work_.get();
}

void ExtractionRun::BeginEntry(const TZipHeaderInfo& entry, TLFNFileStream* output_file,
                               const ZipKeys* keys) {
  file_ = output_file;
  file_bytes_done_ = 0;
  crc_ = 0xFFFFFFFFu;
  bit_flags = entry.BitFlags;
  compressed_size = entry.CompressedSize;
  uncompressed_size = entry.UncompressedSize;
  encrypted_ = keys != nullptr;
  if (keys) keys_ = *keys;
  remaining_ = entry.CompressedSize;
  if (encrypted_) remaining_ -= std::min<uint64_t>(remaining_, kEncryptionHeaderSize);
  in_pos_ = in_end_ = input_.get();
}

bool ExtractionRun::Refill() {
  if (remaining_ == 0) return false;
  reader_.ProcessMessages();
  uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(kInputBlock, remaining_));
  uint32_t got = archive_.Read(input_.get(), n);
  if (got < n) throw EFatalUnzipError("Premature end of file reached");
  remaining_ -= n;
  if (encrypted_) keys_.Decrypt(input_.get(), n);
  in_pos_ = input_.get();
  in_end_ = input_.get() + n;
  return true;
}

void ExtractionRun::FlushOutput(const uint8_t* data, size_t n) {
  if (n == 0) return;
  if (file_bytes_done_ + n > uncompressed_size) {
    throw EBiggerThanUncompressed("File is larger than uncompressed size!");
  }
  if (file_ != nullptr &&
      (!file_->Write(data, static_cast<uint32_t>(n)) || !file_->Flush())) {
    throw ECantWriteUCF("Cant write uncompressed file", platform::Sys().files->GetLastError());
  }
  crc_ = UpdateCrc(crc_, data, n);
  file_bytes_done_ += n;
  if (reader_.OnFilePercentDone) {
    reader_.OnFilePercentDone(PercentOf(file_bytes_done_, static_cast<int64_t>(uncompressed_size)));
  }
  reader_.bytes_done_ += static_cast<int64_t>(n);
  if (reader_.OnTotalPercentDone) {
    reader_.OnTotalPercentDone(PercentOf(static_cast<uint64_t>(reader_.bytes_done_), reader_.total_bytes_));
  }
}

void ExtractionRun::ShowMessage(const std::string& text, const std::string& caption) {
  reader_.ShowMessage(text, caption, platform::MB_OK);
}

void ExtractionRun::Decode(uint16_t method) {
  switch (method) {
    case 0: Unstore(*this); break;
    case 1: Unshrink(*this); break;
    case 2: case 3: case 4: case 5: Unreduce(*this, method - 1); break;
    case 6: Explode(*this); break;
    case 8: Inflate(*this); break;
    default: ShowMessage("Unknown Compression Method", "Zip Error"); break;
  }
}

}  // namespace qr5::archive
