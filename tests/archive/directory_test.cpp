// Reading the directory: end record search, payloads behind an executable,
// the recovery scan, the companion file, names, dates and the ZipName rules.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "archive/lfn_file_stream.h"
#include "archive/sorted_zip.h"
#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "archive_env.h"
#include "zip_builder.h"

namespace qr5::archive::test {
namespace {

class DirectoryTest : public ArchiveTest {
 protected:
  TZipArchive zip;

  std::vector<std::string> Paths() {
    std::vector<std::string> paths;
    for (int i = 0; i < zip.EntryCount(); ++i) paths.push_back(zip.Entry(i).StoredPath());
    return paths;
  }
  void Load(const std::string& path) {
    zip.SetZipName(path);
    zip.LoadDirectory();
  }
};

TEST_F(DirectoryTest, PayloadBehindAnExecutableReadsInLocalHeaderOrder) {
  // The central directory lists the entries in another order than they lie
  // in the file; the directory follows the file.
  std::vector<BuildEntry> entries = {Stored("b.txt", "bee"), Stored("a.txt", "ay"), Stored("c.txt", "sea")};
  BuildOptions options;
  options.prefix = std::string("MZ") + RandomBytes(20000, 1);
  options.central_order = {2, 0, 1};
  auto offsets = LocalOffsets(entries, options.prefix.size());
  uint32_t at = offsets[2] + 30 + 5 + 3;  // the central directory follows the last entry
  Put(Win("setup.exe"), BuildZip(entries, options));

  Load(Win("setup.exe"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"b.txt", "a.txt", "c.txt"}));
  EXPECT_FALSE(zip.ScanMode());
  EXPECT_EQ(zip.Entry(0).LocalHeaderOffset, offsets[0]);
  EXPECT_EQ(zip.Entry(0).CentralHeaderOffset, at + 46 + 5);
}

TEST_F(DirectoryTest, EntryCommentsBetweenCentralHeadersAreSkipped) {
  // Python's zipfile wrote both archives (data/make_comment_archives.py);
  // the middle entry carries a comment. A walk that does not step over it
  // loses the entries after it, or falls back to the scan and loses the
  // central attributes; in the streamed archive the scan cannot even tell
  // where the first entry's data end.
  for (const char* name : {"comments_seekable.zip", "comments_streamed.zip"}) {
    SCOPED_TRACE(name);
    std::ifstream in(std::string(QR5_SOURCE_DIR) + "/tests/archive/data/" + name, std::ios::binary);
    Put(Win(name), std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    TZipArchive archive;
    archive.SetZipName(Win(name));
    archive.LoadDirectory();
    ASSERT_EQ(archive.EntryCount(), 3);
    EXPECT_FALSE(archive.ScanMode());
    const std::vector<std::pair<std::string, uint32_t>> expected = {
        {"first.txt", 0x20}, {"LOGS\\middle.adi", 0x21}, {"last.bin", 0x22}};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(archive.Entry(i).StoredPath(), expected[i].first);
      EXPECT_EQ(archive.Entry(i).ExternalAttributes, expected[i].second);
      EXPECT_NE(archive.Entry(i).CentralHeaderOffset, 0u);
    }
    EXPECT_EQ(archive.FileComment(1), "a comment on the middle entry");
    EXPECT_EQ(archive.FileComment(2), "");

    const std::string out = Win(std::string(name) + ".out");
    archive.SetDestDir(out);
    archive.RecreateDirs = true;
    archive.FilesList = {"*"};
    EXPECT_EQ(archive.ExtractSelected(), 3);
    std::string first, middle, last;
    for (int i = 0; i < 40; ++i) first += "first entry\r\n";
    for (int i = 0; i < 60; ++i) middle += "<CALL:5>DL1AB<EOR>\r\n";
    for (int i = 0; i < 2048; ++i) last += static_cast<char>(i % 256);
    EXPECT_EQ(Get(out + "\\first.txt"), first);
    EXPECT_EQ(Get(out + "\\LOGS\\middle.adi"), middle);
    EXPECT_EQ(Get(out + "\\last.bin"), last);
  }
}

TEST_F(DirectoryTest, CommentOf65535BytesAndTheRecordNearestTheEnd) {
  Load(PutTestData("odd/comment_65535.zip"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"short.txt"}));
  EXPECT_EQ(zip.EndCentral().CommentLength, 65535);
  EXPECT_EQ(zip.ZipComment().substr(0, 29), "This archive comment is exact");

