// Every entry of the shared test archives decodes to its content: methods 1
// to 6 and 8 through the decoders, encrypted entries through ZipKeys and the
// check byte. Checked against the manifest's CRC-32 and size, and byte for
// byte against the content file where there is one.
#include <gtest/gtest.h>

#include <map>

#include "decoder_test_io.h"

namespace qr5::archive::testing {
namespace {

struct Case {
  ManifestRow row;
  size_t index;  // position in its archive
};

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  std::map<std::string, size_t> next;
  for (const ManifestRow& row : ReadManifest()) {
    const size_t index = next[row.archive]++;
    if (row.content_file == "(folder)") continue;
    cases.push_back({row, index});
  }
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.row.archive + "_" + std::to_string(info.param.index);
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class ManifestEntry : public ::testing::TestWithParam<Case> {};

TEST_P(ManifestEntry, DecodesToItsContent) {
  const ManifestRow& row = GetParam().row;
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/" + row.archive));
  ASSERT_LT(GetParam().index, entries.size());
  const ZipEntry& entry = entries[GetParam().index];
  ASSERT_EQ(entry.method, row.method);
  ASSERT_EQ(entry.compressed_size, row.compressed_size);
  ASSERT_EQ(entry.uncompressed_size, row.uncompressed_size);

  const DecodeResult result = DecodeEntry(entry, row.password);
  ASSERT_TRUE(result.password_ok);
  EXPECT_TRUE(result.messages.empty());
  ASSERT_EQ(result.output.size(), row.uncompressed_size);
  EXPECT_EQ(Crc32Of(result.output), row.crc);
  if (row.content_file != "-") {
    EXPECT_TRUE(result.output == ReadFileBytes(TestDataPath("zip/" + row.content_file)));
  }
}

INSTANTIATE_TEST_SUITE_P(Archives, ManifestEntry, ::testing::ValuesIn(AllCases()), CaseName);

// Small input blocks move every block edge across codes, stored blocks and
// the fast/careful boundary of inflate; the result must not change.
TEST(DecoderInputBlocks, SmallBlocksGiveTheSameBytes) {
  const struct {
    const char* archive;
    const char* entry;
    const char* content;
  } cases[] = {
      {"legacy/shrink.zip", "english.txt", "english.txt"},
      {"legacy/reduce3.zip", "repetitive.bin", "repetitive.bin"},
      {"legacy/implode_8k_3trees.zip", "english.txt", "english.txt"},
      {"legacy/implode_4k_2trees.zip", "allbytes.bin", "allbytes.bin"},
      {"deflate/deflate_variants.zip", "english_sync_flush.txt", "english.txt"},
      {"deflate/deflate_variants.zip", "english_stored_blocks.txt", "english.txt"},
      {"deflate/infozip_deflate.zip", "repetitive.bin", "repetitive.bin"},
  };
  for (const auto& c : cases) {
    const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath(std::string("zip/") + c.archive));
    const ZipEntry& entry = FindEntry(entries, c.entry);
    const std::vector<uint8_t> expected = ReadFileBytes(TestDataPath(std::string("zip/contents/") + c.content));
    for (size_t block : {1u, 3u, 7u, 8u, 9u, 4093u}) {
      SCOPED_TRACE(std::string(c.archive) + " " + c.entry + " block " + std::to_string(block));
      EXPECT_TRUE(DecodeEntry(entry, "", block).output == expected);
    }
  }
}

TEST(DecoderEncryption, WrongPasswordFailsTheCheckByte) {
  const std::vector<ZipEntry> entries = ReadZipEntries(TestDataPath("zip/crypt/encrypted.zip"));
  int rejected = 0;
  for (const ZipEntry& e : entries) {
    ASSERT_TRUE(e.flags & 1);
    // One wrong password in 256 passes the check byte by chance; these do not.
    if (!DecodeEntry(e, "Secret").password_ok) ++rejected;
  }
  EXPECT_EQ(rejected, static_cast<int>(entries.size()));
}

TEST(DecoderEncryption, CheckByteFollowsFlagBit3) {
  // Bit 3: the high byte of the DOS time; otherwise the high byte of the CRC.
  EXPECT_EQ(PasswordCheckByte(0x0009, 0x58216000u, 0xEB51021Du), 0x60);
  EXPECT_EQ(PasswordCheckByte(0x0001, 0x58216000u, 0xE81722F0u), 0xE8);
}

}  // namespace
}  // namespace qr5::archive::testing
