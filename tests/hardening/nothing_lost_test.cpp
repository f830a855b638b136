// A reinstall over good files: whatever goes wrong with an entry's new copy
// (a CRC mismatch, data cut short, a full disk, a destination that cannot
// be replaced), the old file stays byte for byte with its time and
// attributes, and no temporary file is left in the folder. A good copy
// replaces it with the entry's time and attributes, as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/archive_env.h"
#include "archive/path_utils.h"
#include "archive/zip_archive.h"
#include "archive/zip_builder.h"
#include "archive/zip_errors.h"

namespace qr5::archive::test {
namespace {

using platform::FILE_ATTRIBUTE_ARCHIVE;
using platform::FILE_ATTRIBUTE_HIDDEN;
using platform::FILE_ATTRIBUTE_READONLY;

constexpr platform::FileTime kOldTime = 130000000000000000ull;  // 2012
const std::string kOld = "the good old copy\r\n";

class NothingLostTest : public ArchiveTest {
 protected:
  TZipArchive zip;
  std::vector<std::pair<int, std::string>> skips;
  std::vector<std::string> ended;
  std::vector<int> total_reports;
  int bad_crcs = 0;

  void SetUp() override {
    ArchiveTest::SetUp();
    zip.OverwriteMode = TOverwriteMode::Always;  // as the setup's component
    zip.OnSkippingFile = [this](int reason, const std::string& name, int, bool&) { skips.emplace_back(reason, name); };
    zip.OnEndUnZip = [this](int, const std::string& name) { ended.push_back(name); };
    zip.OnBadCRC = [this](uint32_t, uint32_t, int) { ++bad_crcs; };
    zip.OnTotalPercentDone = [this](int p) { total_reports.push_back(p); };
    zip.MessageBoxHook = [](const std::string&, const std::string&, unsigned) { return platform::IDOK; };
  }

