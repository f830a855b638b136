// The uninstaller's texts: section [UnInstaller] of the language file that
// the installation recorded, read once at start (the file itself is one of
// the files removed), with the English text for any key a file lacks.
#pragma once

#include <array>
#include <string>

namespace qr5::uninstall {

// Every text the uninstaller shows, in the order of its table of keys and
// English texts (uninstall_texts.cpp).
enum class UninstallText {
  kCaption,
  kYesButton,
  kNoButton,
  kOkButton,
  kCancelButton,
  kFinishButton,
  kNextButton,
  kErrorCaption,
  kWelcomeTitle,        // 1_001
  kWelcomeLine1,        // 1_002
  kWelcomeLine2,        // 1_003
  kWelcomeLine3,        // 1_004
  kWelcomeLine4,        // 1_005
  kConfirmQuestion,     // 1_006
  kProgressTitle,       // 2_001
  kProgressSubtitle,    // 2_002
  kRemovingFiles,       // 2_003
  kRemovingGroup,       // 2_004
  kRemovingRecords,     // 2_005
  kFinishRemoved,       // 3_001
  kFinishSomethingLeft, // 3_002
  kFinishExit,          // 3_003
  kFinishTitle,         // FinishTitle: the finish page's heading
  kCount
};

class UninstallTexts {
 public:
  // Every key from the file at path; a missing file or key gives the
  // English text.
  void Load(const std::string& language_file);
  // The English texts alone.
  void LoadDefaults() { Load(""); }
  // The text as loaded; "" before anything was.
  const std::string& operator[](UninstallText text) const {
    return texts_[static_cast<size_t>(text)];
  }

 private:
  std::array<std::string, static_cast<size_t>(UninstallText::kCount)> texts_;
};

// The texts of this run.
UninstallTexts& Texts();

// Shown when no installation is recorded or its folder is gone; the record
// names no language then, so the text is English.
inline constexpr const char* kNotInstalledText = "Quorlin 5 is not installed on this computer.";

}  // namespace qr5::uninstall
