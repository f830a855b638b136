// Inflate beyond the shared archives: agreement with zlib on many streams,
// every kind of invalid data ending the decoder quietly (keeping only what
// was flushed), input cut short, flush failures inside a block and at the
// end, a user's cancel, and the out-of-memory box.
#include <gtest/gtest.h>

#include <new>
#include <random>

#include "decoder_bit_writer.h"
#include "decoder_test_io.h"
#include "archive/processor.h"

#ifdef QR5_HAVE_ZLIB
#include <zlib.h>
#endif

namespace qr5::archive::testing {
std::atomic<bool> g_fail_table_allocation{false};
}  // namespace qr5::archive::testing

// Inflate and explode allocate their tables with new (std::nothrow); this
// lets a test make that fail. Everything else goes to the ordinary allocator.
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  if (qr5::archive::testing::g_fail_table_allocation) return nullptr;
  try {
    return ::operator new[](n);
  } catch (...) {
    return nullptr;
  }
}

namespace qr5::archive::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Inflated(const Bytes& stream, uint64_t uncompressed, size_t block = kInputBlock) {
  MemoryDecoderIo::Options o;
  o.block = block;
  MemoryDecoderIo io(stream, uncompressed, o);
  Inflate(io);
  return io.Output();
}

Bytes Pattern(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

// ---- hand-made streams ------------------------------------------------------

void Stored(BitWriter& w, bool final, const Bytes& bytes) {
  w.Put(final, 1);
  w.Put(0, 2);
  w.AlignToByte();
  w.Put(static_cast<uint32_t>(bytes.size()), 16);
  w.Put(static_cast<uint32_t>(~bytes.size() & 0xFFFF), 16);
  w.PutBytes(bytes);
}

const PrefixCode& FixedLitLen() {
  static const PrefixCode code([] {
    std::vector<uint8_t> l(288);
    for (int s = 0; s < 288; ++s) l[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    return l;
  }());
  return code;
}
const PrefixCode& FixedDist() {
  static const PrefixCode code(std::vector<uint8_t>(32, 5));
  return code;
}

void Match(BitWriter& w, const PrefixCode& lit, const PrefixCode& dist, unsigned length, unsigned distance) {
  static const unsigned kLenBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const unsigned kLenExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static const unsigned kDistBase[] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                       33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                       1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  int ls = 28;
  while (kLenBase[ls] > length) --ls;
  lit.Write(w, 257 + ls);
  w.Put(length - kLenBase[ls], kLenExtra[ls]);
  int ds = 29;
  while (kDistBase[ds] > distance) --ds;
  dist.Write(w, ds);
  w.Put(distance - kDistBase[ds], ds < 4 ? 0 : ds / 2 - 1);
}

// A dynamic block header. The code length code below is complete and gives
// every symbol 0..18 a code; cl_stream is written as is, so it may hold
// repeats that are invalid.
std::vector<uint8_t> CompleteCodeLengthCode() {
  std::vector<uint8_t> l(19, 5);
  l[14] = l[15] = l[16] = 4;
  l[17] = 3;
  l[18] = 2;
  return l;
}

struct DynamicHeader {
  unsigned hlit_field = 0;   // HLIT - 257
  unsigned hdist_field = 0;  // HDIST - 1
  std::vector<uint8_t> cl_lengths = CompleteCodeLengthCode();
  std::vector<std::pair<unsigned, unsigned>> cl_stream;  // symbol, extra bits value

  void Lengths(const std::vector<uint8_t>& lengths) {
    for (uint8_t l : lengths) cl_stream.emplace_back(l, 0);
  }
  void Write(BitWriter& w, bool final) const {
    static const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    w.Put(final, 1);
    w.Put(2, 2);
    w.Put(hlit_field, 5);
    w.Put(hdist_field, 5);
    w.Put(19 - 4, 4);
    for (int i = 0; i < 19; ++i) w.Put(cl_lengths[kOrder[i]], 3);
    const PrefixCode cl(cl_lengths);
    for (auto [sym, extra] : cl_stream) {
      cl.Write(w, sym);
      if (sym == 16) w.Put(extra, 2);
      if (sym == 17) w.Put(extra, 3);
      if (sym == 18) w.Put(extra, 7);
    }
  }
};

// Literal/length lengths for symbols 0..hlit-1 with the given (symbol, length) pairs.
std::vector<uint8_t> LitLengths(unsigned hlit, std::initializer_list<std::pair<unsigned, uint8_t>> codes) {
  std::vector<uint8_t> l(hlit, 0);
  for (auto [s, len] : codes) l.at(s) = len;
  return l;
}

const Bytes& Lead() {
  static const Bytes lead = Pattern(40000, 7);
  return lead;
}

// A non-final stored block of 40,000 bytes, then whatever the test writes.
// When the decoder stops in the second block, only the first full window
// (32,768 bytes) has been flushed; the rest of the window is dropped.
BitWriter AfterLead() {
  BitWriter w;
  Stored(w, false, Lead());
  return w;
}

void ExpectStopsAfterLead(const Bytes& stream, uint64_t full_size) {
  for (size_t block : {kInputBlock, size_t{1}}) {
    SCOPED_TRACE("input block " + std::to_string(block));
    Bytes out;
    ASSERT_NO_THROW(out = Inflated(stream, full_size, block));
    ASSERT_EQ(out.size(), kOutputWindow);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), Lead().begin()));
  }
}

