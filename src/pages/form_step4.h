// TFormStep4: the destination page. Shows the install folder, lets the user
// browse for another, and on Next checks the drive's free space against the
// amount the language file asks for. Results: 1, 2 (confirmed) or 100.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form.h"

namespace qr5::pages {

// One megabyte as the language file's required space counts it (1000 x 1024).
inline constexpr int64_t kSpaceUnitBytes = 1024000;

class TFormStep4 : public forms::Form {
 public:
  TFormStep4();

  void FormShow() override;
  void FormClose(forms::CloseAction& action) override;
  void NextButtonClick();
  void BackButtonClick();
  void CancelButtonClick();
  void BrowseButtonClick();

  int64_t RequiredFreeSpace() const { return required_free_space_; }

 private:
  void ShowSpaceError();
  void ShowPathError();

  int64_t required_free_space_ = 0;
  bool space_check_failed_ = false;
  bool path_check_failed_ = false;  // the folder runs through a file
  bool confirm_close_ = true;
  // The free-space error's texts, kept here: the browse dialog puts its own
  // texts on the shared error dialog in between.
  std::string error_caption_, error_button_, error_message_;
  // The browse dialog's text for a folder that is not valid.
  std::string path_error_message_;
};

// Free bytes available to the user on the drive of a path's first letter,
// asked with critical-error messages suppressed; -1 when the platform cannot
// tell (no such drive, no disk).
int64_t DriveFreeSpace(const std::string& path);

// Created once at start-up, kept until the process ends.
extern TFormStep4* FormStep4;

}  // namespace qr5::pages