  // The fake record inside the comment wins; its directory is unusable,
  // and the recovery scan finds the entry from its local header.
  TZipArchive other;
  other.SetZipName(PutTestData("odd/comment_fake_eocd.zip"));
  other.LoadDirectory();
  ASSERT_EQ(other.EntryCount(), 1);
  EXPECT_TRUE(other.ScanMode());
  EXPECT_EQ(other.Entry(0).StoredPath(), "short.txt");
  EXPECT_EQ(other.Entry(0).Crc32, 0xce608e9au);
}

TEST_F(DirectoryTest, EmptyFileIsAnArchiveWithoutEntries) {
  Put(Win("empty.zip"), "");
  Load(Win("empty.zip"));
  EXPECT_EQ(zip.EntryCount(), 0);
  EXPECT_EQ(zip.ExtractSelected(), 0);

  Load(PutTestData("odd/empty_archive.zip"));
  EXPECT_EQ(zip.EntryCount(), 0);
}

TEST_F(DirectoryTest, ShortOrCutArchiveLoadsQuietlyAndFailsAtExtraction) {
  Put(Win("short.zip"), "PK\x05\x06 too short");
  zip.SetZipName(Win("short.zip"));
  EXPECT_NO_THROW(zip.LoadDirectory());
  EXPECT_EQ(zip.EntryCount(), 0);
  zip.FilesList = {"*.*"};
  zip.SetDestDir(Win("out"));
  try {
    zip.ExtractSelected();
    FAIL() << "no exception";
  } catch (const EIncompleteZip& e) {
    EXPECT_STREQ(e.what(), "Incomplete Zip File");
  }
  // The run never started: the patterns stay.
  EXPECT_EQ(zip.FilesList.size(), 1u);

  // A setup whose payload lost its end: same outcome.
  BuildOptions stub;
  stub.prefix = std::string(16000, 'x');
  std::string whole = BuildZip({Stored("a.txt", RandomBytes(5000, 2))}, stub);
  Put(Win("cut.exe"), whole.substr(0, whole.size() - 40));
  TZipArchive cut;
  cut.SetZipName(Win("cut.exe"));
  EXPECT_NO_THROW(cut.LoadDirectory());
  EXPECT_THROW(cut.ExtractSelected(), EIncompleteZip);
}