TEST(InflateInvalid, BlockType3) {
  BitWriter w = AfterLead();
  w.Put(1, 1);
  w.Put(3, 2);
  w.Put(0, 16);
  ExpectStopsAfterLead(w.Finish(), 50000);
}

TEST(InflateInvalid, StoredLengthNotMatchingItsComplement) {
  BitWriter w = AfterLead();
  w.Put(1, 1);
  w.Put(0, 2);
  w.AlignToByte();
  w.Put(100, 16);
  w.Put(~100u & 0xFFFE, 16);  // one bit off
  w.PutBytes(Bytes(100, 'x'));
  ExpectStopsAfterLead(w.Finish(), 40100);
}

// A final dynamic block after the lead whose codes give 'a' and the end code
// one bit each, then 'a' (count times) and the end.
Bytes LeadThenDynamic(const DynamicHeader& h, int count = 1) {
  BitWriter w = AfterLead();
  h.Write(w, true);
  for (int i = 0; i < count; ++i) w.PutCode(0, 1);  // 'a' sorts before the end code: 0
  w.PutCode(1, 1);
  return w.Finish();
}

Bytes LeadPlus(char c) {
  Bytes b = Lead();
  b.push_back(static_cast<uint8_t>(c));
  return b;
}

TEST(InflateInvalid, TooManyLiteralOrDistanceCodes) {
  struct Case {
    unsigned hlit_field, hdist_field;
    bool valid;
  } cases[] = {{29, 0, true}, {30, 0, false}, {31, 0, false}, {0, 29, true}, {0, 30, false}, {0, 31, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hlit_field) + "/" + std::to_string(c.hdist_field));
    DynamicHeader h;
    h.hlit_field = c.hlit_field;
    h.hdist_field = c.hdist_field;
    h.Lengths(LitLengths(257 + c.hlit_field, {{'a', 1}, {256, 1}}));
    h.Lengths(std::vector<uint8_t>(1 + c.hdist_field, 0));
    const Bytes stream = LeadThenDynamic(h);
    if (c.valid)
      EXPECT_EQ(Inflated(stream, 40001), LeadPlus('a'));
    else
      ExpectStopsAfterLead(stream, 40001);
  }
}

TEST(InflateInvalid, BadCodeLengths) {
  const unsigned hlit = 258;
  struct Case {
    const char* what;
    std::vector<uint8_t> lit;
  } cases[] = {
      {"complete", LitLengths(hlit, {{'a', 1}, {256, 1}})},
      {"oversubscribed", LitLengths(hlit, {{'a', 1}, {'b', 1}, {256, 1}})},
      {"incomplete", LitLengths(hlit, {{'a', 1}, {256, 2}})},
      {"no end code", LitLengths(hlit, {{'a', 1}, {'b', 1}})},  // 'b' takes the end code's place
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DynamicHeader h;
    h.hlit_field = hlit - 257;
    h.Lengths(c.lit);
    h.Lengths({1});  // one distance code
    // Enough 'a's to fill another window if the block were let through.
    const Bytes stream = LeadThenDynamic(h, 30000);
    if (c.lit == cases[0].lit)
      EXPECT_EQ(Inflated(stream, 70000).size(), 70000u);
    else
      ExpectStopsAfterLead(stream, 70000);
  }
}

