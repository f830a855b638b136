// The sample suite that the demo setup carries: the language files hold the
// setup's keys in every language, and everything the install actions name
// is there, under the names the suite program table gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "install/suite_program_table.h"
#include "lang/language_codes.h"
#include "lang/setup_keys.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSuite = fs::path(QR5_SOURCE_DIR) / "payload" / "suite";
const char* const kExtensions[] = {"ENG", "ITA", "SPA", "FIN", "SWE", "FRA"};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The entry of folder whose name equals name without regard to case, as the
// Windows file system finds it; empty when there is none.
fs::path FindNoCase(const fs::path& folder, const std::string& relative) {
  fs::path current = folder;
  std::stringstream parts(relative);
  std::string part;
  while (std::getline(parts, part, '\\')) {
    fs::path found;
    if (!fs::is_directory(current)) return {};
    for (const auto& entry : fs::directory_iterator(current)) {
      if (Upper(entry.path().filename().string()) == Upper(part)) found = entry.path();
    }
    if (found.empty()) return {};
    current = found;
  }
  return current;
}

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// Section and key names as the file spells them; the format checks (CR LF,
// no blanks around "=") are the test's business.
Sections ParseIni(const std::string& bytes) {
  Sections sections;
  std::string section;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      sections[section];
      continue;
    }
    const size_t eq = line.find('=');
    if (eq != std::string::npos) sections[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
  return sections;
}

std::string LanguageFileName(const std::string& ext) {
  return ext == "ENG" ? "language.eng" : "LANGUAGE." + ext;
}

bool HasBareLineFeed(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return true;
  }
  return false;
}

TEST(PayloadSuite, EnglishFileIsStoredInLowerCaseWithTheSetupTexts) {
  ASSERT_TRUE(fs::exists(kSuite / "language.eng"));
  for (const auto& entry : fs::directory_iterator(kSuite)) {
    EXPECT_NE(entry.path().filename().string(), "LANGUAGE.ENG");
  }
  Sections eng = ParseIni(ReadBytes(kSuite / "language.eng"));
  EXPECT_EQ(eng["Setup"]["Language"], "English");
  EXPECT_EQ(eng["Setup"]["002"], "Quorlin Velta");
  EXPECT_EQ(eng["Setup"]["008"], "Safekeep-Restore");
  EXPECT_EQ(eng["Setup"]["018"], "Safekeep/Restore manual");
  EXPECT_EQ(eng["Setup"]["020"], "Language selection");
  EXPECT_EQ(eng["Installer"]["Nobutton"], "No");
  EXPECT_EQ(eng["Installer"].count("NoButton"), 0u);
  EXPECT_EQ(eng["Installer"].count("4_006"), 0u);
  EXPECT_EQ(eng["Installer"]["NextButton"], "&Next >");
  for (const char* key : {"Caption", "YesButton", "Nobutton", "OkButton", "CancelButton",
                          "FinishButton", "NextButton", "ErrorCaption", "1_006", "2_005", "3_003"}) {
    EXPECT_EQ(eng["UnInstaller"].count(key), 1u) << key;
  }
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(eng["Setup"].count("024_00" + std::to_string(i)), 1u);
}

TEST(PayloadSuite, EveryLanguageHoldsTheEnglishKeysAndNamesItsOwnExtension) {
  const Sections eng = ParseIni(ReadBytes(kSuite / "language.eng"));
  int files_with_space_figure = 0;
  for (const std::string ext : kExtensions) {
    SCOPED_TRACE(ext);
    const std::string bytes = ReadBytes(kSuite / LanguageFileName(ext));
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(HasBareLineFeed(bytes));
    Sections file = ParseIni(bytes);
    ASSERT_EQ(file.size(), 3u);
    for (const auto& [section, keys] : eng) {
      std::set<std::string> expected, got;
      for (const auto& kv : keys) expected.insert(kv.first);
      for (const auto& kv : file[section]) {
        if (kv.first != "4_006") got.insert(kv.first);
        EXPECT_FALSE(kv.second.empty()) << section << " " << kv.first;
      }
      EXPECT_EQ(got, expected) << section;
    }
    // The page maps the display name back to this very file.
    EXPECT_EQ(qr5::lang::LangQR5ConvertToExtension(file["Setup"]["Language"]), "." + ext);
    if (file["Installer"].count("4_006")) {
      ++files_with_space_figure;
      const std::string figure = file["Installer"]["4_006"];
      EXPECT_TRUE(!figure.empty() && std::all_of(figure.begin(), figure.end(), ::isdigit) &&
                  std::stoi(figure) > 0)
          << figure;
    }
  }
  EXPECT_EQ(files_with_space_figure, 1);
}