TEST_F(DirectoryTest, IncompleteModesNotAZipAndBad) {
  Put(Win("junk.zip"), RandomBytes(3000, 3));
  zip.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
  zip.SetZipName(Win("junk.zip"));
  try {
    zip.LoadDirectory();
    FAIL();
  } catch (const ENotAZipFile& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_EQ(zip.ZipName(), "");  // cleared with the archive

  zip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  zip.SetZipName(Win("junk.zip"));
  EXPECT_THROW(zip.LoadDirectory(), EBadZipFile);

  // With local headers present the scan rebuilds the directory.
  std::string no_end = BuildZip({Stored("x/one.txt", "1"), Stored("two.txt", "22")}, {});
  no_end.resize(no_end.size() - 22);
  Put(Win("noend.zip"), no_end);
  zip.SetZipName(Win("noend.zip"));
  zip.LoadDirectory();
  EXPECT_TRUE(zip.ScanMode());
  EXPECT_EQ(Paths(), (std::vector<std::string>{"x\\one.txt", "two.txt"}));
  // Merged from the central directory that follows the two local entries.
  EXPECT_EQ(zip.Entry(1).CentralHeaderOffset, (40u + 39u) + 46u + 9u);
}

TEST_F(DirectoryTest, OnInCompleteZipChoosesTheMode) {
  Put(Win("junk.zip"), RandomBytes(100, 4));
  int calls = 0;
  zip.OnInCompleteZip = [&](TIncompleteZipMode& mode) {
    ++calls;
    mode = TIncompleteZipMode::izAssumeNotAZip;
  };
  zip.SetZipName(Win("junk.zip"));
  EXPECT_THROW(zip.LoadDirectory(), ENotAZipFile);
  EXPECT_EQ(calls, 1);
}

TEST_F(DirectoryTest, OnInCompleteZipRetriesOnlyWhileTheFileChanges) {
  std::string whole = BuildZip({Stored("a.txt", "alpha")});
  Put(Win("part.zip"), whole.substr(0, whole.size() - 30));
  int calls = 0, refused = 0;
  zip.OnInCompleteZip = [&](TIncompleteZipMode&) {
    ++calls;
    // The reader holds the archive deny-write meanwhile: the missing end
    // cannot be written into it in place.
    auto& files = *platform::Sys().files;
    if (files.OpenFile(Win("part.zip"), platform::OpenMode::kCreateAlways) == nullptr &&
        files.GetLastError() == platform::ERROR_SHARING_VIOLATION) {
      ++refused;
    }
  };
  zip.SetZipName(Win("part.zip"));
  zip.LoadDirectory();
  EXPECT_LE(calls, 2);
  EXPECT_EQ(refused, calls);
  EXPECT_EQ(zip.EntryCount(), 0);
  // Completed once the reader has let go, it reads at the next attempt.
  Put(Win("part.zip"), whole);
  zip.LoadDirectory();
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a.txt"}));

  // A handler that changes nothing does not keep the reader looping.
  TZipArchive other;
  Put(Win("cut.zip"), whole.substr(0, whole.size() - 30));
  int other_calls = 0;
  other.OnInCompleteZip = [&](TIncompleteZipMode&) { ++other_calls; };
  other.SetZipName(Win("cut.zip"));
  EXPECT_NO_THROW(other.LoadDirectory());
  EXPECT_LE(other_calls, 2);
  EXPECT_EQ(other.EntryCount(), 0);
}

TEST_F(DirectoryTest, UnreadableCentralHeaderFallsBackToTheScan) {
  std::vector<BuildEntry> entries = {Stored("a.txt", "alpha"), Stored("b.txt", "beta")};
  BuildOptions options;
  options.central_offset = 3;  // inside the first local header
  Put(Win("badcentral.zip"), BuildZip(entries, options));
  Load(Win("badcentral.zip"));
  EXPECT_TRUE(zip.ScanMode());
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a.txt", "b.txt"}));

  // Nothing to scan either: a bad archive, and the name is forgotten.
  std::string bogus = BuildZip({}, {});
  bogus[bogus.size() - 12] = 1;  // one entry, but there is no central header
  Put(Win("bogus.zip"), std::string(100, 'z') + bogus);
  zip.SetZipName(Win("bogus.zip"));
  try {
    zip.LoadDirectory();
    FAIL();
  } catch (const EBadZipFile& e) {
    EXPECT_STREQ(e.what(), "Not a valid zip file!");
  }
  EXPECT_EQ(zip.ZipName(), "");
  EXPECT_EQ(zip.EntryCount(), 0);
}

TEST_F(DirectoryTest, DuplicateCentralEntriesAreRecoveredFromLocalHeaders) {
  // The central directory names the first entry twice.
  std::vector<BuildEntry> entries = {Stored("a.txt", "alpha"), Stored("b.txt", "beta")};
  BuildOptions options;
  options.central_order = {0, 0, 1};
  options.total_entries = 3;
  Put(Win("dup.zip"), BuildZip(entries, options));
  Load(Win("dup.zip"));
  EXPECT_TRUE(zip.ScanMode());
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a.txt", "b.txt"}));

  TSortedZip list;
  auto make = [](uint16_t disk, uint32_t offset) {
    auto e = std::make_unique<TZipHeaderInfo>();
    e->DiskNumberStart = disk;
    e->LocalHeaderOffset = offset;
    return e;
  };
  EXPECT_EQ(list.Insert(make(0, 500)), 0);
  EXPECT_EQ(list.Insert(make(1, 10)), 1);
  EXPECT_EQ(list.Insert(make(0, 20)), 0);
  try {
    list.Insert(make(0, 500));
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Duplicate Object index");
  }
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Find(1, 10), 2);
  EXPECT_EQ(list.Find(1, 11), -1);
}

TEST_F(DirectoryTest, ScanOfAnExeStartsAt14000) {
  // Local headers before byte 14,000 of an ".EXE" are not looked at.
  std::string body = BuildZip({Stored("early.txt", "e")}, {});
  body.resize(body.size() - 22 - 46 - 9);  // local entry only
  std::string later = BuildZip({Stored("late.txt", "l")}, {});
  later.resize(later.size() - 22 - 46 - 8);
  std::string file = body + std::string(15000 - body.size(), ' ') + later;
  zip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  Put(Win("SETUP.EXE"), file);
  Load(Win("SETUP.EXE"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"late.txt"}));
  EXPECT_EQ(zip.Entry(0).LocalHeaderOffset, 15000u);

  Put(Win("setup.bin"), file);
  Load(Win("setup.bin"));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"early.txt", "late.txt"})) << "searches on past the gap";
  EXPECT_EQ(zip.DirectorySoundness().DamagedPlaces, 1);
}