TEST(InflateInvalid, IncompleteCodeLengthCode) {
  BitWriter w = AfterLead();
  DynamicHeader h;
  h.cl_lengths = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 0, 0, 0};
  h.Lengths(LitLengths(257, {{'a', 1}, {256, 1}}));
  h.Lengths({1});
  h.Write(w, true);
  ExpectStopsAfterLead(w.Finish(), 50000);
}

// Each case would make a valid list ('a' and the end code one bit each) if
// the decoder let the faulty repeat pass.
TEST(InflateInvalid, RepeatCodes) {
  {
    SCOPED_TRACE("16 with no previous length");
    DynamicHeader h;
    h.cl_stream = {{16, 0}};  // three copies of nothing
    std::vector<uint8_t> rest = LitLengths(257, {{'a', 1}, {256, 1}});
    rest.erase(rest.begin(), rest.begin() + 3);
    h.Lengths(rest);
    h.Lengths({0});
    ExpectStopsAfterLead(LeadThenDynamic(h), 40001);
  }
  {
    SCOPED_TRACE("17 past the end of the lists");
    DynamicHeader h;
    h.Lengths(LitLengths(257, {{'a', 1}, {256, 1}}));
    h.cl_stream.emplace_back(17, 0);  // 3 zeros where 1 is left
    ExpectStopsAfterLead(LeadThenDynamic(h), 40001);
  }
  {
    SCOPED_TRACE("18 past the end of the lists");
    DynamicHeader h;
    h.Lengths(LitLengths(257, {{'a', 1}, {256, 1}}));
    h.cl_stream.emplace_back(18, 0);  // 11 zeros where 1 is left
    ExpectStopsAfterLead(LeadThenDynamic(h), 40001);
  }
  {
    SCOPED_TRACE("16 past the end of the lists");
    DynamicHeader h;
    h.Lengths(LitLengths(256, {{'a', 1}}));
    h.Lengths({1});
    h.cl_stream.emplace_back(16, 0);  // 3 copies of 1 where 1 is left
    ExpectStopsAfterLead(LeadThenDynamic(h), 40001);
  }
}

// The literals before the bad symbol bring it into the main decoding loop
// (with 32 KiB input blocks) and into the careful one (1-byte blocks).
TEST(InflateInvalid, SymbolsThatTheFixedCodeMayNotUse) {
  for (unsigned bad : {286u, 287u}) {
    BitWriter w = AfterLead();
    w.Put(1, 1);
    w.Put(1, 2);
    for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');
    FixedLitLen().Write(w, bad);
    for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');
    FixedLitLen().Write(w, 256);
    ExpectStopsAfterLead(w.Finish(), 50000);
  }
  for (unsigned bad : {30u, 31u}) {
    BitWriter w = AfterLead();
    w.Put(1, 1);
    w.Put(1, 2);
    for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');
    FixedLitLen().Write(w, 257);
    FixedDist().Write(w, bad);
    for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');
    FixedLitLen().Write(w, 256);
    ExpectStopsAfterLead(w.Finish(), 50000);
  }
}

TEST(InflateInvalid, DistanceBeforeTheFirstByte) {
  // The window's old content (another entry's bytes) must never come out.
  for (size_t block : {kInputBlock, size_t{1}}) {
    for (unsigned distance : {100u, 101u}) {
      SCOPED_TRACE("distance " + std::to_string(distance) + " block " + std::to_string(block));
      BitWriter w;
      w.Put(1, 1);
      w.Put(1, 2);
      for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');
      Match(w, FixedLitLen(), FixedDist(), 10, distance);
      for (int i = 0; i < 100; ++i) FixedLitLen().Write(w, 'x');  // keeps the match in the main loop
      FixedLitLen().Write(w, 256);
      Bytes out;
      ASSERT_NO_THROW(out = Inflated(w.Finish(), 210, block));
      if (distance == 100)
        EXPECT_EQ(out, Bytes(210, 'x'));
      else
        EXPECT_TRUE(out.empty());
    }
  }
}

