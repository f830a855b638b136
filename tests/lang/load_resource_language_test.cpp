// The suite texts loaded after the language page, and the key spelling of
// the language files.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "lang/ini_file.h"
#include "lang/setup_keys.h"
#include "lang_machine.h"

namespace qr5::lang::test {
namespace {

class LoadResourceLanguage : public LangMachine {
 protected:
  void SetUp() override {
    LangMachine::SetUp();
    main_form_ = std::make_unique<app::TMainForm>();
  }
  void TearDown() override {
    main_form_.reset();
    LangMachine::TearDown();
  }
  std::map<std::string, std::string>& Texts() { return session::Session().SuiteTexts; }
  std::unique_ptr<app::TMainForm> main_form_;
};

TEST_F(LoadResourceLanguage, EmptyPathGivesEveryDefault) {
  Texts()["001"] = "left from before";
  main_form_->LoadResourceLanguage("");
  ASSERT_EQ(Texts().size(), 19u);
  EXPECT_EQ(Texts()["001"], "Quorlin 5");
  EXPECT_EQ(Texts()["002"], "Quorlin 5 Velta");
  EXPECT_EQ(Texts()["008"], "Safekeep/Restore");
  EXPECT_EQ(Texts()["010"], "Manuals");
  EXPECT_EQ(Texts()["018"], "Safekeep/Restore manual");
  EXPECT_EQ(Texts()["019"], "Heraldo manual");
  for (const SetupText& text : kSuiteTexts) EXPECT_EQ(Texts()[text.key], text.default_text);
}

TEST_F(LoadResourceLanguage, EnglishFileGivesItsOwnTexts) {
  PutFile(TempDir() + "language.eng", ReadHostFile(kSuiteDir / "language.eng"));
  main_form_->LoadResourceLanguage(TempDir() + "LANGUAGE.ENG");
  ASSERT_EQ(Texts().size(), 19u);
  EXPECT_EQ(Texts()["002"], "Quorlin Velta");
  EXPECT_EQ(Texts()["008"], "Safekeep-Restore");
  EXPECT_EQ(Texts()["012"], "Quorlin 5 Velta manual");
  EXPECT_EQ(Texts()["018"], "Safekeep/Restore manual");
}

TEST_F(LoadResourceLanguage, MissingKeysTakeTheirDefaultsOthersTheFileText) {
  PutFile(TempDir() + "LANGUAGE.ITA",
          "; partial\r\n[setup]\r\n010 =  Manuali  \r\n019=\r\n[Installer]\r\n002=wrong section\r\n");
  main_form_->LoadResourceLanguage(TempDir() + "LANGUAGE.ITA");
  EXPECT_EQ(Texts()["010"], "Manuali");
  EXPECT_EQ(Texts()["002"], "Quorlin 5 Velta");
  // A key that is present but empty is an empty text, not the default.
  EXPECT_EQ(Texts()["019"], "");
}

TEST_F(LoadResourceLanguage, TranslatedSuiteTextsKeepTheirAnsiBytes) {
  PutFile(TempDir() + "LANGUAGE.FIN", ReadHostFile(kSuiteDir / "LANGUAGE.FIN"));
  main_form_->LoadResourceLanguage(TempDir() + "LANGUAGE.FIN");
  EXPECT_EQ(Texts()["010"], "K\xE4ytt\xF6ohjeet");
}

TEST_F(LoadResourceLanguage, NoButtonIsFoundInAFileSpellingItNobutton) {
  PutFile(TempDir() + "language.eng", ReadHostFile(kSuiteDir / "language.eng"));
  const TIniFile ini(TempDir() + "LANGUAGE.ENG");
  EXPECT_EQ(ini.ReadString(kInstallerSection, "NoButton", "?"), "No");
  EXPECT_EQ(ini.ReadString("installer", "NOBUTTON", "?"), "No");
  EXPECT_EQ(ini.ReadString(kInstallerSection, "4_006", "none"), "none");
  EXPECT_EQ(ini.ReadInteger(kInstallerSection, "4_006", 0), 0);
}

TEST_F(LoadResourceLanguage, OneLanguageRequiresAMegabyteFigure) {
  int with_figure = 0;
  for (const char* name : {"language.eng", "LANGUAGE.ITA", "LANGUAGE.SPA", "LANGUAGE.FIN",
                           "LANGUAGE.SWE", "LANGUAGE.FRA"}) {
    PutFile(TempDir() + name, ReadHostFile(kSuiteDir / name));
    const int megabytes = TIniFile(TempDir() + name).ReadInteger(kInstallerSection, "4_006", 0);
    if (megabytes != 0) {
      ++with_figure;
      EXPECT_EQ(megabytes, 10) << name;
    }
  }
  EXPECT_EQ(with_figure, 1);
}

}  // namespace
}  // namespace qr5::lang::test
