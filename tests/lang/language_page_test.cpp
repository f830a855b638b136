// The language page: what it lists, which entry it preselects, whose texts
// it shows, and what OK and Cancel leave behind.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "install/registry_records.h"
#include "lang/installed_language_name.h"
#include "lang_machine.h"
#include "pages/form_step1.h"

namespace qr5::lang::test {
namespace {

using Items = std::vector<std::string>;
const char* const kSpanish = "Espa\xF1ol";
const char* const kFrench = "Fran\xE7" "ais";

class LanguagePage : public LangMachine {
 protected:
  void Show() { page_.LoadLanguageList(); }
  void ExpectBuiltInTexts() {
    EXPECT_EQ(page_.caption, "Select Setup Language");
    EXPECT_EQ(page_.LabelSelectLanguage.text, "Select the language to use during the installation:");
    EXPECT_EQ(page_.OKButton.text, "OK");
    EXPECT_EQ(page_.CancelButton.text, "Cancel");
  }
  void ExpectTextsOf(const std::string& file) {
    EXPECT_EQ(page_.caption, "caption of " + file);
    EXPECT_EQ(page_.LabelSelectLanguage.text, "prompt of " + file);
    EXPECT_EQ(page_.OKButton.text, "ok of " + file);
    EXPECT_EQ(page_.CancelButton.text, "cancel of " + file);
  }
  pages::TFormStep1 page_;
};

TEST_F(LanguagePage, SystemLanguagePreselectsItsEntryAndShowsThatFilesTexts) {
  sim_->SetLanguageName("Italian (Standard)");
  PutLanguageFile("LANGUAGE.ENG", "English");
  PutLanguageFile("LANGUAGE.ITA", "Italiano");
  Show();
  EXPECT_EQ(page_.LangCombo.items, (Items{"English", "Italiano"}));
  EXPECT_EQ(page_.LangCombo.item_index, 1);
  EXPECT_EQ(page_.LangCombo.text, "Italiano");
  ExpectTextsOf("LANGUAGE.ITA");
}

TEST_F(LanguagePage, ListKeepsTheSearchOrderAndSkipsFilesWithoutADisplayName) {
  sim_->SetLanguageName("German (Standard)");
  PutLanguageFile("LANGUAGE.A1", "Svenska");
  PutLanguageFile("LANGUAGE.B2", "");  // no Language key
  PutFile(TempDir() + "LANGUAGE.B3", "[Setup]\r\nLanguage=\r\n");
  PutLanguageFile("LANGUAGE.C4", kSpanish);
  PutLanguageFile("LANGUAGE.D5", "English");
  PutLanguageFile("OLDLANGUAGE.ENG", "Finnish");   // does not begin with LANGUAGE.
  PutLanguageFile("dornaxlanguage.eng", "Finnish");
  ASSERT_EQ(TempFiles("LANGUAGE.*"),
            (Items{"LANGUAGE.A1", "LANGUAGE.B2", "LANGUAGE.B3", "LANGUAGE.C4", "LANGUAGE.D5"}));
  Show();
  EXPECT_EQ(page_.LangCombo.items, (Items{"Svenska", kSpanish, "English"}));
  // German maps to English: the entry after the two skipped files.
  EXPECT_EQ(page_.LangCombo.item_index, 2);
  ExpectTextsOf("LANGUAGE.D5");
}

TEST_F(LanguagePage, PreviousLanguageBeatsTheSystemLanguageStandingAfterIt) {
  sim_->SetLanguageName("French (Standard)");
  install::WriteRegLanguage("Svenska");
  PutLanguageFile("LANGUAGE.FRA", kFrench);
  PutLanguageFile("LANGUAGE.SWE", "Svenska");
  Show();
  EXPECT_EQ(session::Session().PreviousLanguage, "Svenska");
  EXPECT_EQ(page_.LangCombo.items, (Items{kFrench, "Svenska"}));
  EXPECT_EQ(page_.LangCombo.item_index, 1);
  ExpectTextsOf("LANGUAGE.SWE");
}

TEST_F(LanguagePage, PreviousLanguageBeatsTheSystemLanguageStandingBeforeIt) {
  sim_->SetLanguageName("French (Standard)");
  install::WriteRegLanguage("Svenska");
  PutLanguageFile("LANGUAGE.AAA", "Svenska");
  PutLanguageFile("LANGUAGE.FRA", kFrench);
  Show();
  EXPECT_EQ(page_.LangCombo.item_index, 0);
  ExpectTextsOf("LANGUAGE.AAA");
}

TEST_F(LanguagePage, TwoFilesWithOneNameFirstForTheSystemLastForThePreviousLanguage) {
  sim_->SetLanguageName("Italian (Standard)");
  PutLanguageFile("LANGUAGE.IT1", "Italiano");
  PutLanguageFile("LANGUAGE.IT2", "Italiano");
  PutLanguageFile("LANGUAGE.IT3", "Italiano");
  Show();
  EXPECT_EQ(page_.LangCombo.items, (Items{"Italiano", "Italiano", "Italiano"}));
  EXPECT_EQ(page_.LangCombo.item_index, 0);
  ExpectTextsOf("LANGUAGE.IT1");

  install::WriteRegLanguage("Italiano");
  Show();
  EXPECT_EQ(page_.LangCombo.items.size(), 3u);  // rebuilt, not appended to
  EXPECT_EQ(page_.LangCombo.item_index, 2);
  ExpectTextsOf("LANGUAGE.IT3");
}

TEST_F(LanguagePage, PreviousLanguageThatIsNotListedLeavesTheSystemChoice) {
  sim_->SetLanguageName("Swedish");
  install::WriteRegLanguage("Deutsch");
  PutLanguageFile("LANGUAGE.ENG", "English");
  PutLanguageFile("LANGUAGE.SWE", "Svenska");
  Show();
  EXPECT_EQ(page_.LangCombo.item_index, 1);
  ExpectTextsOf("LANGUAGE.SWE");
}

TEST_F(LanguagePage, LowerCaseEnglishIsListedButNeverPreselected) {
  sim_->SetLanguageName("English (United States)");
  PutLanguageFile("LANGUAGE.ENG", "english");
  Show();
  EXPECT_EQ(page_.LangCombo.items, (Items{"english"}));
  EXPECT_EQ(page_.LangCombo.item_index, -1);
  EXPECT_EQ(page_.LangCombo.text, "");
  ExpectBuiltInTexts();
}

TEST_F(LanguagePage, UnnamedSystemLocaleCountsAsEnglish) {
  sim_->SetLanguageName("");
  const std::string placeholder = GetInstalledLanguageName();
  EXPECT_FALSE(placeholder.empty());
  for (const char* word : {"English", "Italian", "Spanish", "Finnish", "Swedish", "French"}) {
    EXPECT_EQ(placeholder.find(word), std::string::npos) << word;
  }
  PutLanguageFile("LANGUAGE.ENG", "English");
  PutLanguageFile("LANGUAGE.FIN", "Finnish");
  Show();
  EXPECT_EQ(page_.LangCombo.item_index, 0);
}

TEST_F(LanguagePage, RegistryRecordsAreReadAtEveryShowing) {
  Show();
  EXPECT_EQ(session::Session().PreviousLanguage, "");
  EXPECT_EQ(session::Session().PreviousInstallPath, "");
  install::WriteRegLanguage("English");
  install::WriteRegInstallPath("D:\\Tools\\QR5");
  Show();
  EXPECT_EQ(session::Session().PreviousLanguage, "English");
  EXPECT_EQ(session::Session().PreviousInstallPath, "D:\\Tools\\QR5");
}

TEST_F(LanguagePage, RecordsThatAreNotTextCountAsEmptyAndTheListIsStillFilled) {
  sim_->SetLanguageName("Italian (Italy)");
  PutLanguageFile("LANGUAGE.ENG", "English");
  PutLanguageFile("LANGUAGE.ITA", "Italiano");
  platform::Registry& registry = *platform::Sys().registry;
  platform::HKEY key = 0;
  ASSERT_EQ(registry.CreateKey(platform::HKEY_CURRENT_USER, "Quorlin5", &key), 0);
  const uint8_t dword[4] = {1, 0, 0, 0};
  ASSERT_EQ(registry.SetValue(key, "Language", platform::REG_DWORD, dword, 4), 0);
  ASSERT_EQ(registry.SetValue(key, "Installation Path", platform::REG_BINARY, dword, 4), 0);
  registry.CloseKey(key);
  Show();
  EXPECT_EQ(page_.LangCombo.items, (std::vector<std::string>{"English", "Italiano"}));
  EXPECT_EQ(page_.LangCombo.item_index, 1) << "the system language";
  EXPECT_EQ(session::Session().PreviousLanguage, "");
  EXPECT_EQ(session::Session().PreviousInstallPath, "");
}

TEST_F(LanguagePage, OkRecordsNameExtensionAndFileOfTheChosenEntry) {
  sim_->SetLanguageName("English (United States)");
  PutLanguageFile("LANGUAGE.ENG", "English");
  PutLanguageFile("LANGUAGE.ITA", "Italiano");
  PutLanguageFile("LANGUAGE.SPA", kSpanish);
  front_.steps.push_back([this] { page_.SelectItem("LangCombo", 2); });
  front_.steps.push_back([this] { page_.Click("OKButton"); });
  EXPECT_EQ(page_.ShowModal(), forms::mrOk);
  EXPECT_EQ(session::Session().LanguageName, kSpanish);
  EXPECT_EQ(session::Session().LanguageExt, ".SPA");
  EXPECT_EQ(session::Session().LanguageFilePath, TempDir() + "LANGUAGE.SPA");
}

TEST_F(LanguagePage, EntryOutsideTheTableLeadsToTheEnglishFile) {
  PutLanguageFile("LANGUAGE.DEU", "Deutsch");
  Show();
  page_.SelectItem("LangCombo", 0);
  page_.OKButtonClick();
  EXPECT_EQ(session::Session().LanguageName, "Deutsch");
  EXPECT_EQ(session::Session().LanguageExt, ".ENG");
  EXPECT_EQ(session::Session().LanguageFilePath, TempDir() + "LANGUAGE.ENG");
}

TEST_F(LanguagePage, WithoutLanguageFilesTheListIsEmptyAndOkGivesEnglish) {
  PutFile(TempDir() + "LICENSE.ENG", "License\r\n");
  front_.steps.push_back([this] { page_.Click("OKButton"); });
  EXPECT_EQ(page_.ShowModal(), forms::mrOk);
  EXPECT_TRUE(page_.LangCombo.items.empty());
  ExpectBuiltInTexts();
  EXPECT_EQ(session::Session().LanguageName, "");
  EXPECT_EQ(session::Session().LanguageExt, ".ENG");
  EXPECT_EQ(session::Session().LanguageFilePath, TempDir() + "LANGUAGE.ENG");
}

TEST_F(LanguagePage, CancelEndsTheSetupAndLeavesTheChoiceUnset) {
  app::TMainForm main_form;
  app::MainForm = &main_form;
  forms::App().SetMainForm(&main_form);
  PutLanguageFile("LANGUAGE.ENG", "English");
  front_.steps.push_back([this] { page_.Click("CancelButton"); });
  EXPECT_EQ(page_.ShowModal(), forms::mrCancel);
  EXPECT_TRUE(forms::App().MainFormIsClosed());
  EXPECT_EQ(session::Session().LanguageName, "");
  EXPECT_EQ(session::Session().LanguageExt, "");
  EXPECT_EQ(session::Session().LanguageFilePath, "");
  app::MainForm = nullptr;
}

TEST_F(LanguagePage, ClosingTheWindowCancelsWithoutClosingTheMainForm) {
  app::TMainForm main_form;
  app::MainForm = &main_form;
  forms::App().SetMainForm(&main_form);
  PutLanguageFile("LANGUAGE.ENG", "English");
  front_.steps.push_back([this] { page_.CloseByFrame(); });
  EXPECT_EQ(page_.ShowModal(), forms::mrCancel);
  EXPECT_FALSE(forms::App().MainFormIsClosed());
  EXPECT_EQ(session::Session().LanguageFilePath, "");
  app::MainForm = nullptr;
}

TEST_F(LanguagePage, EscapeAndEnterAnswerLikeTheButtons) {
  sim_->SetLanguageName("Italian (Standard)");
  PutLanguageFile("LANGUAGE.ITA", "Italiano");
  front_.steps.push_back([this] { page_.KeyDown(forms::Key::kEnter); });
  EXPECT_EQ(page_.ShowModal(), forms::mrOk);
  EXPECT_EQ(session::Session().LanguageExt, ".ITA");
  front_.steps.push_back([this] { page_.KeyDown(forms::Key::kEscape); });
  EXPECT_EQ(page_.ShowModal(), forms::mrCancel);
}

}  // namespace
}  // namespace qr5::lang::test
