// Methods 1 to 6 beyond the shared archives: hand-made streams for the
// corners real encoders rarely reach (KwKwK, widening past 13 bits, codes
// freed by partial clearing, follower indexes out of range, copies from
// before the first byte, overlapping matches), and input that ends early.
#include <gtest/gtest.h>

#include "decoder_bit_writer.h"
#include "decoder_test_io.h"

namespace qr5::archive::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Decoded(uint16_t method, const Bytes& stream, uint64_t size, uint16_t flags = 0) {
  MemoryDecoderIo::Options o;
  o.bit_flags = flags;
  MemoryDecoderIo io(stream, size, o);
  RunDecoder(method, io);
  return io.Output();
}

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

// ---- unshrink ---------------------------------------------------------------

struct ShrinkStream {
  BitWriter w;
  unsigned width = 9;
  ShrinkStream& Code(unsigned c) {
    w.Put(c, width);
    return *this;
  }
  ShrinkStream& Widen() {
    Code(256).Code(1);
    if (width < 13) ++width;
    return *this;
  }
  ShrinkStream& Clear() { return Code(256).Code(2); }
};

TEST(Unshrink, CodeNotYetAssignedIsThePreviousStringPlusItsFirstByte) {
  ShrinkStream s;
  s.Code('A').Code(257);  // 257 is about to become "A" + 'A'
  EXPECT_EQ(Decoded(1, s.w.Finish(), 3), Text("AAA"));
}

TEST(Unshrink, WideningStopsAt13Bits) {
  ShrinkStream s;
  s.Code('A').Widen().Widen().Widen().Widen();  // 13 bits
  s.Code(256).Code(1);                          // a fifth request changes nothing
  s.Code('B').Code(257);
  EXPECT_EQ(Decoded(1, s.w.Finish(), 4), Text("ABAB"));
}

TEST(Unshrink, InvalidCodesEndTheEntry) {
  {
    SCOPED_TRACE("a free code other than the next one");
    ShrinkStream s;
    s.Code('A').Code(258).Code('B');
    EXPECT_EQ(Decoded(1, s.w.Finish(), 3), Text("A"));
  }
  {
    SCOPED_TRACE("an unknown control code");
    ShrinkStream s;
    s.Code('A').Code(256).Code(3).Code('B');
    EXPECT_EQ(Decoded(1, s.w.Finish(), 2), Text("A"));
  }
  {
    SCOPED_TRACE("a first code that is not a byte");
    ShrinkStream s;
    s.Code(300).Code('B');
    EXPECT_TRUE(Decoded(1, s.w.Finish(), 2).empty());
  }
}

TEST(Unshrink, PartialClearFreesLeavesOnly) {
  // A, B (257 = AB), 257 (258 = BA), C (259 = ABC): 257 is the prefix of
  // 259 and stays; 258 and 259 are freed. The next new code takes 258.
  ShrinkStream s;
  s.Code('A').Code('B').Code(257).Code('C').Clear();
  s.Code(257).Code('D').Code(258);  // 258 = "C" + 'A' (from "AB")
  EXPECT_EQ(Decoded(1, s.w.Finish(), 10), Text("ABABCABDCA"));
}

TEST(Unshrink, CodeMadeFromItsOwnFreedPrefixEndsTheEntry) {
  // After the clear, the previous code 257 is free and the lowest free one,
  // so the next new code becomes 257 = 257 + 'C': a loop that must end the
  // entry instead of the program.
  ShrinkStream s;
  s.Code('A').Code('B').Code(257).Clear().Code('C').Code(257);
  Bytes out;
  ASSERT_NO_THROW(out = Decoded(1, s.w.Finish(), 100));
  EXPECT_EQ(out, Text("ABABC"));
}

// ---- unreduce ---------------------------------------------------------------

// Follower sets: set[b] for each byte b; written from 255 down to 0.
void FollowerSets(BitWriter& w, const std::vector<std::pair<uint8_t, Bytes>>& sets) {
  for (int b = 255; b >= 0; --b) {
    const Bytes* followers = nullptr;
    for (const auto& [byte, f] : sets)
      if (byte == b) followers = &f;
    w.Put(followers ? static_cast<uint32_t>(followers->size()) : 0, 6);
    if (followers)
      for (uint8_t f : *followers) w.Put(f, 8);
  }
}

