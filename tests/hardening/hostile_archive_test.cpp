// Archives built to do harm or broken in odd ways: each is refused entry by
// entry (skipped as a file that cannot be created) or ends the run with the
// archive's error, without a crash, a hang, or a write outside the
// destination folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_env.h"
#include "archive/zip_archive.h"
#include "archive/zip_builder.h"
#include "archive/zip_errors.h"

namespace qr5::archive::test {
namespace {

class HostileArchiveTest : public ArchiveTest {
 protected:
  TZipArchive zip;
  std::vector<std::pair<int, std::string>> skips;
  std::vector<int> total_reports;

  void SetUp() override {
    ArchiveTest::SetUp();
    zip.OverwriteMode = TOverwriteMode::Always;
    zip.OnSkippingFile = [this](int reason, const std::string& name, int, bool&) { skips.emplace_back(reason, name); };
    zip.OnTotalPercentDone = [this](int p) { total_reports.push_back(p); };
    zip.MessageBoxHook = [](const std::string&, const std::string&, unsigned) { return platform::IDOK; };
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

  // Every name below folder, with its path relative to it ("a\b").
  std::vector<std::string> Tree(const std::string& folder, const std::string& prefix = "") {
    std::vector<std::string> names;
    auto search = platform::Sys().files->FindFirst(folder + "\\*", 0x37);
    if (!search) return names;
    do {
      const platform::FindData& found = search->Current();
      if (found.name == "." || found.name == "..") continue;
      names.push_back(prefix + found.name);
      if (found.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& below : Tree(folder + "\\" + found.name, prefix + found.name + "\\")) {
          names.push_back(below);
        }
      }
    } while (search->Next());
    std::sort(names.begin(), names.end());
    return names;
  }
  // What the test's folder holds besides the archive: only out\ and in it
  // the names given.
  void ExpectOnly(std::vector<std::string> in_out) {
    std::vector<std::string> expected = {"out", "pay.zip"};
    for (const std::string& name : in_out) expected.push_back("out\\" + name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tree(Base()), expected);
  }
  void ExpectAllSkippedAsUncreatable(size_t count) {
    ASSERT_EQ(skips.size(), count);
    for (const auto& skip : skips) EXPECT_EQ(skip.first, srCreateError) << skip.second;
  }
};

TEST_F(HostileArchiveTest, OverlappingEntriesExpandNothingTwice) {
  // Each entry's stored data runs from its own header over every later
  // header to the end of the shared tail: a quadratic "zip bomb". Only the
  // last, whose data is the tail alone, is sound.
  const std::string tail = RandomBytes(10000, 1);
  const int n = 40;
  std::vector<std::string> names, headers;
  for (int i = 0; i < n; ++i) {
    names.push_back("bomb" + std::to_string(100 + i) + ".bin");
    BuildEntry header_only = Stored(names.back(), "");
    headers.push_back(LocalEntry(header_only));
  }
  std::string file, central;
  std::vector<uint32_t> offsets;
  for (const std::string& h : headers) {
    offsets.push_back(static_cast<uint32_t>(file.size()));
    file += h;
  }
  file += tail;
  for (int i = 0; i < n; ++i) {
    const size_t data_at = offsets[i] + headers[i].size();
    const std::string covered = file.substr(data_at);
    central += CentralHeader(Stored(names[i], covered), offsets[i]);
  }
  const uint32_t central_at = static_cast<uint32_t>(file.size());
  file += central + EndRecord(n, static_cast<uint32_t>(central.size()), central_at);
  Open(file);
  ASSERT_EQ(zip.EntryCount(), n);
  EXPECT_EQ(Run(), 1);
  ExpectAllSkippedAsUncreatable(n - 1);
  EXPECT_EQ(zip.BytesDone(), 10000);
  EXPECT_EQ(Get(Win("out\\" + names.back())), tail);
  EXPECT_EQ(total_reports.back(), 100);
  ExpectOnly({names.back()});
}

TEST_F(HostileArchiveTest, EntriesSharingOneLocalHeaderAreAllRefused) {
  // Ten central records, told apart only by their disk numbers, all point
  // at the same deflated data (300 KB each).
  RawEntry raw;
  ASSERT_TRUE(FindRaw(TestData("deflate/deflate_variants.zip"), "repetitive_dynamic.bin", raw));
  BuildEntry kernel = Packed("kernel.bin", 8, raw.data, "");
  kernel.crc = raw.crc;
  kernel.uncompressed_size = raw.size;
  std::string file = LocalEntry(kernel), central;
  for (int disk = 0; disk < 10; ++disk) {
    BuildEntry copy = kernel;
    copy.name = "copy" + std::to_string(disk) + ".bin";
    copy.disk = static_cast<uint16_t>(disk);
    central += CentralHeader(copy, 0);
  }
  const uint32_t central_at = static_cast<uint32_t>(file.size());
  file += central + EndRecord(10, static_cast<uint32_t>(central.size()), central_at);
  Open(file);
  ASSERT_EQ(zip.EntryCount(), 10);
  EXPECT_EQ(zip.DirectorySoundness().SharedLocalHeaders, 10);
  EXPECT_FALSE(zip.DirectorySoundness().Sound());
  EXPECT_EQ(Run(), 0);
  ExpectAllSkippedAsUncreatable(10);
  EXPECT_EQ(zip.BytesDone(), 0);
  ExpectOnly({});
}

TEST_F(HostileArchiveTest, DataOrHeadersInsideTheCentralDirectoryAreRefused) {
  // Data that runs on into the central directory.
  BuildEntry longer = Stored("longer.txt", "0123456789");
  longer.compressed_size = longer.uncompressed_size = 60;
  // A local header offset that points into the central directory.
  BuildEntry inside = Stored("inside.txt", "x");
  BuildEntry fine = Stored("fine.txt", "fine");
  const std::vector<BuildEntry> entries = {fine, longer, inside};
  std::string file;
  std::vector<uint32_t> offsets;
  for (const auto& e : entries) {
    offsets.push_back(static_cast<uint32_t>(file.size()));
    file += LocalEntry(e);
  }
  const uint32_t central_at = static_cast<uint32_t>(file.size());
  std::string central = CentralHeader(fine, offsets[0]) + CentralHeader(longer, offsets[1]) +
                        CentralHeader(inside, central_at + 10);
  file += central + EndRecord(3, static_cast<uint32_t>(central.size()), central_at);
  Open(file);
  ASSERT_EQ(zip.EntryCount(), 3);
  EXPECT_EQ(Run(), 1);
  ExpectAllSkippedAsUncreatable(2);
  EXPECT_EQ(Get(Win("out\\fine.txt")), "fine");
  ExpectOnly({"fine.txt"});
}

TEST_F(HostileArchiveTest, AnOffsetBeyondTheFileEndsTheRunAndLeavesNothing) {
  BuildEntry far = Stored("far.txt", "far away");
  far.local_offset = 0x7FFFFFF0;
  Open(BuildZip({Stored("first.txt", "1"), far}));
  ASSERT_EQ(zip.EntryCount(), 2);
  try {
    Run();
    FAIL() << "no exception";
  } catch (const EFatalUnzipError& e) {
    EXPECT_STREQ(e.what(), "Premature end of file reached");
  }
  ExpectOnly({"first.txt"});
}

TEST_F(HostileArchiveTest, ACentralDirectoryClaimingMoreEntriesThanItHoldsReadsWhatIsThere) {
  BuildOptions options;
  options.total_entries = 65535;
  Open(BuildZip({Stored("a.txt", "alpha"), Stored("b.txt", "beta")}, options));
  EXPECT_EQ(zip.EntryCount(), 2);
  EXPECT_EQ(zip.DirectorySoundness().Describe(),
            "rebuilt from the local headers; the end record counts 65535 entries, the central directory holds 2 "
            "readable records");
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(Get(Win("out\\a.txt")), "alpha");
  EXPECT_EQ(Get(Win("out\\b.txt")), "beta");
  ExpectOnly({"a.txt", "b.txt"});

  // A count that the bytes before the end record cannot hold at all, and a
  // directory offset past the end: nothing to read, nothing written.
  options.central_offset = 0x7FFFFFFF;
  Put(Win("other.zip"), BuildZip({Stored("c.txt", "c")}, options));
  zip.SetZipName(Win("other.zip"));
  zip.LoadDirectory();
  EXPECT_LE(zip.EntryCount(), 1);
  zip.FilesList = {"*"};
  EXPECT_LE(zip.ExtractSelected(), 1);
}

TEST_F(HostileArchiveTest, NamesWithControlOrReservedCharactersAreRefused) {
  zip.RecreateDirs = true;
  Open(BuildZip({Stored("bell\x07.txt", "x"), Stored("tab\tname.txt", "x"), Stored("line\r\nbreak.txt", "x"),
                 Stored(std::string("cut\0.exe", 8), "x"), Stored("dir\x1f/inner.txt", "x"),
                 Stored("star*.txt", "x"), Stored("what?.txt", "x"), Stored("pipe|.txt", "x"),
                 Stored("less<.txt", "x"), Stored("more>.txt", "x"), Stored("quote\".txt", "x"),
                 Stored("ok/fine.txt", "fine")}));
  EXPECT_EQ(Run(), 1);
  ExpectAllSkippedAsUncreatable(11);
  EXPECT_EQ(Get(Win("out\\ok\\fine.txt")), "fine");
  ExpectOnly({"ok", "ok\\fine.txt"});
}

// COM1 to COM3 and LPT1 to LPT3 written with the superscript digits of the
// ANSI code page are the same devices; other digits and longer names are
// files. (The builder's names come from Unix: taken as ANSI bytes.)
TEST_F(HostileArchiveTest, DeviceNamesWithSuperscriptDigitsAreRefused) {
  zip.RecreateDirs = true;
  Open(BuildZip({Stored("COM\xB9", "x"), Stored("com\xB2.txt", "x"), Stored("LPT\xB3.log", "x"),
                 Stored("dir/lpt\xB9 .txt", "x"), Stored("Lpt\xB2/inside.txt", "x"),
                 Stored("COM\xB9\xB9.txt", "ok"), Stored("COM\xBC.txt", "ok"), Stored("LPT\xB0.txt", "ok")}));
  EXPECT_EQ(Run(), 3);
  ExpectAllSkippedAsUncreatable(5);
  EXPECT_EQ(Get(Win("out\\COM\xB9\xB9.txt")), "ok");
  EXPECT_EQ(Get(Win("out\\COM\xBC.txt")), "ok");
  EXPECT_EQ(Get(Win("out\\LPT\xB0.txt")), "ok");
}

TEST_F(HostileArchiveTest, PathsLongerThanMaxPathAreRefusedBeforeAnyFolderIsMade) {
  zip.RecreateDirs = true;
  const std::string out = Win("out") + "\\";
  // out\ + name: 259 characters is the longest path the system takes.
  const std::string fits(259 - out.size(), 'f');
  const std::string too_long(260 - out.size(), 'g');
  const std::string nested = std::string(100, 'd') + "/" + std::string(100, 'e') + "/" + std::string(100, 'h') + ".txt";
  Open(BuildZip({Stored(fits, "fits"), Stored(too_long, "x"), Stored(nested, "x"),
                 Stored(std::string(100, 'd') + "/" + std::string(200, 'e') + "/", "")}));
  EXPECT_EQ(Run(), 1);
  ExpectAllSkippedAsUncreatable(3);
  EXPECT_EQ(Get(out + fits), "fits");
  ExpectOnly({fits});
}

TEST_F(HostileArchiveTest, AShortNameWhosePathFitsIsInstalledHoweverLittleRoomItsTemporaryNameHas) {
  zip.RecreateDirs = true;
  const std::string out = Win("out") + "\\";
  // out\<folder>\x.1 of 258 and of 259 characters.
  const std::string folder258(258 - out.size() - 4, 'p'), folder259(259 - out.size() - 4, 'q');
  Open(BuildZip({Stored(folder258 + "/x.1", "258"), Stored(folder259 + "/x.1", "259"),
                 Stored(folder259 + "/y", "one character")}));
  EXPECT_EQ(Run(), 3);
  EXPECT_TRUE(skips.empty());
  EXPECT_EQ(Get(out + folder258 + "\\x.1"), "258");
  EXPECT_EQ(Get(out + folder259 + "\\x.1"), "259");
  EXPECT_EQ(Get(out + folder259 + "\\y"), "one character");
  ExpectOnly({folder258, folder258 + "\\x.1", folder259, folder259 + "\\x.1", folder259 + "\\y"});
}

TEST_F(HostileArchiveTest, StoredDataRunningPastTheEndOfTheFileEndTheRunAsCutShort) {
  // A damaged download: the entry's size runs over the directory and past
  // the end of the file. Not a silent skip: the run ends, so the caller can
  // tell the user the setup file is damaged.
  BuildEntry cut = Stored("cut.bin", RandomBytes(3000, 3));
  cut.compressed_size = cut.uncompressed_size = 100000;
  Open(BuildZip({Stored("first.txt", "1"), cut}));
  try {
    Run();
    FAIL() << "no exception";
  } catch (const EFatalUnzipError& e) {
    EXPECT_STREQ(e.what(), "Premature end of file reached");
  }
  EXPECT_TRUE(skips.empty());
  ExpectOnly({"first.txt"});
}

TEST_F(HostileArchiveTest, DeeplyNestedNamesAreRefusedWithoutRecursingThroughThem) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "a/";
  Open(BuildZip({Stored(deep + "f.txt", "deep"), Stored(deep, "")}));
  zip.RecreateDirs = true;
  EXPECT_EQ(Run(), 0);
  ExpectAllSkippedAsUncreatable(2);
  ExpectOnly({});