TEST(InflateSparseCodes, NoDistanceCodeOrASingleOne) {
  {
    SCOPED_TRACE("no distance code: literals only");
    BitWriter w;
    DynamicHeader h;
    h.hlit_field = 1;
    const std::vector<uint8_t> lit = LitLengths(258, {{'a', 2}, {'b', 2}, {256, 2}, {257, 2}});
    h.Lengths(lit);
    h.Lengths({0});
    h.Write(w, true);
    const PrefixCode code(lit);
    code.Write(w, 'a');
    code.Write(w, 'b');
    code.Write(w, 256);
    EXPECT_EQ(Inflated(w.Finish(), 2), Bytes({'a', 'b'}));
  }
  {
    SCOPED_TRACE("a single distance code of one bit");
    BitWriter w;
    DynamicHeader h;
    h.hlit_field = 1;
    const std::vector<uint8_t> lit = LitLengths(258, {{'a', 2}, {'b', 2}, {256, 2}, {257, 2}});
    h.Lengths(lit);
    h.Lengths({1});
    h.Write(w, true);
    const PrefixCode code(lit);
    const PrefixCode dist(std::vector<uint8_t>{1});
    code.Write(w, 'a');
    code.Write(w, 257);  // length 3
    dist.Write(w, 0);    // distance 1
    code.Write(w, 256);
    EXPECT_EQ(Inflated(w.Finish(), 4), Bytes({'a', 'a', 'a', 'a'}));
  }
}

TEST(InflateInput, CutShortEndsQuietly) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "repetitive.bin");
  for (size_t keep : {size_t{0}, size_t{1}, size_t{100}, e.data.size() / 2, e.data.size() - 1}) {
    SCOPED_TRACE("kept " + std::to_string(keep));
    const Bytes cut(e.data.begin(), e.data.begin() + keep);
    // The entry says it is shorter: the decoder runs out of bits.
    Bytes out;
    ASSERT_NO_THROW(out = Inflated(cut, e.uncompressed_size));
    EXPECT_LT(out.size(), e.uncompressed_size);
    // The archive ends before the entry's data does: the refill fails.
    MemoryDecoderIo::Options o;
    o.declared_size = e.data.size();
    MemoryDecoderIo io(cut, e.uncompressed_size, o);
    ASSERT_NO_THROW(Inflate(io));
    EXPECT_LT(io.Output().size(), e.uncompressed_size);
  }
}

TEST(InflateOutput, FlushesFullWindowsThenTheRest) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");  // 102,294 bytes
  MemoryDecoderIo io(e.data, e.uncompressed_size);
  Inflate(io);
  EXPECT_EQ(io.FlushSizes(), (std::vector<size_t>{32768, 32768, 32768, 3990}));
}

TEST(InflateOutput, FailedFlushInsideABlockEndsQuietly) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  {
    SCOPED_TRACE("larger than its size");
    MemoryDecoderIo io(e.data, 40000);
    ASSERT_NO_THROW(Inflate(io));
    EXPECT_EQ(io.Output().size(), 32768u);
  }
}

TEST(InflateOutput, FailedWriteInsideABlockPassesOut) {
  // A full disk is not bad data: it ends the run as with the other methods.
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  MemoryDecoderIo::Options o;
  o.fail_at_flush = 2;
  MemoryDecoderIo io(e.data, e.uncompressed_size, o);
  EXPECT_THROW(Inflate(io), ECantWriteUCF);
  EXPECT_EQ(io.Output().size(), 32768u);
}

TEST(InflateOutput, FailedFinalFlushPassesOut) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  {
    MemoryDecoderIo io(e.data, e.uncompressed_size - 1);
    EXPECT_THROW(Inflate(io), EBiggerThanUncompressed);
  }
  {
    MemoryDecoderIo::Options o;
    o.fail_at_flush = 4;
    MemoryDecoderIo io(e.data, e.uncompressed_size, o);
    EXPECT_THROW(Inflate(io), ECantWriteUCF);
  }
}

TEST(InflateInput, UserCancelPassesThrough) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/large_deflate.zip"));
  MemoryDecoderIo::Options o;
  o.cancel_at_refill = 3;
  MemoryDecoderIo io(entries.at(0).data, entries.at(0).uncompressed_size, o);
  EXPECT_THROW(Inflate(io), EUserCanceled);
}