TEST(Unreduce, EscapesCopiesBeforeTheStartAndOverlaps) {
  // Factor 1: V holds 7 length bits and 1 distance bit.
  BitWriter w;
  FollowerSets(w, {});
  for (uint8_t b : {uint8_t{'x'}, uint8_t{0x90}, uint8_t{0x05}, uint8_t{9},  // 8 bytes from distance 10
                    uint8_t{0x90}, uint8_t{0x00},                             // a literal 0x90
                    uint8_t{0x90}, uint8_t{0x02}, uint8_t{0}})                // 5 bytes from distance 1
    w.Put(b, 8);
  Bytes expected = {'x', 0, 0, 0, 0, 0, 0, 0, 0, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90};
  EXPECT_EQ(Decoded(2, w.Finish(), expected.size()), expected);
}

TEST(Unreduce, LongLengthsTakeAnExtraByte) {
  // Factor 4: V = 0x0F (length field full) then 200 more: 15 + 200 + 3 = 218
  // copies of distance 1; distance bits (V >> 4) = 0.
  BitWriter w;
  FollowerSets(w, {});
  for (uint8_t b : {uint8_t{'z'}, uint8_t{0x90}, uint8_t{0x0F}, uint8_t{200}, uint8_t{0}}) w.Put(b, 8);
  EXPECT_EQ(Decoded(5, w.Finish(), 219), Bytes(219, 'z'));
}

TEST(Unreduce, FollowerSetsAndTheirIndexes) {
  // The first byte follows an implied 0; its set has 40 followers (6 index
  // bits). 'q' then has none, so a plain 8-bit byte follows.
  Bytes forty;
  for (int i = 0; i < 40; ++i) forty.push_back(static_cast<uint8_t>('A' + i));
  {
    BitWriter w;
    FollowerSets(w, {{0, forty}});
    w.Put(0, 1);   // from the set
    w.Put(39, 6);  // the last follower
    w.Put('q', 8);
    EXPECT_EQ(Decoded(3, w.Finish(), 2), Bytes({static_cast<uint8_t>('A' + 39), 'q'}));
  }
  {
    SCOPED_TRACE("index past the set");
    BitWriter w;
    FollowerSets(w, {{0, forty}});
    w.Put(0, 1);
    w.Put(40, 6);
    w.Put('q', 8);
    Bytes out;
    ASSERT_NO_THROW(out = Decoded(3, w.Finish(), 2));
    EXPECT_TRUE(out.empty());
  }
  {
    SCOPED_TRACE("a literal despite a set");
    BitWriter w;
    FollowerSets(w, {{0, forty}});
    w.Put(1, 1);
    w.Put('!', 8);
    EXPECT_EQ(Decoded(3, w.Finish(), 1), Text("!"));
  }
}

// ---- explode ------------------------------------------------------------------

// A tree of 64 codes of 6 bits: four bytes of 16 lengths each.
void FlatTree(BitWriter& w) {
  w.Put(3, 8);
  for (int i = 0; i < 4; ++i) w.Put(0xF5, 8);
}

// Shannon-Fano codes go out inverted.
void FlatSymbol(BitWriter& w, unsigned s) { w.PutCode(~s & 0x3F, 6); }

TEST(Explode, CopiesBeforeTheStartGiveZerosAndMatchesOverlap) {
  // 4 KiB window (6 low distance bits), two trees: lengths from 2.
  BitWriter w;
  FlatTree(w);  // lengths
  FlatTree(w);  // distances
  for (uint8_t c : {'x', 'y'}) {
    w.Put(1, 1);
    w.Put(c, 8);
  }
  auto match = [&](unsigned distance, unsigned length_symbol) {
    w.Put(0, 1);
    w.Put((distance - 1) & 0x3F, 6);
    FlatSymbol(w, (distance - 1) >> 6);
    FlatSymbol(w, length_symbol);
  };
  match(2, 4);    // 6 bytes from distance 2
  match(100, 1);  // 3 bytes from before the first byte
  match(1, 63);   // 63 + 2 + the extra byte
  w.Put(5, 8);
  Bytes expected = Text("xyxyxyxy");
  expected.insert(expected.end(), 3, 0);
  expected.insert(expected.end(), 70, 0);
  EXPECT_EQ(Decoded(6, w.Finish(), expected.size()), expected);
}