  // Without stored folders the file lands in the destination itself.
  skips.clear();
  zip.RecreateDirs = false;
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Get(Win("out\\f.txt")), "deep");
  ExpectOnly({"f.txt"});
}

// Raw deflate data of n zero bytes at zlib's best level: as close to the
// method's limit of 1032 to 1 as real data comes.
std::string DeflatedZeros(size_t n) {
  const std::string command = "python3 -c \"import sys,zlib; c=zlib.compressobj(9,zlib.DEFLATED,-15); "
                              "sys.stdout.buffer.write(c.compress(bytes(" +
                              std::to_string(n) + "))+c.flush())\"";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    ::pclose(pipe);
  }
  return out;
}

TEST_F(HostileArchiveTest, ADeclaredSizeTheDataCannotReachIsRefused) {
  BuildEntry stored = Stored("stored.bin", "ten bytes!");
  stored.uncompressed_size = 1000000000;
  BuildEntry deflated = Packed("deflated.bin", 8, std::string("\x4b\x4c\x4a\x06\x00", 5), "abc");
  deflated.uncompressed_size = 5 * 1032 + 1033;
  const std::string zeros = DeflatedZeros(4000000);
  if (zeros.empty()) GTEST_SKIP() << "needs python3 with zlib";
  BuildEntry densest = Packed("zeros.bin", 8, zeros, std::string(4000000, '\0'));
  Open(BuildZip({stored, deflated, densest, Stored("plain.txt", "plain")}));
  EXPECT_EQ(Run(), 2);
  ExpectAllSkippedAsUncreatable(2);
  EXPECT_EQ(zip.TotalBytes(), 4000005) << "the refused sizes leave the totals";
  EXPECT_EQ(total_reports.back(), 100);
  EXPECT_EQ(Get(Win("out\\zeros.bin")), std::string(4000000, '\0'));
  ExpectOnly({"plain.txt", "zeros.bin"});
}

}  // namespace
}  // namespace qr5::archive::test