TEST_F(DirectoryTest, CompanionFileHoldsTheCentralDirectory) {
  std::vector<BuildEntry> entries = {Stored("a.txt", "alpha"), Stored("b.txt", "beta")};
  std::string whole = BuildZip(entries);
  size_t locals = LocalOffsets(entries, 0).back() + 30 + 5 + 4;
  Put(Win("split.zip"), whole.substr(0, locals));
  // The companion: the central directory from its first byte, then an end
  // record (its offset field is not used).
  Put(Win("split.zfc"), whole.substr(locals));
  Load(Win("split.zip"));
  EXPECT_FALSE(zip.ScanMode());
  EXPECT_EQ(Paths(), (std::vector<std::string>{"a.txt", "b.txt"}));
  zip.SetDestDir(Win("out"));
  zip.FilesList = {"*"};
  EXPECT_EQ(zip.ExtractSelected(), 2);
  EXPECT_EQ(Get(Win("out\\b.txt")), "beta");
}

TEST_F(DirectoryTest, NamesAreSplitAndOemNamesConverted) {
  Load(PutTestData("odd/folders.zip"));
  ASSERT_GE(zip.EntryCount(), 6);
  EXPECT_EQ(zip.Entry(0).Directory, "Awards\\");
  EXPECT_EQ(zip.Entry(0).FileName, "");
  EXPECT_EQ(zip.Entry(1).Directory, "Awards\\");
  EXPECT_EQ(zip.Entry(1).FileName, "readme.txt");
  EXPECT_EQ(zip.Entry(1).FileNameLength, 17);

  Load(PutTestData("odd/names.zip"));
  ASSERT_EQ(zip.EntryCount(), 3);
  // Made on MS-DOS: code page 437 "Gr\x81\xe1e.txt" is "Grüße.txt" in ANSI.
  EXPECT_EQ(zip.Entry(0).FileName, platform::Sys().system->OemToAnsi("Gr\x81\xe1" "e.txt"));
#ifndef _WIN32
  EXPECT_EQ(zip.Entry(0).FileName, "Gr\xfc\xdf" "e.txt");
#endif
  // Made on Unix: taken as it stands.
  EXPECT_EQ(zip.Entry(2).FileName, "M\xc3\xbc" "nchen.txt");

  std::string d, f;
  SplitStoredName("C:x/y.txt", d, f);
  EXPECT_EQ(d, "C:x\\");
  EXPECT_EQ(f, "y.txt");
  SplitStoredName("C:y.txt", d, f);
  EXPECT_EQ(d, "C:");
  EXPECT_EQ(f, "y.txt");
}

TEST_F(DirectoryTest, DatesAreNormalised) {
  const uint32_t valid = 0x58216000;  // 2024-01-01 12:00:00
  EXPECT_EQ(NormalizeDosDateTime(valid), valid);
  EXPECT_EQ(NormalizeDosDateTime(0x0021BF7D), 0x0021BF7Du) << "1980-01-01 23:59:58 kept bit for bit";
  // 62 seconds (field 31) becomes 59 (field 29).
  EXPECT_EQ(NormalizeDosDateTime((valid & ~0x1Fu) | 31), (valid & ~0x1Fu) | 29);
  // Year 2104 (field 124) becomes 2099 (field 119).
  uint32_t y2104 = (valid & 0x01FFFFFFu) | (124u << 25);
  EXPECT_EQ(NormalizeDosDateTime(y2104) >> 25, 119u);
  // Hour 31, minute 63, month 0 and 15, day 0.
  EXPECT_EQ((NormalizeDosDateTime(valid | (31u << 11)) >> 11) & 0x1F, 23u);
  EXPECT_EQ((NormalizeDosDateTime(valid | (63u << 5)) >> 5) & 0x3F, 59u);
  EXPECT_EQ((NormalizeDosDateTime(valid & ~(0xFu << 21)) >> 21) & 0xF, 1u);
  EXPECT_EQ((NormalizeDosDateTime(valid | (0xFu << 21)) >> 21) & 0xF, 12u);
  EXPECT_EQ((NormalizeDosDateTime(valid & ~(0x1Fu << 16)) >> 16) & 0x1F, 1u);
  // 31 February passes.
  uint32_t feb31 = (valid & ~(0x1FFu << 16)) | (31u << 16) | (2u << 21);
  EXPECT_EQ(NormalizeDosDateTime(feb31), feb31);

  BuildEntry odd = Stored("t.txt", "t");
  odd.dos_time = y2104 | 31;
  Put(Win("t.zip"), BuildZip({odd}));
  Load(Win("t.zip"));
  EXPECT_EQ(zip.Entry(0).DosDateTime, NormalizeDosDateTime(y2104 | 31));
}

