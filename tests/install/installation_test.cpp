// Complete installations of the sample suite, driven through the pages as a
// user would: the files, registry records, engine settings, INI files and
// shortcuts they leave on the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "forms/application.h"
#include "app/program_entry.h"
#include "install/engine_settings.h"
#include "install/install_fixture.h"
#include "install/lnk_reader.h"
#include "install/shell_link.h"
#include "install/suite_program_table.h"
#include "install/suite_text.h"
#include "pages/form_step1.h"
#include "pages/form_step2.h"
#include "pages/form_step3.h"
#include "pages/form_step4.h"
#include "pages/form_step5.h"
#include "pages/form_step6.h"

namespace qr5::install {
namespace {

namespace fs = std::filesystem;
using testing::InstallTest;
using testing::kAllUsers;
using testing::kEngineDir;
using testing::ReadHostFile;
using testing::SuiteSourceDir;

const std::string kGroup = std::string(kAllUsers) + "\\Start Menu\\Programs\\Quorlin 5";

// Records what the progress page shows while it is on screen.
class RecordingFrontEnd : public qr5::testing::ScriptedFrontEnd {
 public:
  std::vector<int> positions;
  std::vector<std::string> files;
  void FormChanged(forms::Form& form) override {
    if (form.class_name != "TFormStep5") return;
    const int position = form.Get("SCProgress1").position;
    if (positions.empty() || positions.back() != position) positions.push_back(position);
    const std::string& label = form.Get("Label2").text;
    if (files.empty() || files.back() != label) files.push_back(label);
  }
};

// The text without its LanguageFile lines and blank lines, for comparing
// INI files (the profile writer saves them anew without blank lines, as
// Wine does).
std::string WithoutLanguageFile(const std::string& text) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.empty() || line == "\r") continue;
    std::string lower = line;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower.rfind("languagefile", 0) == 0) continue;
    out += line + "\n";
  }
  return out;
}

bool IsTableIni(const std::string& relative) {
  for (const auto& row : SuiteProgramTable) {
    if (strcasecmp(row.language_ini, relative.c_str()) == 0) return true;
  }
  return false;
}

struct Language {
  std::string name;  // as listed on the language page
  std::string ext;   // "ENG"
  std::vector<std::string> programs;  // link names of the nine programs
  std::string manuals;                // the manuals folder
  std::vector<std::string> manual_links;
};

const Language kEnglish{
    "English",
    "ENG",
    {"Dornax Converter.lnk", "Heraldo.lnk", "Print Medras.lnk", "Printer Feld.lnk", "Quorlin 5.lnk",
     "Quorlin Velta.lnk", "Safekeep-Restore.lnk", "Sundries.lnk", "Tovin Wizard.lnk"},
    "Manuals",
    {"Dornax Converter manual.lnk", "Heraldo manual.lnk", "Print Medras manual.lnk", "Printer Feld manual.lnk",
     "Quorlin 5 Velta manual.lnk", "Quorlin 5 manual.lnk", "Safekeep-Restore manual.lnk", "Sundries manual.lnk",
     "Tovin Wizard manual.lnk"},
};

const Language kFrench{
    "Fran\xE7" "ais",
    "FRA",
    kEnglish.programs,
    "Manuels",
    {"Manuel de Dornax Converter.lnk", "Manuel de Heraldo.lnk", "Manuel de Print Medras.lnk",
     "Manuel de Printer Feld.lnk", "Manuel de Quorlin 5 Velta.lnk", "Manuel de Quorlin 5.lnk",
     "Manuel de Safekeep-Restore.lnk", "Manuel de Sundries.lnk", "Manuel de Tovin Wizard.lnk"},
};

