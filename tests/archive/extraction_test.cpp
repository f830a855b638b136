// Extraction runs: selection, destinations, overwrite rules, times and
// attributes, CRC and failure handling, progress arithmetic, and the
// refusal of destinations outside DestDir.
#include <gtest/gtest.h>

#include "archive/extraction_run.h"
#include "archive/lfn_file_stream.h"
#include "archive/path_utils.h"
#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "archive_env.h"
#include "zip_builder.h"

namespace qr5::archive::test {
namespace {

using platform::FILE_ATTRIBUTE_READONLY;

struct Skip {
  int reason;
  std::string name;
  int index;
};

class ExtractionTest : public ArchiveTest {
 protected:
  TZipArchive zip;
  std::vector<int> total_reports, file_reports;
  std::vector<Skip> skips;
  std::vector<std::string> started;
  std::vector<std::pair<std::string, std::string>> boxes;
  int complete_count = -1;

  void SetUp() override {
    ArchiveTest::SetUp();
    zip.OnTotalPercentDone = [this](int p) { total_reports.push_back(p); };
    zip.OnFilePercentDone = [this](int p) { file_reports.push_back(p); };
    zip.OnSkippingFile = [this](int reason, const std::string& name, int index, bool&) {
      skips.push_back({reason, name, index});
    };
    zip.OnStartUnZip = [this](int, std::string& name, bool&) { started.push_back(name); };
    zip.OnUnZipComplete = [this](int n) { complete_count = n; };
    zip.MessageBoxHook = [this](const std::string& text, const std::string& caption, unsigned) {
      boxes.emplace_back(text, caption);
      return platform::IDOK;
    };
  }

  // Writes the archive and prepares a run into Win("out").
  void Open(const std::vector<BuildEntry>& entries, const BuildOptions& options = {}) {
    Put(Win("pay.zip"), BuildZip(entries, options));
    zip.SetZipName(Win("pay.zip"));
    zip.LoadDirectory();
    zip.SetDestDir(Win("out"));
  }
  int Run(std::vector<std::string> patterns) {
    zip.FilesList = std::move(patterns);
    return zip.ExtractSelected();
  }
};

TEST_F(ExtractionTest, StoredEntryOf70000BytesIsWrittenInThreeBlocks) {
  std::string content = RandomBytes(70000, 7);
  Open({Stored("big.bin", content)});
  int refills = 0;
  zip.ProcessMessagesHook = [&] { ++refills; };
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("out\\big.bin")), content);
  // 32,768 / 70,000 = 46.8 %, 65,536 / 70,000 = 93.6 %, then all.
  EXPECT_EQ(total_reports, (std::vector<int>{47, 94, 100}));
  EXPECT_EQ(file_reports, (std::vector<int>{47, 94, 100}));
  EXPECT_EQ(refills, 3) << "messages are let through at every refill";
  EXPECT_EQ(zip.BytesDone(), 70000);

  zip.DoProcessMessages = false;
  refills = 0;
  Run({"*"});
  EXPECT_EQ(refills, 0);
}

TEST_F(ExtractionTest, PercentagesRoundHalvesToEvenAndStopAt100) {
  EXPECT_EQ(PercentOf(1, 40), 2) << "2.5 gives 2";
  EXPECT_EQ(PercentOf(7, 200), 4) << "3.5 gives 4";
  EXPECT_EQ(PercentOf(1, 8), 12) << "12.5 gives 12";
  EXPECT_EQ(PercentOf(3, 8), 38) << "37.5 gives 38";
  EXPECT_EQ(PercentOf(1, 3), 33);
  EXPECT_EQ(PercentOf(2, 3), 67);
  EXPECT_EQ(PercentOf(5, 0), 0);
  EXPECT_EQ(PercentOf(5, -3), 0);
  EXPECT_EQ(PercentOf(9, 4), 100);
  EXPECT_EQ(PercentOf(uint64_t{1} << 40, (int64_t{1} << 41) + 1), 50);
}

