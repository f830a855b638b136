// Method 1, "shrunk": dynamic LZW with codes of 9 to 13 bits and partial
// clearing (APPNOTE). The work area holds the code table and the stack that
// reverses each decoded string:
//   parent links  8,192 x 16 bits   (plus a free flag and a has-child mark)
//   last bytes    8,192 x 8 bits
//   stack         8,192 bytes
#include <algorithm>
#include <cstring>

#include "archive/bit_reader.h"
#include "archive/decoder.h"

namespace qr5::archive {

namespace {

constexpr unsigned kMinWidth = 9;
constexpr unsigned kMaxWidth = 13;
constexpr unsigned kTableSize = 1u << kMaxWidth;  // 8,192 codes
constexpr unsigned kControl = 256;
constexpr unsigned kFirstFree = 257;
constexpr uint16_t kCodeMask = 0x1FFF;
constexpr uint16_t kFree = 0x8000;
constexpr uint16_t kHasChild = 0x4000;

constexpr size_t kParentOffset = 0;
constexpr size_t kValueOffset = kTableSize * 2;
constexpr size_t kStackOffset = kValueOffset + kTableSize;
constexpr size_t kStackSize = kTableSize;
static_assert(kStackOffset + kStackSize <= kWorkAreaSize);

class Unshrinker {
 public:
  explicit Unshrinker(DecoderIo& io)
      : io_(io), in_(io), out_(io.output), work_(io.work),
        value_(io.work + kValueOffset), stack_(io.work + kStackOffset) {}

  void Run();
  void FlushRest() {
    if (pos_ != 0) io_.FlushOutput(out_, pos_);
    pos_ = 0;
  }

 private:
  // The work area has no alignment guarantee; 16-bit entries go through memcpy.
  uint16_t Parent(unsigned code) const {
    uint16_t v;
    std::memcpy(&v, work_ + kParentOffset + 2 * code, 2);
    return v;
  }
  void SetParent(unsigned code, uint16_t v) { std::memcpy(work_ + kParentOffset + 2 * code, &v, 2); }
  bool IsFree(unsigned code) const { return code >= kFirstFree && (Parent(code) & kFree) != 0; }

  unsigned ReadCode();
  void PartialClear();
  void FindNextFree(unsigned from);
  void Emit(const uint8_t* p, size_t n);

  DecoderIo& io_;
  BitReader in_;
  uint8_t* out_;
  uint8_t* work_;
  uint8_t* value_;
  uint8_t* stack_;
  size_t pos_ = 0;
  uint64_t produced_ = 0;
  unsigned width_ = kMinWidth;
  unsigned next_free_ = kFirstFree;  // kTableSize when the table is full
};

// The next code that is not a control sequence; control sequences are
// carried out on the way.
unsigned Unshrinker::ReadCode() {
  for (;;) {
    const unsigned code = in_.Read(width_);
    if (code != kControl) return code;
    const unsigned op = in_.Read(width_);
    if (op == 1) {
      // Encoders differ in when they widen (ahead of need, or only when a code
      // no longer fits); both are explicit here. A request past 13 bits
      // changes nothing.
      if (width_ < kMaxWidth) ++width_;
    } else if (op == 2) {
      PartialClear();
    } else {
      throw CorruptData{};
    }
  }
}

// Frees every code that is no other code's prefix.
void Unshrinker::PartialClear() {
  for (unsigned c = kFirstFree; c < kTableSize; ++c) {
    const uint16_t p = Parent(c);
    if (p & kFree) continue;
    const unsigned parent = p & kCodeMask;
    if (parent >= kFirstFree) SetParent(parent, Parent(parent) | kHasChild);
  }
  for (unsigned c = kFirstFree; c < kTableSize; ++c) {
    const uint16_t p = Parent(c);
    if (p & kHasChild)
      SetParent(c, p & ~kHasChild);
    else
      SetParent(c, kFree);
  }
  FindNextFree(kFirstFree);
}

void Unshrinker::FindNextFree(unsigned from) {
  unsigned c = from;
  while (c < kTableSize && !(Parent(c) & kFree)) ++c;
  next_free_ = c;
}

void Unshrinker::Emit(const uint8_t* p, size_t n) {
  produced_ += n;
  while (n > 0) {
    const size_t chunk = std::min(n, kOutputWindow - pos_);
    std::memcpy(out_ + pos_, p, chunk);
    pos_ += chunk;
    p += chunk;
    n -= chunk;
    if (pos_ == kOutputWindow) FlushRest();
  }
}

void Unshrinker::Run() {
  for (unsigned c = 0; c < kControl; ++c) {
    SetParent(c, 0);
    value_[c] = static_cast<uint8_t>(c);
  }
  SetParent(kControl, 0);
  for (unsigned c = kFirstFree; c < kTableSize; ++c) SetParent(c, kFree);

  const uint64_t size = io_.uncompressed_size;
  if (size == 0) return;

  unsigned prev = ReadCode();
  if (prev >= kControl) throw CorruptData{};
  uint8_t first = static_cast<uint8_t>(prev);  // first byte of the previous string
  Emit(&first, 1);

  while (produced_ < size) {
    const unsigned code = ReadCode();
    // The string is built backwards from the top of the stack. A free code is
    // only valid as the code about to be assigned (the KwKwK case): the
    // previous string followed by its own first byte. The same holds for a
    // free code met on the way to the root, the prefix of a code added while
    // its parent had just been cleared.
    size_t sp = kStackSize;
    unsigned c = code;
    while (c >= kFirstFree) {
      if (sp == 0) throw CorruptData{};  // a chain longer than the table: a loop
      if (IsFree(c)) {
        if (c != next_free_) throw CorruptData{};
        stack_[--sp] = first;
        c = prev;
      } else {
        stack_[--sp] = value_[c];
        c = Parent(c) & kCodeMask;
      }
    }
    if (c == kControl || sp == 0) throw CorruptData{};
    stack_[--sp] = static_cast<uint8_t>(c);
    first = stack_[sp];
    Emit(stack_ + sp, kStackSize - sp);

    if (next_free_ < kTableSize) {
      SetParent(next_free_, static_cast<uint16_t>(prev));
      value_[next_free_] = first;
      FindNextFree(next_free_ + 1);
    }
    prev = code;
  }
}

}  // namespace

void Unshrink(DecoderIo& io) {
  Unshrinker decoder(io);
  try {
    decoder.Run();
  } catch (const CorruptData&) {
    // Ends the entry; its CRC check tells the rest.
  }
  decoder.FlushRest();
}

}  // namespace qr5::archive