class InstallationTest : public InstallTest {
 protected:
  // Runs the setup as a new process: picks the language, goes through the
  // welcome, license and destination pages and presses Finish.
  // at_destination runs while the destination page is shown.
  void RunSetup(const Language& language, const std::function<void()>& at_destination = {},
                bool reaches_finish = true) {
    Reopen();
    fe_ = RecordingFrontEnd();
    fe_.steps.push_back([&language] {
      pages::TFormStep1& page = *pages::FormStep1;
      ASSERT_TRUE(page.IsModal());
      const auto& items = page.LangCombo.items;
      const auto it = std::find(items.begin(), items.end(), language.name);
      ASSERT_NE(it, items.end()) << language.name << " is not offered";
      page.SelectItem("LangCombo", static_cast<int>(it - items.begin()));
      page.Click("OKButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep2->IsModal());
      pages::FormStep2->Click("NextButton");
    });
    fe_.steps.push_back([] {
      ASSERT_TRUE(pages::FormStep3->IsModal());
      pages::FormStep3->Click("RBAccept");
      pages::FormStep3->Click("NextButton");
    });
    fe_.steps.push_back([at_destination] {
      ASSERT_TRUE(pages::FormStep4->IsModal());
      if (at_destination) at_destination();
      pages::FormStep4->Click("NextButton");
    });
    fe_.steps.push_back([this] {
      ASSERT_TRUE(pages::FormStep6->IsModal());
      progress_position_ = pages::FormStep5->Get("SCProgress1").position;
      pages::FormStep6->Click("FinishButton");
    });
    app::RunProgram(fe_);
    EXPECT_EQ(fe_.steps.size(), reaches_finish ? 0u : 1u) << "pages shown other than expected";
  }

  std::vector<std::string> Links(const std::string& folder) {
    std::vector<std::string> names = List(folder);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n.size() < 4 || n.substr(n.size() - 4) != ".lnk"; }),
                names.end());
    return names;
  }

  // The group of one language: nine program shortcuts and nine manual
  // shortcuts, each pointing where its row says, read from the .lnk files.
  void ExpectGroup(const Language& language) {
    EXPECT_EQ(Links(kGroup), language.programs);
    EXPECT_EQ(List(kGroup + "\\" + language.manuals), language.manual_links);
    for (size_t row = 0; row < SuiteProgramTable.size(); ++row) {
      const SuiteProgram& program = SuiteProgramTable[row];
      const std::string caption = LinkFileName(SuiteText(program.icon_key));
      const auto link = qr5::test::ReadShellLink(Host(kGroup + "\\" + caption + ".lnk"));
      ASSERT_TRUE(link) << caption;
      EXPECT_EQ(link->target, std::string("C:\\QR5\\") + program.executable);
      EXPECT_EQ(link->working_directory, "C:\\QR5\\");

      const std::string manual = LinkFileName(SuiteText(program.manual_key));
      const auto manual_link = qr5::test::ReadShellLink(Host(kGroup + "\\" + language.manuals + "\\" + manual + ".lnk"));
      ASSERT_TRUE(manual_link) << manual;
      EXPECT_EQ(manual_link->target, "C:\\QR5\\DOC\\" + language.ext + "\\" + program.manual);
      EXPECT_EQ(manual_link->working_directory, "C:\\QR5\\DOC\\" + language.ext + "\\");
      EXPECT_TRUE(FileExists(manual_link->target)) << manual_link->target;
    }
  }

  // Each suite INI names the language file of the language; nothing else
  // in it has changed.
  void ExpectIniFiles(const std::string& ext) {
    for (const SuiteProgram& program : SuiteProgramTable) {
      const std::string path = std::string("C:\\QR5\\") + program.language_ini;
      ASSERT_TRUE(FileExists(path)) << path;
      EXPECT_EQ(platform::Sys().profile->GetString(path, "Setup", "LanguageFile", "(none)"),
                std::string(program.language_prefix) + ext)
          << path;
    }
  }

  RecordingFrontEnd fe_;
  int progress_position_ = -1;
};