TEST_F(ExtractionTest, ZeroByteEntryIsCreatedAndCountedWithoutReports) {
  BuildEntry empty = Stored("empty.txt", "");
  empty.external = 0x21;
  Open({empty});
  EXPECT_EQ(Run({"*.*"}), 1);
  EXPECT_EQ(Get(Win("out\\empty.txt")), "");
  EXPECT_TRUE(total_reports.empty());
  EXPECT_TRUE(file_reports.empty());
  EXPECT_EQ(Time(Win("out\\empty.txt")), DosDateTimeToFileTime(empty.dos_time));
  EXPECT_NE(Attributes(Win("out\\empty.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(ExtractionTest, LanguageRunTakesOnlyRootLanguageAndLicenseFiles) {
  Open({Stored("language.eng", "L-eng"), Stored("LICENSE.ENG", "Lic"), Stored("dornaxlanguage.eng", "no"),
        Stored("Lang/language.deu", "no"), Stored("Awards/iota.dbf", "no"), Stored("README", "no")});
  zip.RecreateDirs = false;
  EXPECT_EQ(Run({"LANGUAGE.*", "LICENSE.*"}), 2);
  EXPECT_EQ(Get(Win("out\\language.eng")), "L-eng");
  EXPECT_EQ(Get(Win("out\\LICENSE.ENG")), "Lic");
  EXPECT_EQ(started, (std::vector<std::string>{Win("out\\language.eng"), Win("out\\LICENSE.ENG")}));
  EXPECT_FALSE(Exists(Win("out\\dornaxlanguage.eng")));
  EXPECT_FALSE(Exists(Win("out\\language.deu")));
  EXPECT_TRUE(zip.FilesList.empty());
  EXPECT_EQ(complete_count, 2);
  EXPECT_EQ(total_reports.back(), 100);
}

TEST_F(ExtractionTest, StoredFoldersAreRecreatedOnlyWhenAsked) {
  Open({Stored("Awards/iota.dbf", "iota"), Stored("Awards/Deep/x.dbf", "x"), Stored("top.txt", "t")});
  zip.RecreateDirs = true;
  EXPECT_EQ(Run({"AWARDS\\*.*"}), 2);
  EXPECT_EQ(Get(Win("out\\Awards\\iota.dbf")), "iota");
  EXPECT_EQ(Get(Win("out\\Awards\\Deep\\x.dbf")), "x");
  EXPECT_FALSE(Exists(Win("out\\top.txt")));

  zip.RecreateDirs = false;
  zip.SetDestDir(Win("flat"));
  EXPECT_EQ(Run({"AWARDS\\*.*"}), 2);
  EXPECT_EQ(Get(Win("flat\\iota.dbf")), "iota");
  EXPECT_EQ(Get(Win("flat\\x.dbf")), "x");
}

TEST_F(ExtractionTest, RootDirIsDroppedFromStoredFolders) {
  Open({Stored("Top/sub/a.txt", "a"), Stored("Other/b.txt", "b")});
  zip.RecreateDirs = true;
  zip.SetRootDir("TOP");
  EXPECT_EQ(Run({"*"}), 2);
  EXPECT_EQ(Get(Win("out\\sub\\a.txt")), "a");
  EXPECT_EQ(Get(Win("out\\Other\\b.txt")), "b");
}

TEST_F(ExtractionTest, TwoPatternsSelectAnEntryOnce) {
  Open({Stored("a.txt", "a"), Stored("b.dat", "b")});
  int infos = 0;
  zip.OnStartUnZipInfo = [&](int files, int64_t bytes, bool&) {
    ++infos;
    EXPECT_EQ(files, 1);
    EXPECT_EQ(bytes, 1);
  };
  EXPECT_EQ(Run({"*.txt", "a.*"}), 1);
  EXPECT_EQ(started.size(), 1u);
  EXPECT_EQ(infos, 1);
}

TEST_F(ExtractionTest, NoSelectionReportsNothingAndStopNowEndsEarly) {
  Open({Stored("a.txt", "a")});
  EXPECT_EQ(Run({"*.none"}), 0);
  EXPECT_TRUE(total_reports.empty());
  EXPECT_EQ(complete_count, 0);

  zip.OnStartUnZipInfo = [](int, int64_t, bool& stop) { stop = true; };
  EXPECT_EQ(Run({"*"}), 0);
  EXPECT_FALSE(Exists(Win("out\\a.txt")));
}

TEST_F(ExtractionTest, FolderEntriesCountButAreNoFiles) {
  zip.SetZipName(PutTestData("odd/folders.zip"));
  zip.LoadDirectory();
  zip.SetDestDir(Win("out"));
  zip.RecreateDirs = true;
  int num_files = -1;
  zip.OnStartUnZipInfo = [&](int files, int64_t, bool&) { num_files = files; };
  EXPECT_EQ(Run({"*"}), 6) << "three folders and three files";
  EXPECT_EQ(num_files, 3);
  EXPECT_TRUE(IsFolder(Win("out\\Empty")));
  EXPECT_TRUE(IsFolder(Win("out\\Awards\\Sub")));
  EXPECT_EQ(Get(Win("out\\Docs\\one.bin")), "A");

  zip.RecreateDirs = false;
  zip.SetDestDir(Win("flat"));
  EXPECT_EQ(Run({"*"}), 3);
  EXPECT_FALSE(Exists(Win("flat\\Empty")));
  EXPECT_EQ(Get(Win("flat\\one.bin")), "A");
}

TEST_F(ExtractionTest, DoAllTakesEveryEntry) {
  Open({Stored("a.txt", "a"), Stored("dir/b", "b")});
  zip.DoAll = true;
  zip.RecreateDirs = true;
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(Get(Win("out\\dir\\b")), "b");
}

TEST_F(ExtractionTest, ReadOnlyDestinationIsLeftUnchanged) {
  Open({Stored("ro.txt", "new"), Stored("other.txt", "other")});
  ASSERT_TRUE(platform::Sys().files->CreateDirectory(Win("out")));
  Put(Win("out\\ro.txt"), "old");
  ASSERT_TRUE(platform::Sys().files->SetFileAttributes(Win("out\\ro.txt"), FILE_ATTRIBUTE_READONLY));
  if (platform::Sys().files->OpenFile(Win("out\\ro.txt"), platform::OpenMode::kCreateAlways)) {
    GTEST_SKIP() << "this machine replaces read-only files (Wine run by root)";
  }
  zip.OverwriteMode = TOverwriteMode::Always;
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("out\\ro.txt")), "old");
  EXPECT_EQ(Get(Win("out\\other.txt")), "other");
  ASSERT_EQ(skips.size(), 1u);
  EXPECT_EQ(skips[0].reason, srCreateError);
  EXPECT_EQ(skips[0].name, Win("out\\ro.txt"));
  EXPECT_EQ(total_reports.back(), 100) << "the skipped entry left the totals";

  zip.ReplaceReadOnly = true;
  EXPECT_EQ(Run({"*"}), 2);
  EXPECT_EQ(Get(Win("out\\ro.txt")), "new");
}

TEST_F(ExtractionTest, OverwriteModes) {
  BuildEntry entry = Stored("a.txt", "archive");
  Open({entry});
  ASSERT_TRUE(platform::Sys().files->CreateDirectory(Win("out")));
  auto reset = [&](platform::FileTime time) {
    platform::Sys().files->SetFileAttributes(Win("out\\a.txt"), 0x20);
    Put(Win("out\\a.txt"), "disk");
    SetTime(Win("out\\a.txt"), time);
    skips.clear();
  };
  const platform::FileTime entry_time = DosDateTimeToFileTime(entry.dos_time);
  const platform::FileTime day = 864000000000ull;

  reset(entry_time);
  zip.OverwriteMode = TOverwriteMode::Never;
  EXPECT_EQ(Run({"*"}), 0);
  EXPECT_EQ(Get(Win("out\\a.txt")), "disk");
  ASSERT_EQ(skips.size(), 1u);
  EXPECT_EQ(skips[0].reason, srNoOverwrite);

  // Prompt without a handler: the question box.
  zip.OverwriteMode = TOverwriteMode::Prompt;
  zip.MessageBoxHook = [&](const std::string& text, const std::string& caption, unsigned flags) {
    boxes.emplace_back(text, caption);
    EXPECT_EQ(flags & 0x0F, platform::MB_YESNO);
    return platform::IDNO;
  };
  EXPECT_EQ(Run({"*"}), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "Replace existing file a.txt?");
  EXPECT_EQ(boxes[0].second, "File Exists Alert");
  zip.MessageBoxHook = [](const std::string&, const std::string&, unsigned) { return platform::IDYES; };
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("out\\a.txt")), "archive");

  // Prompt with the event.
  reset(entry_time);
  zip.OnPromptForOverwrite = [](bool& overwrite, int, std::string&) { overwrite = false; };
  EXPECT_EQ(Run({"*"}), 0);
  EXPECT_EQ(Get(Win("out\\a.txt")), "disk");
  zip.OnPromptForOverwrite = [](bool& overwrite, int, std::string&) { overwrite = true; };
  EXPECT_EQ(Run({"*"}), 1);

  // By time: the entry is newer than a file of yesterday, older than one
  // of tomorrow, and neither newer nor older than one of its own time.
  zip.OverwriteMode = TOverwriteMode::ifNewer;
  reset(entry_time - day);
  EXPECT_EQ(Run({"*"}), 1);
  reset(entry_time + day);
  EXPECT_EQ(Run({"*"}), 0);
  reset(entry_time);
  EXPECT_EQ(Run({"*"}), 0);
  zip.OverwriteMode = TOverwriteMode::ifOlder;
  reset(entry_time + day);
  EXPECT_EQ(Run({"*"}), 1);
  reset(entry_time - day);
  EXPECT_EQ(Run({"*"}), 0);
  EXPECT_EQ(Get(Win("out\\a.txt")), "disk");
}