TEST(InflateMemory, TableAllocationFailureShowsTheBoxAndEnds) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/deflate/infozip_deflate.zip"));
  const ZipEntry& e = FindEntry(entries, "english.txt");
  MemoryDecoderIo io(e.data, e.uncompressed_size);
  g_fail_table_allocation = true;
  EXPECT_NO_THROW(Inflate(io));
  g_fail_table_allocation = false;
  EXPECT_TRUE(io.Output().empty());
  EXPECT_EQ(io.Messages(), std::vector<std::string>{"Error: *** inflate out of memory ***"});
}

// ---- agreement with zlib ------------------------------------------------------

#ifdef QR5_HAVE_ZLIB
Bytes ZlibDeflate(const Bytes& raw, int level, int strategy, size_t flush_every = 0) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, strategy) != Z_OK) throw std::runtime_error("deflateInit2");
  Bytes out(deflateBound(&z, raw.size()) + 64 + (flush_every ? 16 * (raw.size() / flush_every + 1) : 0));
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  size_t done = 0;
  while (done < raw.size() || z.avail_in != 0) {
    const size_t n = flush_every ? std::min(flush_every, raw.size() - done) : raw.size() - done;
    z.next_in = const_cast<uint8_t*>(raw.data() + done);
    z.avail_in = static_cast<uInt>(n);
    done += n;
    const int mode = done == raw.size() ? Z_FINISH : (done / flush_every) % 2 ? Z_SYNC_FLUSH : Z_FULL_FLUSH;
    const int rc = deflate(&z, mode);
    if (rc != Z_OK && rc != Z_STREAM_END) throw std::runtime_error("deflate");
    if (mode == Z_FINISH) break;
  }
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::vector<std::pair<std::string, Bytes>> Corpora() {
  std::vector<std::pair<std::string, Bytes>> c;
  c.emplace_back("empty", Bytes{});
  c.emplace_back("one byte", Bytes{'Q'});
  c.emplace_back("text", ReadFileBytes(TestDataPath("zip/contents/english.txt")));
  c.emplace_back("random", Pattern(70000, 11));
  c.emplace_back("run", Bytes(100000, 'A'));
  // Repeats at distances around the window size, so copies reach across
  // the window's wrap point.
  Bytes far;
  const Bytes chunk = Pattern(20000, 3);
  for (size_t gap : {32768u, 32767u, 32760u, 30000u, 258u}) {
    far.insert(far.end(), chunk.begin(), chunk.end());
    const Bytes filler = Pattern(gap - std::min<size_t>(gap, 20000), static_cast<uint32_t>(gap));
    far.insert(far.end(), filler.begin(), filler.end());
  }
  far.insert(far.end(), chunk.begin(), chunk.end());
  c.emplace_back("far matches", far);
  // Short periodic patterns give overlapping copies with distances 2..9.
  Bytes periodic;
  for (int period = 2; period < 10; ++period)
    for (int i = 0; i < 5000; ++i) periodic.push_back(static_cast<uint8_t>('a' + i % period));
  c.emplace_back("periodic", periodic);
  return c;
}

// Over the fast loop's BMI2 build (where the processor has BMI2) and its
// baseline build.
TEST(InflateAgainstZlib, SameBytesForEveryLevelAndStrategy) {
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  for (const bool extensions : {true, false}) {
    UseProcessorExtensions(extensions);
    for (const auto& [name, raw] : Corpora()) {
      for (int level : {0, 1, 6, 9}) {
        for (int strategy : strategies) {
          const Bytes stream = ZlibDeflate(raw, level, strategy);
          for (size_t block : {kInputBlock, size_t{7}}) {
            SCOPED_TRACE(name + " level " + std::to_string(level) + " strategy " + std::to_string(strategy) +
                         " block " + std::to_string(block) + (extensions ? "" : " baseline"));
            ASSERT_TRUE(Inflated(stream, raw.size(), block) == raw);
          }
        }
      }
    }
  }
  UseProcessorExtensions(true);
}

TEST(InflateAgainstZlib, FlushPointsAndEmptyStoredBlocks) {
  const Bytes raw = ReadFileBytes(TestDataPath("zip/contents/english.txt"));
  for (size_t every : {1000u, 4097u, 16384u}) {
    SCOPED_TRACE(every);
    EXPECT_TRUE(Inflated(ZlibDeflate(raw, 6, Z_DEFAULT_STRATEGY, every), raw.size()) == raw);
  }
}
#endif  // QR5_HAVE_ZLIB

}  // namespace
}  // namespace qr5::archive::testing
