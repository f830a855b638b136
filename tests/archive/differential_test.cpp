// qr5pack and the reader against Info-ZIP and Python's zipfile: trees made
// with a fixed seed are zipped by each writer (with and without a stub in
// front), extracted by qr5pack and by unzip, and compared byte for byte with
// the original.
#ifdef QR5PACK

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "archive/zip_builder.h"

namespace qr5::archive::test {
namespace {

namespace fs = std::filesystem;

// Every file (with its bytes) and folder below root, by relative path.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::string name = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) {
      tree[name + "/"] = "";
    } else {
      std::ifstream in(item.path(), std::ios::binary);
      tree[name] = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
  }
  return tree;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Text, binary and empty files in nested folders, some names with spaces.
void MakeTree(const fs::path& root, uint32_t seed) {
  std::mt19937 rng(seed);
  static const char* const kWords[] = {"log", "band", "QSO", "call", "sign", "award", "grid", "the",
                                       "and", "of",  "73",  "CQ",   "DX",   "QTH",   "rig",  "antenna"};
  static const char* const kFolders[] = {"", "Awards/", "Awards/Deep/", "My Docs/", "BDE/", "a b/c d/"};
  fs::create_directories(root / "Empty Folder");
  for (int i = 0; i < 40; ++i) {
    std::string folder = kFolders[rng() % 6];
    std::string name = folder + (i % 7 == 0 ? "file " : "f") + std::to_string(i);
    std::string bytes;
    switch (rng() % 4) {
      case 0:  // text
        name += ".txt";
        for (size_t n = rng() % 60000; bytes.size() < n;) {
          bytes += kWords[rng() % 16];
          bytes += (rng() % 12 == 0) ? "\r\n" : " ";
        }
        break;
      case 1:  // incompressible
        name += ".bin";
        bytes.resize(rng() % 100000);
        for (char& c : bytes) c = static_cast<char>(rng());
        break;
      case 2:  // empty, some without extension
        if (i % 2) name += ".dat";
        break;
      default:  // long runs
        name += ".dbf";
        bytes.assign(rng() % 200000, static_cast<char>('A' + rng() % 3));
        break;
    }
    WriteFile(root / name, bytes);
  }
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

class DifferentialTest : public ::testing::Test {
 protected:
  fs::path work;
  fs::path source;
  std::map<std::string, std::string> expected;

  void SetUp() override {
    if (Shell("command -v zip >/dev/null && command -v unzip >/dev/null && command -v python3 >/dev/null") != 0) {
      GTEST_SKIP() << "zip, unzip and python3 are needed";
    }
    work = fs::temp_directory_path() / ("qr5_diff_" + std::to_string(std::random_device{}()));
    source = work / "tree";
    MakeTree(source, 20240101);
    expected = Snapshot(source);
    ASSERT_GT(expected.size(), 40u);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(work, ec);
  }

  // Extracts archive with qr5pack and with unzip; both must give the tree.
  void CheckBothReaders(const fs::path& archive, const std::string& label) {
    SCOPED_TRACE(label);
    fs::path ours = work / (label + "-qr5pack");
    EXPECT_EQ(Shell(std::string(QR5PACK) + " extract " + Q(archive) + " " + Q(ours) + " > /dev/null"), 0);
    EXPECT_EQ(Shell(std::string(QR5PACK) + " test " + Q(archive) + " > /dev/null"), 0);
    EXPECT_TRUE(Snapshot(ours) == expected) << "qr5pack extract differs";
    fs::path theirs = work / (label + "-unzip");
    EXPECT_LE(Shell("unzip -qq -o " + Q(archive) + " -d " + Q(theirs) + " 2>/dev/null"), 1);
    EXPECT_TRUE(Snapshot(theirs) == expected) << "unzip differs";
  }
};

TEST_F(DifferentialTest, InfoZipArchivesPlainAndBehindAStub) {
  fs::path zipped = work / "infozip.zip";
  ASSERT_EQ(Shell("cd " + Q(source) + " && zip -q -r -9 " + Q(zipped) + " ."), 0);
  CheckBothReaders(zipped, "infozip");

  // Behind a stub, with the offsets adjusted to count from the stub's start.
  fs::path sfx = work / "infozip-sfx.exe";
  WriteFile(work / "stub.bin", std::string(30000, 'M'));
  ASSERT_EQ(Shell("cat " + Q(work / "stub.bin") + " " + Q(zipped) + " > " + Q(sfx) + " && zip -q -A " + Q(sfx)), 0);
  CheckBothReaders(sfx, "infozip-sfx");
}

TEST_F(DifferentialTest, PythonZipfileArchive) {
  fs::path zipped = work / "python.zip";
  std::string script =
      "import os, sys, zipfile\n"
      "root, out = sys.argv[1], sys.argv[2]\n"
      "with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:\n"
      "    for folder, dirs, files in sorted(os.walk(root)):\n"
      "        dirs.sort()\n"
      "        rel = os.path.relpath(folder, root)\n"
      "        if rel != '.': z.write(folder, rel + '/')\n"
      "        for f in sorted(files): z.write(os.path.join(folder, f), os.path.normpath(os.path.join(rel, f)))\n";
  WriteFile(work / "mk.py", script);
  ASSERT_EQ(Shell("python3 " + Q(work / "mk.py") + " " + Q(source) + " " + Q(zipped)), 0);
  CheckBothReaders(zipped, "python");
}

TEST_F(DifferentialTest, Qr5packArchivesWithAndWithoutAStub) {
  std::string stub(25000, '\0');
  std::mt19937 rng(7);
  for (char& c : stub) c = static_cast<char>(rng());
  WriteFile(work / "stub.exe", "MZ" + stub);
  WriteFile(work / "nothing", "");
  ASSERT_EQ(Shell(std::string(QR5PACK) + " pack " + Q(work / "stub.exe") + " " + Q(source) + " " + Q(work / "setup.exe")), 0);
  ASSERT_EQ(Shell(std::string(QR5PACK) + " pack " + Q(work / "nothing") + " " + Q(source) + " " + Q(work / "plain.zip")), 0);
  CheckBothReaders(work / "setup.exe", "qr5pack-sfx");
  CheckBothReaders(work / "plain.zip", "qr5pack-plain");
  // Info-ZIP finds nothing to complain about in either.
  EXPECT_EQ(Shell("unzip -tqq " + Q(work / "plain.zip")), 0);
  // Large incompressible files were stored, the others deflated.
  EXPECT_EQ(Shell(std::string(QR5PACK) + " list " + Q(work / "plain.zip") +
                " | awk -F'\\t' '$2==0 && $5>1000 && $7 ~ /\\.txt$/ {bad=1} END {exit bad}'"),
            0);
}

// Files of many of the packer's chunks: one that deflates across chunk
// boundaries, an incompressible one that is stored after deflating it did
// not pay, and sizes on and next to a chunk boundary.
TEST_F(DifferentialTest, Qr5packStreamsLargeFiles) {
  fs::path big = work / "big";
  std::mt19937 rng(11);
  std::string mixed;
  while (mixed.size() < 3000000) mixed += "record " + std::to_string(rng() % 1000) + " of the log\r\n";
  for (size_t i = 0; i < 2000000; ++i) mixed += static_cast<char>(rng());
  std::string noise(700000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  WriteFile(big / "mixed.txt", mixed);
  WriteFile(big / "noise.bin", noise);
  WriteFile(big / "chunk.txt", std::string(65536, 'x'));
  WriteFile(big / "chunk1.bin", noise.substr(0, 65537));
  expected = Snapshot(big);
  ASSERT_EQ(Shell(std::string(QR5PACK) + " pack /dev/null " + Q(big) + " " + Q(work / "big.zip")), 0);
  CheckBothReaders(work / "big.zip", "qr5pack-big");
  EXPECT_EQ(Shell("unzip -tqq " + Q(work / "big.zip")), 0);
  // mixed.txt is deflated, the noise stored whole.
  EXPECT_EQ(Shell(std::string(QR5PACK) + " list " + Q(work / "big.zip") +
                " | awk -F'\\t' '$7==\"mixed.txt\" && $2!=8 {bad=1} $7==\"noise.bin\" && ($2!=0 || $4!=700000) {bad=1}"
                " END {exit bad}'"),
            0);
}

TEST_F(DifferentialTest, FlatExtractionAndExitCodes) {
  ASSERT_EQ(Shell(std::string(QR5PACK) + " pack /dev/null " + Q(source) + " " + Q(work / "p.zip")), 0);
  fs::path flat = work / "flat";
  EXPECT_EQ(Shell(std::string(QR5PACK) + " extract " + Q(work / "p.zip") + " " + Q(flat) + " --flat > /dev/null"), 0);
  for (const auto& item : fs::directory_iterator(flat)) EXPECT_FALSE(item.is_directory()) << item.path();
  // A damaged entry: exit 1 and a bad-crc line; not an archive: exit 2.
  std::string bytes = Snapshot(work)["p.zip"];
  size_t at = bytes.find("f1.");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 200] ^= 0x55;
  WriteFile(work / "bad.zip", bytes);
  EXPECT_EQ(Shell(std::string(QR5PACK) + " test " + Q(work / "bad.zip") + " | grep -qE '^(bad-crc|failed)'"), 0);
  EXPECT_EQ(Shell(std::string(QR5PACK) + " test " + Q(work / "bad.zip") + " > /dev/null"), 1);
  WriteFile(work / "none.zip", "not an archive at all");
  EXPECT_EQ(Shell(std::string(QR5PACK) + " list " + Q(work / "none.zip") + " 2>/dev/null"), 2);
  EXPECT_EQ(Shell(std::string(QR5PACK) + " extract " + Q(work / "none.zip") + " " + Q(work / "n") + " 2>/dev/null"), 2);
}

// What a shell command prints and how it exits ("(status) output").
std::string Output(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "(no pipe)";
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = pclose(pipe);
  return "(" + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ") " + output;
}

TEST(Qr5packExitCodes, EveryRefusedEntryIsNamedWithItsReasonAndFailsTestAndExtract) {
  const fs::path work = fs::temp_directory_path() / ("qr5_refused_" + std::to_string(std::random_device{}()));
  fs::create_directories(work);
  // An overlap bomb: the first entry's data run over the second's header.
  std::vector<BuildEntry> bomb = {Stored("first.bin", std::string(10, 'a')), Stored("second.bin", "bb")};
  bomb[0].compressed_size = bomb[0].uncompressed_size = 10 + 30 + 10 + 2;
  WriteFile(work / "bomb.zip", BuildZip(bomb));
  // An end record that counts one entry of the two the directory holds.
  BuildOptions fewer;
  fewer.total_entries = 1;
  WriteFile(work / "hidden.zip", BuildZip({Stored("shown.txt", "s"), Stored("hidden.txt", "h")}, fewer));

  for (const std::string command : {"test", "extract"}) {
    const std::string out = command == "test" ? "" : " " + Q(work / ("out-" + command));
    EXPECT_EQ(Output(std::string(QR5PACK) + " " + command + " " + Q(work / "bomb.zip") + out + " 2>/dev/null"),
              "(1) skipped\tfirst.bin\toverlapping or impossible size\nok\tsecond.bin\n");
    EXPECT_EQ(Output(std::string(QR5PACK) + " " + command + " " + Q(work / "hidden.zip") + out + " 2>/dev/null"),
              "(1) ok\tshown.txt\nrefused\thidden.txt\tbeyond the end record's entry count\n"
              "damaged\tdirectory\tthe end record counts 1 entry, the central directory holds 2 readable records\n");
  }
  fs::remove_all(work);
}

TEST(Qr5packList, OneTabSeparatedLinePerEntryInDirectoryOrder) {
  fs::path out = fs::temp_directory_path() / ("qr5_list_" + std::to_string(std::random_device{}()));
  std::string archive = std::string(QR5_TESTDATA_DIR) + "/zip/odd/folders.zip";
  ASSERT_EQ(Shell(std::string(QR5PACK) + " list '" + archive + "' > '" + out.string() + "'"), 0);
  std::ifstream in(out);
  std::string listing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove(out);
  EXPECT_EQ(listing,
            "0\t0\t0000\t0\t0\t00000000\tAwards\\\n"
            "1\t0\t0002\t56\t56\tce608e9a\tAwards\\readme.txt\n"
            "2\t0\t0000\t0\t0\t00000000\tAwards\\Sub\\\n"
            "3\t8\t0002\t402\t16384\te81722f0\tAwards\\Sub\\allbytes.bin\n"
            "4\t0\t0000\t0\t0\t00000000\tEmpty\\\n"
            "5\t0\t0002\t1\t1\td3d99e8b\tDocs\\one.bin\n");
}

}  // namespace
}  // namespace qr5::archive::test

#endif  // QR5PACK
