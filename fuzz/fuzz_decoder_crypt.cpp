// libFuzzer target: every decoder (stored, unshrink, unreduce 1-4, explode,
// inflate) with and without traditional encryption. The input picks the
// method and the entry's facts; the rest is the compressed data. The data is
// decoded as it stands, then encrypted here (an encryptor of its own, written
// from the format's description) behind a 12-byte header and decoded again
// through the reader's decryption: both runs must give the same bytes, the
// same end and the header check must pass. The encrypted data is also
// decoded with a wrong password when its check byte happens to pass, which
// feeds the decoders scrambled input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "archive/crc32.h"
#include "archive/decoder.h"
#include "archive/zip_crypto.h"
#include "archive/zip_errors.h"

namespace ar = qr5::archive;

namespace {

// Bitwise CRC-32 step, independent of the reader's table.
uint32_t CrcByte(uint32_t reg, uint8_t b) {
  reg ^= b;
  for (int k = 0; k < 8; ++k) reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
  return reg;
}

struct Encryptor {
  uint32_t k0 = 0x12345678u, k1 = 0x23456789u, k2 = 0x34567890u;
  explicit Encryptor(const std::string& password) {
    for (char c : password) Mix(static_cast<uint8_t>(c));
  }
  void Mix(uint8_t plain) {
    k0 = CrcByte(k0, plain);
    k1 = (k1 + (k0 & 0xFFu)) * 134775813u + 1u;
    k2 = CrcByte(k2, static_cast<uint8_t>(k1 >> 24));
  }
  uint8_t Encrypt(uint8_t plain) {
    const uint32_t t = (k2 | 2u) & 0xFFFFu;
    const uint8_t c = plain ^ static_cast<uint8_t>((t * (t ^ 1u)) >> 8);
    Mix(plain);
    return c;
  }
};

// What one decoding produced.
struct Outcome {
  uint64_t bytes = 0;
  uint32_t crc = ar::kCrcInit;
  int ended_by = 0;  // 0 normally, 1 bigger than its size
  bool operator==(const Outcome& o) const {
    return bytes == o.bytes && crc == o.crc && ended_by == o.ended_by;
  }
};

class Io : public ar::DecoderIo {
 public:
  Io(const std::vector<uint8_t>& data, size_t block, ar::ZipKeys* keys, Outcome& outcome)
      : data_(data), block_(block), keys_(keys), outcome_(outcome),
        input_(new uint8_t[ar::kInputBufferSize]), output_(new uint8_t[ar::kOutputBufferSize]),
        work_(new uint8_t[ar::kWorkAreaSize]) {
    output = output_.get();
    work = work_.get();
    in_pos_ = in_end_ = input_.get();
  }
  bool Refill() override {
    const size_t n = std::min(block_, data_.size() - read_);
    if (n == 0) return false;
    std::memcpy(input_.get(), data_.data() + read_, n);
    if (keys_) keys_->Decrypt(input_.get(), n);
    read_ += n;
    in_pos_ = input_.get();
    in_end_ = input_.get() + n;
    return true;
  }
  uint64_t RemainingCompressed() const override { return data_.size() - read_; }
  void FlushOutput(const uint8_t* p, size_t n) override {
    if (n > ar::kOutputBufferSize) std::abort();
    if (outcome_.bytes + n > uncompressed_size) {
      throw ar::EBiggerThanUncompressed("File is larger than uncompressed size!");
    }
    outcome_.crc = ar::UpdateCrc(outcome_.crc, p, n);
    outcome_.bytes += n;
  }
  void ShowMessage(const std::string&, const std::string&) override {}

 private:
  const std::vector<uint8_t>& data_;
  size_t block_;
  size_t read_ = 0;
  ar::ZipKeys* keys_;
  Outcome& outcome_;
  std::unique_ptr<uint8_t[]> input_, output_, work_;
};

Outcome Decode(int method, uint16_t flags, uint64_t declared, uint64_t stored_size,
               const std::vector<uint8_t>& data, size_t block, ar::ZipKeys* keys) {
  Outcome outcome;
  Io io(data, block, keys, outcome);
  io.bit_flags = flags;
  io.uncompressed_size = declared;
  io.compressed_size = stored_size;
  try {
    switch (method) {
      case 0: ar::Unstore(io); break;
      case 1: ar::Unshrink(io); break;
      case 2: case 3: case 4: case 5: ar::Unreduce(io, method - 1); break;
      case 6: ar::Explode(io); break;
      default: ar::Inflate(io); break;
    }
  } catch (const ar::EBiggerThanUncompressed&) {
    outcome.ended_by = 1;
  }
  return outcome;
}

}  // namespace

// Input: method (1 byte), flags (1), declared size (3, capped at 4 MiB),
// block size (2), password length (1, at most 15) and password, then data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* raw, size_t size) {
  static const int kMethods[8] = {0, 1, 2, 3, 4, 5, 6, 8};
  if (size < 8) return 0;
  const int method = kMethods[raw[0] & 7];
  const uint16_t flags = static_cast<uint16_t>(raw[1] & 0xFE);  // bit 0 is ours to set
  const uint64_t declared = (raw[2] | raw[3] << 8 | uint64_t{raw[4]} << 16) & 0x3FFFFF;
  const size_t block = 1 + ((raw[5] | raw[6] << 8) % ar::kInputBlock);
  const size_t password_length = std::min<size_t>(raw[7] & 15, size - 8);
  const std::string password(reinterpret_cast<const char*>(raw + 8), password_length);
  const std::vector<uint8_t> plain(raw + 8 + password_length, raw + size);

  const Outcome clear = Decode(method, flags, declared, plain.size(), plain, block, nullptr);

  // The header's check byte is the high byte of the CRC (or of the time
  // with flag bit 3); the other eleven bytes come from the data's length.
  const uint32_t crc = ~clear.crc;
  const uint32_t dos_time = 0x5821A000u ^ static_cast<uint32_t>(plain.size());
  const uint8_t check = ar::PasswordCheckByte(flags | 1, dos_time, crc);
  std::vector<uint8_t> sealed;
  Encryptor enc(password);
  for (int i = 0; i < 11; ++i) sealed.push_back(enc.Encrypt(static_cast<uint8_t>(plain.size() * 7 + i)));
  sealed.push_back(enc.Encrypt(check));
  for (uint8_t b : plain) sealed.push_back(enc.Encrypt(b));

  ar::ZipKeys keys;
  keys.Init(password);
  std::vector<uint8_t> header(sealed.begin(), sealed.begin() + ar::kEncryptionHeaderSize);
  keys.Decrypt(header.data(), header.size());
  if (header.back() != check) std::abort();
  const std::vector<uint8_t> body(sealed.begin() + ar::kEncryptionHeaderSize, sealed.end());
  const Outcome decrypted = Decode(method, flags | 1, declared, sealed.size(), body, block, &keys);
  if (!(decrypted == clear)) std::abort();

  // A wrong password whose check byte passes by chance (1 in 256).
  ar::ZipKeys wrong;
  wrong.Init(password + "x");
  header.assign(sealed.begin(), sealed.begin() + ar::kEncryptionHeaderSize);
  wrong.Decrypt(header.data(), header.size());
  if (header.back() == check) Decode(method, flags | 1, declared, sealed.size(), body, block, &wrong);
  return 0;
}
