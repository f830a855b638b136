// Every page and dialog, shown in every language of the payload, gives each
// of its mnemonics ("&" letters) to one control only: a shared letter would
// move the focus instead of pressing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "pages/page_frame.h"
#include "pages_fixture.h"

namespace qr5::pages {
namespace {

namespace fs = std::filesystem;

class MnemonicsTest : public testing::PagesTest {};

TEST_F(MnemonicsTest, EveryFormOfEveryLanguageFileHasUniqueMnemonics) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(QR5_SOURCE_DIR) / "payload" / "suite")) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.rfind("LANGUAGE.", 0) == 0) files.push_back(entry.path());
  }
  ASSERT_GE(files.size(), 6u);
  session::SessionState& session = session::Session();
  for (const fs::path& file : files) {
    WriteFile(session.LanguageFilePath, testing::ReadHostFile(file.string()));
    forms::Form* forms_shown[] = {step2_.get(), step3_.get(), step4_.get(), step5_.get(),
                                  step6_.get(), exit_.get(),  browse_.get(), error_.get()};
    for (forms::Form* form : forms_shown) {
      form->FormShow();
      std::map<char, std::string> owner;
      int marked = 0;
      for (const auto& control : form->Controls()) {
        const char letter = control->Accelerator();
        if (letter == 0) continue;
        ++marked;
        auto [at, fresh] = owner.emplace(letter, control->name);
        EXPECT_TRUE(fresh) << file.filename().string() << " " << form->class_name << ": "
                           << at->second << " and " << control->name << " share &" << letter;
      }
      if (form == step3_.get()) {
        EXPECT_GE(marked, 4) << file.filename().string();
      }
    }
  }
}

}  // namespace
}  // namespace qr5::pages