TEST_F(DirectoryTest, ZipNameRules) {
  Put(Win("a.zip"), BuildZip({Stored("one.txt", "1")}));
  Put(Win("b.zip"), BuildZip({Stored("two.txt", "2"), Stored("three.txt", "3")}));
  Load(Win("a.zip"));
  ASSERT_EQ(zip.EntryCount(), 1);

  // Same name in other case: the directory stays, nothing is re-read.
  zip.SetZipName(Base() + "\\A.ZIP");
  EXPECT_EQ(zip.ZipName(), Win("a.zip"));
  EXPECT_EQ(zip.EntryCount(), 1);

  // Another name: forgotten at once, read at the next LoadDirectory.
  zip.SetZipName(Win("b.zip"));
  EXPECT_EQ(zip.EntryCount(), 0);
  zip.LoadDirectory();
  EXPECT_EQ(zip.EntryCount(), 2);
  EXPECT_FALSE(zip.ArchiveOpen());

  // A changed file time re-reads the directory.
  platform::FileTime before = Time(Win("b.zip"));
  Put(Win("b.zip"), BuildZip({Stored("four.txt", "4")}));
  SetTime(Win("b.zip"), before + 20000000);
  zip.LoadDirectory();
  EXPECT_EQ(Paths(), (std::vector<std::string>{"four.txt"}));

  // Out of range.
  try {
    zip.Entry(1);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Index 1 is out of range");
  }
  EXPECT_THROW(zip.Entry(-1), EListError);
}

TEST_F(DirectoryTest, KeepZipOpenAndMissingFiles) {
  Put(Win("a.zip"), BuildZip({Stored("one.txt", "1")}));
  zip.KeepZipOpen = true;
  Load(Win("a.zip"));
  EXPECT_TRUE(zip.ArchiveOpen());
  zip.KeepZipOpen = false;
  zip.CloseArchive();
  EXPECT_FALSE(zip.ArchiveOpen());

  zip.SetZipName(Win("missing.zip"));
  EXPECT_THROW(zip.LoadDirectory(), EFOpenError);
  EXPECT_EQ(zip.ZipName(), "");
}

TEST_F(DirectoryTest, DialogNamesAskTheHooks) {
  EXPECT_THROW(zip.SetZipName("C:\\?"), EUserCanceled);
  try {
    zip.SetDestDir("?");
    FAIL();
  } catch (const EUserCanceled& e) {
    EXPECT_STREQ(e.what(), "User canceled Set Desination Directory");
  }
  zip.SelectZipFileHook = [&](const std::string& title, const std::string&, const std::string&,
                              std::string& chosen) {
    EXPECT_EQ(title, "Open a Zip File");
    chosen = Win("chosen.zip");
    return true;
  };
  zip.SetZipName("x?");
  EXPECT_EQ(zip.ZipName(), Win("chosen.zip"));
  zip.SetDestDir("C:\\Dest\\");
  EXPECT_EQ(zip.DestDir(), "C:\\Dest");
  zip.SetRootDir("Top");
  EXPECT_EQ(zip.RootDir(), "Top\\");
}

TEST_F(DirectoryTest, ScanOfGarbageNeverReadsOutsideTheFile) {
  // Local headers whose sizes point far beyond the end of the file.
  std::string file = BuildZip({Stored("a.txt", "alpha")}, {});
  file.resize(file.size() - 22 - 46 - 5);
  file[18] = '\xff';
  file[19] = '\xff';
  file[20] = '\xff';
  file[21] = '\x7f';
  Put(Win("huge.zip"), file);
  zip.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
  Load(Win("huge.zip"));
  ASSERT_EQ(zip.EntryCount(), 1);
  zip.SetDestDir(Win("out"));
  zip.FilesList = {"*"};
  EXPECT_THROW(zip.ExtractSelected(), EFatalUnzipError);
}

}  // namespace
}  // namespace qr5::archive::test
