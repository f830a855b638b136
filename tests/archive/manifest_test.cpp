// Every entry of the shared test archives, extracted by the reader, has the
// SHA-256 its manifest gives: all methods, encryption, data descriptors and
// the structural oddities.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "archive/zip_archive.h"
#include "archive_env.h"
#include "sha256.h"

namespace qr5::archive::test {
namespace {

struct ManifestRow {
  std::string archive, name, sha256, content_file, password;
  uint16_t method = 0;
  uint16_t made_by = 0;
};

std::vector<ManifestRow> ReadManifest() {
  std::vector<ManifestRow> rows;
  std::istringstream in(ArchiveTest::TestData("MANIFEST.tsv"));
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, '\t')) f.push_back(cell);
    f.resize(13);
    ManifestRow row;
    row.archive = f[0];
    // Names are written with \xHH escapes.
    for (size_t i = 0; i < f[1].size(); ++i) {
      if (f[1][i] == '\\' && i + 3 < f[1].size() && f[1][i + 1] == 'x') {
        row.name += static_cast<char>(std::stoi(f[1].substr(i + 2, 2), nullptr, 16));
        i += 3;
      } else {
        row.name += f[1][i];
      }
    }
    row.method = static_cast<uint16_t>(std::stoi(f[2]));
    row.sha256 = f[7];
    row.content_file = f[8];
    row.made_by = static_cast<uint16_t>(std::stoi(f[10], nullptr, 16));
    row.password = f[11];
    rows.push_back(row);
  }
  return rows;
}

class ManifestTest : public ArchiveTest {};

TEST_F(ManifestTest, EveryEntryDecodesToItsSha256) {
  std::vector<ManifestRow> rows = ReadManifest();
  ASSERT_GE(rows.size(), 100u);
  std::map<std::string, std::vector<const ManifestRow*>> by_archive;
  for (const auto& row : rows) by_archive[row.archive].push_back(&row);

  int checked = 0;
  for (const auto& [archive, entries] : by_archive) {
    SCOPED_TRACE(archive);
    TZipArchive zip;
    zip.DoProcessMessages = false;
    zip.OverwriteMode = TOverwriteMode::Always;
    zip.RecreateDirs = true;
    zip.MessageBoxHook = [&](const std::string& text, const std::string& caption, unsigned) {
      ADD_FAILURE() << caption << ": " << text;
      return platform::IDOK;
    };
    zip.Password = entries.front()->password;
    zip.SetZipName(PutTestData(archive, "archive.zip"));
    zip.LoadDirectory();
    ASSERT_EQ(zip.EntryCount(), static_cast<int>(entries.size()));
    std::string out = "x" + std::to_string(checked);
    zip.SetDestDir(Win(out));
    zip.FilesList = {"*"};
    std::map<int, std::string> written;
    zip.OnEndUnZip = [&](int index, const std::string& path) { written[index] = path; };
    EXPECT_EQ(zip.ExtractSelected(), zip.EntryCount());

    // Directory order is the physical order; match rows by name.
    for (int i = 0; i < zip.EntryCount(); ++i) {
      const TZipHeaderInfo& entry = zip.Entry(i);
      // The name as the reader keeps it: MS-DOS names in ANSI, "\" between
      // folders.
      const ManifestRow* row = nullptr;
      for (const ManifestRow* r : entries) {
        std::string kept = (r->made_by >> 8) == 0 ? platform::Sys().system->OemToAnsi(r->name) : r->name;
        for (char& c : kept) {
          if (c == '/') c = '\\';
        }
        if (kept == entry.StoredPath()) row = r;
      }
      ASSERT_NE(row, nullptr) << entry.StoredPath();
      SCOPED_TRACE(row->name);
      EXPECT_EQ(entry.CompressionMethod, row->method);
      if (row->content_file == "(folder)") {
        EXPECT_TRUE(IsFolder(Win(out + "\\" + entry.Directory)));
        continue;
      }
      ASSERT_EQ(written.count(i), 1u);
      EXPECT_EQ(Sha256Hex(Get(written[i])), row->sha256);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 116) << "every file entry of the manifest";
}

}  // namespace
}  // namespace qr5::archive::test