TEST_F(InstallationTest, CompleteEnglishInstallation) {
  RunSetup(kEnglish);
  EXPECT_TRUE(fe_.boxes.empty()) << fe_.boxes.front().text;

  // Every payload entry with a dot in its path, at its stored path.
  int suite_files = 0;
  uint64_t suite_bytes = 0;  // what the payload holds, the built uninstaller in place of its stand-in
  // The built uninstaller as the payload carries it, without its symbols.
  const std::string built_uninstaller = std::string(QR5_BINARY_DIR) + "/payload/packed/QR5_UNINSTALLER.EXE";
  for (const auto& entry : fs::recursive_directory_iterator(SuiteSourceDir())) {
    if (!entry.is_regular_file()) continue;
    std::string relative = fs::relative(entry.path(), SuiteSourceDir()).string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    suite_bytes += fs::file_size(relative == "QR5_UNINSTALLER.EXE" ? fs::path(built_uninstaller) : entry.path());
    if (relative.find('.') == std::string::npos) continue;
    const std::string installed = "C:\\QR5\\" + relative;
    ASSERT_TRUE(FileExists(installed)) << installed;
    ++suite_files;
    const std::string original = ReadHostFile(entry.path().string());
    if (relative == "QR5_UNINSTALLER.EXE") {
      // The payload carries the built uninstaller in place of the suite's stand-in.
      EXPECT_EQ(ReadFile(installed), ReadHostFile(built_uninstaller));
    } else if (IsTableIni(relative)) {
      EXPECT_EQ(WithoutLanguageFile(ReadFile(installed)), WithoutLanguageFile(original)) << installed;
    } else {
      EXPECT_EQ(ReadFile(installed), original) << installed;
    }
  }
  EXPECT_GT(suite_files, 100);
  EXPECT_EQ(fs::path(Host("C:\\QR5\\language.eng")).filename(), "language.eng");
  EXPECT_TRUE(DirExists("C:\\QR5\\AWARDS"));

  // The engine's files flat in its folder, also those stored deeper.
  EXPECT_EQ(List(kEngineDir), (std::vector<std::string>{"ASCII.LD", "BDEADMIN.EXE", "BLW32.DLL", "IDAPI32.CFG",
                                                         "IDAPI32.DLL", "IDDBAS32.DLL", "IDPDX32.DLL",
                                                         "IDR20009.DLL"}));
  EXPECT_EQ(ReadFile(std::string(kEngineDir) + "\\ASCII.LD"), ReadHostFile(SuiteSourceDir() + "/BDE/LANGDRV/ASCII.LD"));

  // The helper library from beside the setup.
  EXPECT_EQ(ReadFile("C:\\QR5\\KAVO5.DLL"), ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/KAVO5.DLL"));

  // Registry: the per-user record, the uninstall entry, the forty engine values.
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "English");
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"), "C:\\QR5");
  const std::string entry = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5";
  EXPECT_EQ(RegValueNames(entry),
            (std::vector<std::string>{"Publisher", "URLInfoAbout", "HelpLink", "UninstallString", "DisplayIcon",
                                      "DisplayName", "DisplayVersion", "EstimatedSize", "InstallLocation",
                                      "NoModify", "NoRepair", "QuietUninstallString"}));
  EXPECT_EQ(RegText(entry, "InstallLocation"), "C:\\QR5");
  // The payload's sizes in KB, rounded up: every file it installs counts.
  EXPECT_EQ(RegDword(entry, "EstimatedSize"), (suite_bytes + 1023) / 1024);
  EXPECT_EQ(RegText(entry, "UninstallString"), "C:\\QR5\\QR5_UNINSTALLER.EXE");
  EXPECT_EQ(RegText(entry, "DisplayIcon"), "C:\\QR5\\QUORLIN5.ICO");
  EXPECT_EQ(RegText(entry, "QuietUninstallString"), "C:\\QR5\\QR5_UNINSTALLER.EXE /VERYSILENT");
  EXPECT_TRUE(FileExists("C:\\QR5\\QR5_UNINSTALLER.EXE"));
  std::set<std::string> engine_keys;
  for (const EngineSetting& s : EngineSettings(kEngineDir)) {
    const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine" +
                            (s.sub_key.empty() ? "" : "\\" + s.sub_key);
    EXPECT_EQ(RegText(key, s.name), s.data) << key << " " << s.name;
    engine_keys.insert(key);
  }
  // Forty values and nothing else in the keys they went to.
  size_t engine_values = 0;
  for (const std::string& key : engine_keys) engine_values += RegValueNames(key).size();
  EXPECT_EQ(engine_values, 40u);
  EXPECT_EQ(RegText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine", "DLLPATH"), kEngineDir);

  ExpectIniFiles("ENG");
  ExpectGroup(kEnglish);

  // The finish page's desktop icon and startup entry.
  const auto desktop = qr5::test::ReadShellLink(Host(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk"));
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->target, "C:\\QR5\\QR5.EXE");
  const auto startup =
      qr5::test::ReadShellLink(Host(std::string(kAllUsers) + "\\Start Menu\\Programs\\Startup\\Heraldo.lnk"));
  ASSERT_TRUE(startup);
  EXPECT_EQ(startup->target, "C:\\QR5\\HERALDO.EXE");

  // The bar ran to 100 in the suite pass, went back to 0 and ran to 100
  // again in the engine pass; the label named the files being written.
  const auto first_full = std::find(fe_.positions.begin(), fe_.positions.end(), 100);
  ASSERT_NE(first_full, fe_.positions.end());
  const auto reset = std::find(first_full, fe_.positions.end(), 0);
  ASSERT_NE(reset, fe_.positions.end());
  EXPECT_NE(std::find(reset, fe_.positions.end(), 100), fe_.positions.end());
  EXPECT_EQ(progress_position_, 100);
  EXPECT_NE(std::find(fe_.files.begin(), fe_.files.end(), "C:\\QR5\\AWARDS\\DXCC.DBF"), fe_.files.end());
  EXPECT_NE(std::find(fe_.files.begin(), fe_.files.end(), std::string(kEngineDir) + "\\IDAPI32.DLL"),
            fe_.files.end());
}

TEST_F(InstallationTest, TheEngineGetsItsFortySettingsAsTheProductTableGivesThem) {
  // The table written out by hand, not taken from the code: a wrong value
  // in the code's table must show here.
  const std::string kDir = kEngineDir;
  const std::string kDate = "Settings\\SYSTEM\\FORMATS\\DATE", kNumber = "Settings\\SYSTEM\\FORMATS\\NUMBER",
                    kTime = "Settings\\SYSTEM\\FORMATS\\TIME", kInit = "Settings\\SYSTEM\\INIT";
  struct Row {
    std::string sub_key, name, data;
  };
  const std::vector<Row> rows = {
      {"", "DLLPATH", kDir}, {"", "CONFIGFILE01", kDir + "\\IDAPI32.CFG"}, {"", "RESOURCE", ""},
      {"", "SAVECONFIG", "WIN32"}, {"", "UseCount", "1"},
      {"Settings\\DRIVERS\\DBASE\\TABLE CREATE", "LEVEL", "7"},
      {"Settings\\DRIVERS\\DBASE\\INIT", "VERSION", "4.0"},
      {"Settings\\DRIVERS\\DBASE\\INIT", "TYPE", "FILE"},
      {"Settings\\DRIVERS\\DBASE\\INIT", "LANGDRIVER", "DBWINWE0"},
      {kDate, "SEPARATOR", "/"}, {kDate, "MODE", "1"}, {kDate, "FOURDIGITYEAR", "FALSE"},
      {kDate, "YEARBIASED", "TRUE"}, {kDate, "LEADINGZEROM", "TRUE"}, {kDate, "LEADINGZEROD", "TRUE"},
      {kNumber, "DECIMALSEPARATOR", ","}, {kNumber, "THOUSANDSEPARATOR", "."}, {kNumber, "DECIMALDIGITS", "2"},
      {kNumber, "MILSECONDS", "FALSE"},
      {kTime, "TWELVEHOUR", "FALSE"}, {kTime, "AMSTRING", "AM"}, {kTime, "PMSTRING", "PM"},
      {kTime, "SECONDS", "TRUE"}, {kTime, "MILSECONDS", "FALSE"},
      {kInit, "VERSION", "4.0"}, {kInit, "LOCAL SHARE", "TRUE"}, {kInit, "MINBUFSIZE", "4096"},
      {kInit, "MAXBUFSIZE", "16384"}, {kInit, "LANGDRIVER", "ANSIINTL"}, {kInit, "MAXFILEHANDLES", "255"},
      {kInit, "SYSFLAGS", "0"}, {kInit, "LOW MEMORY USAGE LIMIT", "32"}, {kInit, "AUTO ODBC", "FALSE"},
      {kInit, "DEFAULT DRIVER", "DBASE"}, {kInit, "SQLQRYMODE", ""}, {kInit, "MEMSIZE", "42"},
      {kInit, "SHAREDMEMSIZE", "14080"}, {kInit, "SHAREDMEMLOCATION", ""}, {kInit, "DATA REPOSITORY", ""},
      {kInit, "MTS POOLING", "TRUE"},
  };
  ASSERT_EQ(rows.size(), 40u);
  RunSetup(kEnglish);
  std::map<std::string, std::set<std::string>> names;
  for (const Row& row : rows) {
    const std::string key =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Database Engine" + (row.sub_key.empty() ? "" : "\\" + row.sub_key);
    EXPECT_EQ(RegText(key, row.name), row.data) << key << " " << row.name;  // a REG_SZ string, also when empty
    names[key].insert(row.name);
  }
  for (const auto& [key, expected] : names) {
    const std::vector<std::string> written = RegValueNames(key);
    EXPECT_EQ(std::set<std::string>(written.begin(), written.end()), expected) << key;
  }
}

TEST_F(InstallationTest, FrenchOverEnglishLeavesOneFrenchGroup) {
  RunSetup(kEnglish);
  ASSERT_TRUE(fe_.boxes.empty());
  // An installed file the user made read-only stays as it is.
  WriteFile("C:\\QR5\\AWARDS\\DXCC.DBF", "kept by the user");
  SetReadOnly("C:\\QR5\\AWARDS\\DXCC.DBF");
  WriteFile("C:\\QR5\\MAPS\\WORLD.MAP", "replaced");
  WriteFile(kGroup + "\\Notes.txt", "the user's file in the old group");

  RunSetup(kFrench);
  EXPECT_TRUE(fe_.boxes.empty()) << fe_.boxes.front().text;

  // Only the old shortcuts went: the user's own file stays.
  EXPECT_EQ(List(kGroup), (std::vector<std::string>{"Dornax Converter.lnk", "Heraldo.lnk", "Manuels", "Notes.txt",
                                                    "Print Medras.lnk", "Printer Feld.lnk", "Quorlin 5.lnk",
                                                    "Quorlin Velta.lnk", "Safekeep-Restore.lnk", "Sundries.lnk",
                                                    "Tovin Wizard.lnk"}));
  ExpectGroup(kFrench);
  ExpectIniFiles("FRA");
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "Fran\xE7" "ais");
  EXPECT_EQ(ReadFile("C:\\QR5\\AWARDS\\DXCC.DBF"), "kept by the user");
  EXPECT_EQ(ReadFile("C:\\QR5\\MAPS\\WORLD.MAP"), ReadHostFile(SuiteSourceDir() + "/MAPS/WORLD.MAP"));
}

TEST_F(InstallationTest, ArchiveFailingInTheSuitePassStillRunsTheRemainingActions) {
  // The folder of an earlier attempt is there, and the setup file
  // disappears after the language files were taken from it.
  ASSERT_TRUE(files().CreateDirectory("C:\\QR5"));
  RunSetup(kEnglish, [this] { ASSERT_TRUE(fs::remove(Host(testing::kSetupExe))); }, false);

  // Both passes fail; the user is told once, in the chosen language.
  ASSERT_EQ(fe_.boxes.size(), 1u);
  EXPECT_EQ(fe_.boxes[0].text, "Setup could not install Quorlin 5 completely.\n\n"
                               "The setup file is damaged or incomplete; please download it again.");
  EXPECT_EQ(fe_.boxes[0].caption, "QR5_Installer");
  EXPECT_EQ(fe_.boxes[0].flags, platform::MB_OK);
  // Written before the pass, and the uninstall entry after it.
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Language"), "English");
  EXPECT_EQ(RegText("HKEY_CURRENT_USER\\Quorlin5", "Installation Path"), "C:\\QR5");
  EXPECT_EQ(RegText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorlin 5",
                    "UninstallString"),
            "C:\\QR5\\QR5_UNINSTALLER.EXE");
  EXPECT_FALSE(FileExists("C:\\QR5\\QR5.EXE"));
  // The remaining actions ran: the library, the group (its shortcuts point
  // at files that are not there).
  EXPECT_EQ(ReadFile("C:\\QR5\\KAVO5.DLL"), ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/KAVO5.DLL"));
  EXPECT_EQ(Links(kGroup), kEnglish.programs);
  EXPECT_EQ(List(kGroup + "\\Manuals"), kEnglish.manual_links);
  // The termination request ends the run before the finish page's actions.
  EXPECT_FALSE(FileExists(std::string(kAllUsers) + "\\Desktop\\Quorlin 5.lnk"));
}

}  // namespace
}  // namespace qr5::install