  // The earlier installation's file in out\.
  void PutOld(const std::string& name, uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE) {
    platform::Sys().files->CreateDirectory(Win("out"));
    Put(Win("out\\" + name), kOld);
    SetTime(Win("out\\" + name), kOldTime);
    ASSERT_TRUE(platform::Sys().files->SetFileAttributes(Win("out\\" + name), attributes));
  }
  void ExpectOld(const std::string& name, uint32_t attributes = FILE_ATTRIBUTE_ARCHIVE) {
    EXPECT_EQ(Get(Win("out\\" + name)), kOld) << name;
    EXPECT_EQ(Time(Win("out\\" + name)), kOldTime) << name;
    EXPECT_EQ(Attributes(Win("out\\" + name)), attributes) << name;
  }
  // Names in out\ other than the ones expected there.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    auto search = platform::Sys().files->FindFirst(Win("out\\*"), 0x37);
    if (!search) return names;
    do {
      const std::string& n = search->Current().name;
      if (n != "." && n != "..") names.push_back(n);
    } while (search->Next());
    std::sort(names.begin(), names.end());
    return names;
  }
  void Open(const std::string& archive) {
    Put(Win("pay.zip"), archive);
    zip.SetZipName(Win("pay.zip"));
    zip.LoadDirectory();
    zip.SetDestDir(Win("out"));
  }
  int Run() {
    zip.FilesList = {"*"};
    return zip.ExtractSelected();
  }
};

TEST_F(NothingLostTest, ANewCopyFailingItsCrcLeavesTheOldFile) {
  PutOld("app.dat");
  PutOld("lib.dat");
  BuildEntry stored = Stored("app.dat", "the new copy, damaged");
  stored.crc = 0x0BADC0DE;
  // Deflate data that is valid but decodes to other bytes than the CRC says.
  BuildEntry deflated = Packed("lib.dat", 8, std::string("\x4b\x4c\x4a\x06\x00", 5), "xyz");
  Open(BuildZip({stored, deflated}));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(bad_crcs, 2);
  ExpectOld("app.dat");
  ExpectOld("lib.dat");
  EXPECT_EQ(Names(), (std::vector<std::string>{"app.dat", "lib.dat"})) << "no temporary file";
}

TEST_F(NothingLostTest, ANewCopyCutShortLeavesTheOldFile) {
  // A deflated copy whose data stops halfway fails quietly.
  PutOld("english.txt");
  RawEntry raw;
  ASSERT_TRUE(FindRaw(TestData("deflate/infozip_deflate.zip"), "english.txt", raw));
  BuildEntry half = Packed("english.txt", 8, raw.data.substr(0, raw.data.size() / 2), "");
  half.crc = raw.crc;
  half.uncompressed_size = raw.size;
  Open(BuildZip({half}));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(bad_crcs, 1);
  ExpectOld("english.txt");

  // A stored copy whose data runs past the end of the file ends the run;
  // it lies after the end record, so it overlaps nothing.
  PutOld("cut.bin");
  BuildEntry cut = Stored("cut.bin", RandomBytes(50000, 4));
  cut.compressed_size = cut.uncompressed_size = 90000;
  const std::string central_cut_at = CentralHeader(cut, 0);
  const uint32_t at = static_cast<uint32_t>(central_cut_at.size() + 22);
  const std::string central = CentralHeader(cut, at);
  Open(central + EndRecord(1, static_cast<uint32_t>(central.size()), 0, LocalEntry(cut)));
  EXPECT_THROW(Run(), EFatalUnzipError);
  ExpectOld("cut.bin");
  EXPECT_EQ(Names(), (std::vector<std::string>{"cut.bin", "english.txt"})) << "no temporary file";
}

TEST_F(NothingLostTest, AFullDiskLeavesTheOldFiles) {
  const std::string other = OtherDriveFolder();
  if (other.empty() || !LimitFreeSpace('C', 40000)) GTEST_SKIP() << "needs a drive with limited space";
  PutOld("big.bin");
  PutOld("english.txt");
  RawEntry raw;
  ASSERT_TRUE(FindRaw(TestData("deflate/infozip_deflate.zip"), "english.txt", raw));
  BuildEntry english = Packed("english.txt", 8, raw.data, "");
  english.crc = raw.crc;
  english.uncompressed_size = raw.size;
  Put(other + "\\pay.zip", BuildZip({english, Stored("big.bin", RandomBytes(70000, 5))}));
  zip.SetZipName(other + "\\pay.zip");
  zip.LoadDirectory();
  zip.SetDestDir(Win("out"));
  // The deflated copy runs out of room inside a block, which ends the run
  // as it would for the stored one.
  EXPECT_THROW(Run(), ECantWriteUCF);
  EXPECT_EQ(bad_crcs, 0);
  ExpectOld("english.txt");
  ExpectOld("big.bin");
  EXPECT_EQ(Names(), (std::vector<std::string>{"big.bin", "english.txt"})) << "no temporary file";
}

TEST_F(NothingLostTest, AReadOnlyDestinationIsReplacedOnlyWhenAllowedAndOnlyByAGoodCopy) {
  PutOld("ro.txt", FILE_ATTRIBUTE_READONLY);
  Open(BuildZip({Stored("ro.txt", "new")}));
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(skips.size(), 1u);
  EXPECT_EQ(skips[0], (std::pair<int, std::string>{srCreateError, Win("out\\ro.txt")}));
  ExpectOld("ro.txt", FILE_ATTRIBUTE_READONLY);

  // Allowed, but the new copy fails: the file keeps its content and stays
  // read-only.
  zip.ReplaceReadOnly = true;
  BuildEntry bad = Stored("ro.txt", "new");
  bad.crc = 1;
  Open(BuildZip({bad}));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(bad_crcs, 1);
  ExpectOld("ro.txt", FILE_ATTRIBUTE_READONLY);

  // Allowed and good: replaced, with the entry's time and attributes.
  Open(BuildZip({Stored("ro.txt", "new")}));
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Get(Win("out\\ro.txt")), "new");
  EXPECT_EQ(Attributes(Win("out\\ro.txt")), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ro.txt"}));
}

TEST_F(NothingLostTest, AGoodCopyGetsTimeAndAttributesAndTheEventsStayAsTheyWere) {
  PutOld("a.txt");
  BuildEntry a = Stored("a.txt", "new a");
  a.external = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
  BuildEntry empty = Stored("empty.txt", "");
  empty.external = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  Open(BuildZip({a, empty}));
  std::vector<std::string> started;
  zip.OnStartUnZip = [&](int, std::string& name, bool&) { started.push_back(name); };
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(started, (std::vector<std::string>{Win("out\\a.txt"), Win("out\\empty.txt")}));
  EXPECT_EQ(ended, started);
  EXPECT_EQ(total_reports, (std::vector<int>{100})) << "one flush; none for the empty entry";
  EXPECT_EQ(Get(Win("out\\a.txt")), "new a");
  EXPECT_EQ(Attributes(Win("out\\a.txt")), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(Get(Win("out\\empty.txt")), "");
  EXPECT_EQ(Attributes(Win("out\\empty.txt")), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  const platform::FileTime entry_time = DosDateTimeToFileTime(a.dos_time);
  EXPECT_EQ(Time(Win("out\\a.txt")), entry_time);
  EXPECT_EQ(Time(Win("out\\empty.txt")), entry_time);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "empty.txt"}));