TEST(Explode, BadTreesEndTheEntry) {
  struct Case {
    const char* what;
    std::vector<uint8_t> tree;
  } cases[] = {
      {"lengths for 65 codes", {4, 0xF5, 0xF5, 0xF5, 0xF5, 0x05}},
      {"lengths for 63 codes", {3, 0xF5, 0xF5, 0xF5, 0xE5}},
      {"incomplete: 63 codes of 6 bits and one of 7", {4, 0xF5, 0xF5, 0xF5, 0xE5, 0x06}},
      {"oversubscribed: one code of 1 bit, 63 of 6", {4, 0x00, 0xF5, 0xF5, 0xF5, 0xE5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BitWriter w;
    for (uint8_t b : c.tree) w.Put(b, 8);
    FlatTree(w);
    for (int i = 0; i < 8; ++i) {
      w.Put(1, 1);
      w.Put('x', 8);
    }
    Bytes out;
    ASSERT_NO_THROW(out = Decoded(6, w.Finish(), 8));
    EXPECT_TRUE(out.empty());
  }
}

TEST(Explode, TableAllocationFailureShowsTheBoxAndEnds) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/legacy/implode_8k_3trees.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  MemoryDecoderIo::Options o;
  o.bit_flags = e.flags;
  MemoryDecoderIo io(e.data, e.uncompressed_size, o);
  g_fail_table_allocation = true;
  EXPECT_NO_THROW(RunDecoder(e.method, io));
  g_fail_table_allocation = false;
  EXPECT_TRUE(io.Output().empty());
  EXPECT_EQ(io.Messages(), std::vector<std::string>{"Error: *** inflate out of memory ***"});
}

// ---- input ending early -------------------------------------------------------

struct LegacyEntry {
  const char* archive;
  const char* entry;
};
const LegacyEntry kLegacy[] = {
    {"legacy/shrink.zip", "english.txt"},         {"legacy/reduce1.zip", "english.txt"},
    {"legacy/reduce4.zip", "repetitive.bin"},     {"legacy/implode_4k_2trees.zip", "english.txt"},
    {"legacy/implode_8k_3trees.zip", "english.txt"},
};

TEST(LegacyInput, ArchiveEndingInsideTheDataRaisesPrematureEnd) {
  for (const LegacyEntry& l : kLegacy) {
    SCOPED_TRACE(std::string(l.archive) + " " + l.entry);
    const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath(std::string("zip/") + l.archive));
    const ZipEntry& e = FindEntry(entries, l.entry);
    MemoryDecoderIo::Options o;
    o.declared_size = e.data.size();
    o.block = 4096;
    o.bit_flags = e.flags;
    MemoryDecoderIo io(Bytes(e.data.begin(), e.data.begin() + e.data.size() / 2), e.uncompressed_size, o);
    try {
      RunDecoder(e.method, io);
      ADD_FAILURE() << "no exception";
    } catch (const EFatalUnzipError& x) {
      EXPECT_STREQ(x.what(), "Premature end of file reached");
    }
  }
}

TEST(LegacyInput, DataEndingEarlyStopsWithACorrectPrefix) {
  // The entry's own compressed size is too small: the decoder runs out of
  // bits, stops without an exception, and what it wrote is right as far as
  // it goes.
  for (const LegacyEntry& l : kLegacy) {
    SCOPED_TRACE(std::string(l.archive) + " " + l.entry);
    const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath(std::string("zip/") + l.archive));
    const ZipEntry& e = FindEntry(entries, l.entry);
    const Bytes content = ReadFileBytes(TestDataPath(std::string("zip/contents/") + l.entry));
    const Bytes cut(e.data.begin(), e.data.begin() + e.data.size() * 2 / 3);
    Bytes out;
    ASSERT_NO_THROW(out = Decoded(e.method, cut, e.uncompressed_size, e.flags));
    EXPECT_LT(out.size(), content.size());
    EXPECT_GT(out.size(), 0u);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), content.begin()));
  }
}

TEST(LegacyOutput, FlushesInFullBuffers) {
  // Unreduce hands on its 16 KiB window, the others their 32 KiB buffer.
  const std::vector<ZipEntry> reduce = ReadZipEntries(TestDataPath("zip/legacy/reduce2.zip"));
  const ZipEntry& r = FindEntry(reduce, "english.txt");  // 102,294 bytes
  MemoryDecoderIo io_r(r.data, r.uncompressed_size);
  RunDecoder(r.method, io_r);
  EXPECT_EQ(io_r.FlushSizes(), (std::vector<size_t>{16384, 16384, 16384, 16384, 16384, 16384, 3990}));

  const std::vector<ZipEntry> shrink = ReadZipEntries(TestDataPath("zip/legacy/shrink.zip"));
  const ZipEntry& s = FindEntry(shrink, "english.txt");
  MemoryDecoderIo io_s(s.data, s.uncompressed_size);
  RunDecoder(s.method, io_s);
  EXPECT_EQ(io_s.FlushSizes(), (std::vector<size_t>{32768, 32768, 32768, 3990}));
}

TEST(LegacyOutput, FailedFlushPassesOut) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/legacy/implode_8k_3trees.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  MemoryDecoderIo::Options o;
  o.bit_flags = e.flags;
  o.fail_at_flush = 2;
  MemoryDecoderIo io(e.data, e.uncompressed_size, o);
  EXPECT_THROW(RunDecoder(e.method, io), ECantWriteUCF);
}

}  // namespace
}  // namespace qr5::archive::testing