TEST_F(ExtractionTest, TimeComesBeforeTheReadOnlyAttribute) {
  BuildEntry ro = Stored("ro.txt", "r");
  ro.external = 0x21;
  ro.dos_time = 0x4A215C00;  // 2017-01-01 11:32:00
  Open({ro, Stored("plain.txt", "p")});
  EXPECT_EQ(Run({"*"}), 2);
  EXPECT_EQ(Time(Win("out\\ro.txt")), DosDateTimeToFileTime(ro.dos_time));
  EXPECT_EQ(Attributes(Win("out\\ro.txt")) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);

  zip.RetainAttributes = false;
  zip.SetDestDir(Win("out2"));
  Run({"*"});
  EXPECT_EQ(Attributes(Win("out2\\ro.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(ExtractionTest, CrcMismatchDeletesTheFileAndTheRunGoesOn) {
  BuildEntry bad = Stored("bad.txt", "payload");
  bad.crc = 0x12345678;
  bad.external = 0x21;  // read-only does not keep the failed file alive
  Open({bad, Stored("good.txt", "fine")});
  std::vector<std::tuple<uint32_t, uint32_t, int>> bad_crcs;
  zip.OnBadCRC = [&](uint32_t calc, uint32_t stored, int index) { bad_crcs.emplace_back(calc, stored, index); };
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_FALSE(Exists(Win("out\\bad.txt")));
  EXPECT_EQ(Get(Win("out\\good.txt")), "fine");
  ASSERT_EQ(bad_crcs.size(), 1u);
  EXPECT_EQ(std::get<0>(bad_crcs[0]), Crc32Of("payload"));
  EXPECT_EQ(std::get<1>(bad_crcs[0]), 0x12345678u);
  EXPECT_EQ(std::get<2>(bad_crcs[0]), 0);
}

TEST_F(ExtractionTest, OutputLongerThanItsSizeFailsOnlyThatEntry) {
  BuildEntry longer = Stored("long.txt", RandomBytes(40000, 9));
  longer.uncompressed_size = 1000;
  Open({longer, Stored("next.txt", "n")});
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_FALSE(Exists(Win("out\\long.txt")));
  EXPECT_EQ(Get(Win("out\\next.txt")), "n");
}

TEST_F(ExtractionTest, CutShortStoredEntryEndsTheRun) {
  // The entry's data would run past the end of the file. It lies in the
  // archive comment, after the end record, so it overlaps nothing (data
  // that runs over other entries or the directory is refused instead);
  // last.txt, on a later disk number, comes after it in the directory.
  BuildEntry first = Stored("first.txt", "1");
  BuildEntry cut = Stored("cut.bin", RandomBytes(50000, 11));
  cut.compressed_size = 90000;
  cut.uncompressed_size = 90000;
  BuildEntry last = Stored("last.txt", "9");
  last.disk = 1;
  const std::string first_local = LocalEntry(first), last_local = LocalEntry(last);
  std::string central = CentralHeader(first, 0) + CentralHeader(last, static_cast<uint32_t>(first_local.size()));
  const uint32_t cut_at = static_cast<uint32_t>(first_local.size() + last_local.size() + central.size() + 46 + 7 + 22);
  central += CentralHeader(cut, cut_at);
  Put(Win("pay.zip"), first_local + last_local + central +
                          EndRecord(3, static_cast<uint32_t>(central.size()),
                                    static_cast<uint32_t>(first_local.size() + last_local.size()), LocalEntry(cut)));
  zip.SetZipName(Win("pay.zip"));
  zip.LoadDirectory();
  ASSERT_EQ(zip.EntryCount(), 3);
  ASSERT_EQ(zip.Entry(1).FileName, "cut.bin");
  zip.SetDestDir(Win("out"));
  try {
    Run({"*"});
    FAIL() << "no exception";
  } catch (const EFatalUnzipError& e) {
    EXPECT_STREQ(e.what(), "Premature end of file reached");
  }
  EXPECT_EQ(complete_count, 1);
  EXPECT_TRUE(zip.FilesList.empty());
  EXPECT_FALSE(Exists(Win("out\\cut.bin"))) << "nothing of the cut-short file is left";
  EXPECT_FALSE(Exists(Win("out\\~QR0.TMP")));
  EXPECT_EQ(Get(Win("out\\first.txt")), "1");
  EXPECT_FALSE(Exists(Win("out\\last.txt")));
  EXPECT_FALSE(zip.ArchiveOpen());
}

TEST_F(ExtractionTest, CutShortDeflateEntryIsQuiet) {
  RawEntry raw;
  ASSERT_TRUE(FindRaw(TestData("deflate/infozip_deflate.zip"), "english.txt", raw));
  ASSERT_EQ(raw.method, 8);
  // The entry lies after the end record, in the archive comment, and its
  // data is cut in half; the entry after it (on a later disk number) is
  // still extracted.
  BuildEntry english = Packed("english.txt", 8, raw.data.substr(0, raw.data.size() / 2), "");
  english.crc = raw.crc;
  english.compressed_size = raw.data.size();
  english.uncompressed_size = raw.size;
  BuildEntry later = Stored("later.txt", "later");
  later.disk = 1;
  std::string later_local = LocalEntry(later);
  std::string english_local = LocalEntry(english);
  std::string central = CentralHeader(later, 0);
  uint32_t english_at = static_cast<uint32_t>(later_local.size() + central.size() + 46 + 11 + 22);
  central += CentralHeader(english, english_at);
  std::string full = later_local + central +
                     EndRecord(2, static_cast<uint32_t>(central.size()),
                               static_cast<uint32_t>(later_local.size()), english_local);
  Put(Win("pay.zip"), full);
  zip.SetZipName(Win("pay.zip"));
  zip.LoadDirectory();
  ASSERT_EQ(zip.EntryCount(), 2);
  ASSERT_EQ(zip.Entry(0).FileName, "english.txt");
  zip.SetDestDir(Win("out"));
  int bad = 0;
  zip.OnBadCRC = [&](uint32_t, uint32_t, int) { ++bad; };
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(bad, 1);
  EXPECT_FALSE(Exists(Win("out\\english.txt")));
  EXPECT_EQ(Get(Win("out\\later.txt")), "later");
}

TEST_F(ExtractionTest, FullDiskEndsTheRunWhateverTheMethod) {
  std::string other = OtherDriveFolder();
  if (other.empty() || !LimitFreeSpace('C', 50000)) GTEST_SKIP() << "needs a drive with limited space";
  RawEntry raw;
  ASSERT_TRUE(FindRaw(TestData("deflate/infozip_deflate.zip"), "english.txt", raw));
  BuildEntry english = Packed("english.txt", 8, raw.data, "");
  english.crc = raw.crc;
  english.uncompressed_size = raw.size;
  // A deflated entry (the failed write falls inside a block) and a stored
  // one: a full disk is no damaged entry, the run ends.
  for (const BuildEntry& entry : {english, Stored("big.bin", RandomBytes(70000, 3))}) {
    SCOPED_TRACE(entry.name);
    const std::string folder = entry.name + ".out";
    Put(other + "\\" + folder + ".zip", BuildZip({entry, Stored("z.txt", "z")}));
    zip.SetZipName(other + "\\" + folder + ".zip");
    zip.LoadDirectory();
    zip.SetDestDir(Win(folder));
    try {
      Run({"*"});
      ADD_FAILURE() << "no exception";
    } catch (const ECantWriteUCF& e) {
      EXPECT_STREQ(e.what(), "Cant write uncompressed file");
    }
    EXPECT_FALSE(Exists(Win(folder + "\\" + entry.name))) << "the partly written file is not left behind";
    EXPECT_FALSE(Exists(Win(folder + "\\~QR0.TMP")));
    EXPECT_FALSE(Exists(Win(folder + "\\z.txt")));
  }
}

TEST_F(ExtractionTest, UnknownMethodShowsTheBoxAndFailsTheCrc) {
  BuildEntry tokenized = Packed("t.bin", 7, "xyz", "abc");
  BuildEntry future = Packed("f.bin", 99, "", "");  // CRC 0: passes
  Open({tokenized, future});
  EXPECT_EQ(Run({"*"}), 1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], (std::pair<std::string, std::string>{"Unknown Compression Method", "Zip Error"}));
  EXPECT_FALSE(Exists(Win("out\\t.bin")));
  EXPECT_EQ(Get(Win("out\\f.bin")), "");
}

TEST_F(ExtractionTest, WrongPasswordSkipsAndBadPasswordEventRetries) {
  std::string archive = PutTestData("crypt/encrypted.zip");
  zip.SetZipName(archive);
  zip.LoadDirectory();
  zip.SetDestDir(Win("out"));
  zip.Password = "wrong";
  EXPECT_EQ(Run({"one.bin"}), 0);
  ASSERT_EQ(skips.size(), 1u);
  EXPECT_EQ(skips[0].reason, srBadPassword);
  EXPECT_EQ(skips[0].name, "one.bin");
  EXPECT_FALSE(Exists(Win("out\\one.bin")));

  std::vector<std::string> asked;
  zip.OnBadPassword = [&](int, std::string& password) {
    asked.push_back(password);
    password = "secret";
  };
  EXPECT_EQ(Run({"one.bin", "short.txt"}), 2);
  EXPECT_EQ(asked, (std::vector<std::string>{"wrong"})) << "the new password stays for the next entry";
  EXPECT_EQ(Get(Win("out\\one.bin")), "A");
  EXPECT_EQ(Get(Win("out\\short.txt")), "The quick brown fox jumps over the lazy dog. 0123456789\n");
}

// The archive is held open deny-write for the whole run: nobody can change
// it under the reader, everybody can still read it; afterwards it is free.
TEST_F(ExtractionTest, ArchiveIsOpenDenyWriteWhileTheRunLasts) {
  Open({Stored("a.txt", "a"), Stored("b.txt", "b")});
  auto& files = *platform::Sys().files;
  int refused = 0, readable = 0;
  zip.OnStartUnZip = [&](int, std::string&, bool&) {
    if (files.OpenFile(Win("pay.zip"), platform::OpenMode::kReadWrite) == nullptr &&
        files.GetLastError() == platform::ERROR_SHARING_VIOLATION) {
      ++refused;
    }
    if (files.OpenFile(Win("pay.zip"), platform::OpenMode::kRead) != nullptr) ++readable;
  };
  EXPECT_EQ(Run({"*"}), 2);
  EXPECT_EQ(refused, 2);
  EXPECT_EQ(readable, 2);
  EXPECT_NE(files.OpenFile(Win("pay.zip"), platform::OpenMode::kReadWrite), nullptr);

  // An archive someone is writing cannot be opened for the run.
  auto writer = files.OpenFile(Win("pay.zip"), platform::OpenMode::kReadWrite);
  ASSERT_NE(writer, nullptr);
  zip.FilesList = {"*"};
  EXPECT_THROW(zip.ExtractSelected(), EFOpenError);
}

TEST_F(ExtractionTest, DestinationsOutsideDestDirAreRefused) {
  Open({Stored("../up.txt", "x"), Stored("a/../../up2.txt", "x"), Stored("/abs.txt", "x"),
        Stored("C:/Windows/evil.txt", "x"), Stored("D:rel.txt", "x"), Stored(".. /up3.txt", "x"),
        Stored("sub/CON", "x"), Stored("aux.txt", "x"), Stored("a/..", "x"), Stored("../", ""),
        Stored("ok/fine.txt", "fine"), Stored("stream.txt:hidden", "x")});
  zip.RecreateDirs = true;
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("out\\ok\\fine.txt")), "fine");
  EXPECT_EQ(skips.size(), 11u);
  for (const Skip& s : skips) EXPECT_EQ(s.reason, srCreateError) << s.name;
  EXPECT_FALSE(Exists(Win("up.txt")));
  EXPECT_FALSE(Exists(Win("up2.txt")));
  EXPECT_FALSE(Exists("C:\\abs.txt"));
  EXPECT_FALSE(Exists("C:\\Windows\\evil.txt"));
  EXPECT_EQ(started, (std::vector<std::string>{Win("out\\ok\\fine.txt")})) << "never announced";
  EXPECT_EQ(zip.TotalBytes(), 4) << "refused entries leave the totals";

  // Without stored folders only the file name counts, and "../up.txt"
  // lands inside DestDir.
  skips.clear();
  zip.RecreateDirs = false;
  zip.SetDestDir(Win("flat"));
  Run({"*"});
  EXPECT_EQ(Get(Win("flat\\up.txt")), "x");
  EXPECT_EQ(Get(Win("flat\\evil.txt")), "x");
  EXPECT_FALSE(Exists(Win("up.txt")));
}

TEST_F(ExtractionTest, StartUnZipMayRenameOrSkip) {
  Open({Stored("a.txt", "a"), Stored("b.txt", "b")});
  zip.OnStartUnZip = [&](int index, std::string& name, bool& skip) {
    if (index == 0) name = Win("renamed\\z.txt");
    if (index == 1) skip = true;
  };
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("renamed\\z.txt")), "a");
  EXPECT_FALSE(Exists(Win("out\\b.txt")));
  EXPECT_EQ(total_reports.back(), 50) << "a skipped entry stays in the totals";
}

TEST_F(ExtractionTest, DestDirIsCreatedWithItsParents) {
  Open({Stored("a.txt", "a")});
  zip.SetDestDir(Win("deep\\er\\still"));
  EXPECT_EQ(Run({"*"}), 1);
  EXPECT_EQ(Get(Win("deep\\er\\still\\a.txt")), "a");
}

}  // namespace
}  // namespace qr5::archive::test