  // The copy just written is read-only now: the next run leaves it.
  Open(BuildZip({Stored("a.txt", "newer")}));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Get(Win("out\\a.txt")), "new a");
}

TEST_F(NothingLostTest, AFileThatCannotBeReplacedIsSkippedAndTheRunGoesOn) {
  // Hidden files, as CREATE_ALWAYS refuses them; a folder of the name; a
  // file another program holds open, found only when the new copy is moved.
  PutOld("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(platform::Sys().files->CreateDirectory(Win("out\\folder.txt")));
  PutOld("busy.txt");
  auto holder = platform::Sys().files->OpenFile(Win("out\\busy.txt"), platform::OpenMode::kRead);
  ASSERT_NE(holder, nullptr);
  Open(BuildZip({Stored("hidden.txt", "h"), Stored("folder.txt", "f"), Stored("busy.txt", "b"),
                 Stored("last.txt", "last")}));
  EXPECT_EQ(Run(), 1);
  holder.reset();
  ASSERT_EQ(skips.size(), 3u);
  for (const auto& skip : skips) EXPECT_EQ(skip.first, srCreateError) << skip.second;
  ExpectOld("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  ExpectOld("busy.txt");
  EXPECT_TRUE(IsFolder(Win("out\\folder.txt")));
  EXPECT_EQ(Get(Win("out\\last.txt")), "last");
  EXPECT_EQ(total_reports.back(), 100) << "the skipped copies leave the totals";
  EXPECT_EQ(zip.BytesDone(), 4);
  EXPECT_EQ(Names(), (std::vector<std::string>{"busy.txt", "folder.txt", "hidden.txt", "last.txt"}));
}

TEST_F(NothingLostTest, ATemporaryNameInUseIsLeftAlone) {
  platform::Sys().files->CreateDirectory(Win("out"));
  Put(Win("out\\~QR0.TMP"), "someone else's");
  Open(BuildZip({Stored("a.txt", "a")}));
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Get(Win("out\\~QR0.TMP")), "someone else's");
  EXPECT_EQ(Get(Win("out\\a.txt")), "a");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "~QR0.TMP"}));
}

TEST_F(NothingLostTest, AWrongPasswordLeavesTheOldFile) {
  PutOld("one.bin");
  PutOld("short.txt");
  zip.SetZipName(PutTestData("crypt/encrypted.zip"));
  zip.LoadDirectory();
  zip.SetDestDir(Win("out"));
  zip.Password = "wrong";
  zip.FilesList = {"one.bin", "short.txt"};
  EXPECT_EQ(zip.ExtractSelected(), 0);
  ASSERT_EQ(skips.size(), 2u);
  EXPECT_EQ(skips[0].first, srBadPassword);
  ExpectOld("one.bin");
  ExpectOld("short.txt");
  EXPECT_EQ(Names(), (std::vector<std::string>{"one.bin", "short.txt"}));
}

}  // namespace
}  // namespace qr5::archive::test