TEST(PayloadSuite, DisplayNamesAreWindowsAnsiText) {
  EXPECT_EQ(ParseIni(ReadBytes(kSuite / "LANGUAGE.SPA"))["Setup"]["Language"], "Espa\xF1ol");
  EXPECT_EQ(ParseIni(ReadBytes(kSuite / "LANGUAGE.FRA"))["Setup"]["Language"],
            "Fran\xE7" "ais");
  // No UTF-8 sequences anywhere in the text files.
  for (const std::string ext : kExtensions) {
    for (const std::string& name : {LanguageFileName(ext), "LICENSE." + ext}) {
      EXPECT_EQ(ReadBytes(kSuite / name).find('\xC3'), std::string::npos) << name;
    }
  }
}

TEST(PayloadSuite, LicensesHaveCrLfLinesAndParagraphsOnOneLine) {
  for (const std::string ext : kExtensions) {
    SCOPED_TRACE(ext);
    const std::string bytes = ReadBytes(kSuite / ("LICENSE." + ext));
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(HasBareLineFeed(bytes));
    EXPECT_NE(bytes.find("\r\n\r\n"), std::string::npos);  // blank lines between paragraphs
    size_t longest = 0, pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find("\r\n", pos);
      if (end == std::string::npos) end = bytes.size();
      longest = std::max(longest, end - pos);
      pos = end + 2;
    }
    EXPECT_GT(longest, 200u);
  }
}

TEST(PayloadSuite, EverySuiteProgramHasItsFilesInEveryLanguage) {
  for (const auto& program : qr5::install::SuiteProgramTable) {
    SCOPED_TRACE(program.executable);
    EXPECT_FALSE(FindNoCase(kSuite, program.executable).empty());
    const fs::path ini = FindNoCase(kSuite, program.language_ini);
    ASSERT_FALSE(ini.empty());
    EXPECT_EQ(ParseIni(ReadBytes(ini)).count("Setup"), 1u);
    for (const std::string ext : kExtensions) {
      const fs::path texts = FindNoCase(kSuite, program.language_prefix + ext);
      ASSERT_FALSE(texts.empty()) << ext;
      // The window caption the program shows in that language.
      EXPECT_FALSE(ParseIni(ReadBytes(texts))["Main"]["Caption"].empty()) << ext;
      EXPECT_FALSE(FindNoCase(kSuite, "DOC\\" + ext + "\\" + program.manual).empty()) << ext;
    }
  }
}

TEST(PayloadSuite, OneLanguageIniIsStoredUnderAMixedCaseName) {
  int mixed = 0;
  for (const auto& program : qr5::install::SuiteProgramTable) {
    const fs::path ini = FindNoCase(kSuite, program.language_ini);
    ASSERT_FALSE(ini.empty());
    const std::string name = ini.filename().string();
    if (name != Upper(name)) ++mixed;
  }
  EXPECT_GE(mixed, 1);
}

TEST(PayloadSuite, FoldersEngineAndUninstallerAreThereButNotTheHelperLibrary) {
  for (const char* folder : {"AWARDS", "BACKUP", "CHECK", "CLUSTER", "DOC", "FILES", "IMAGES", "LOG",
                             "MANAGER", "MAPS", "QSL", "RADIO", "SOUND", "SYSTEM", "BDE"}) {
    const fs::path path = FindNoCase(kSuite, folder);
    ASSERT_FALSE(path.empty()) << folder;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(path)) files += entry.is_regular_file();
    EXPECT_GT(files, 0) << folder;
  }
  EXPECT_FALSE(FindNoCase(kSuite, "BDE\\IDAPI32.DLL").empty());
  EXPECT_FALSE(FindNoCase(kSuite, "BDE\\IDAPI32.CFG").empty());
  bool nested_engine_file = false;
  for (const auto& entry : fs::recursive_directory_iterator(kSuite / "BDE")) {
    nested_engine_file |= entry.is_regular_file() && entry.path().parent_path() != kSuite / "BDE";
  }
  EXPECT_TRUE(nested_engine_file);
  EXPECT_FALSE(FindNoCase(kSuite, "QR5_UNINSTALLER.EXE").empty());
  EXPECT_FALSE(FindNoCase(kSuite, "QUORLIN5.ICO").empty());
  for (const auto& entry : fs::recursive_directory_iterator(kSuite)) {
    EXPECT_NE(Upper(entry.path().filename().string()), "KAVO5.DLL");
  }
}

}  // namespace
