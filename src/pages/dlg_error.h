// TDlgError: the error dialog, shared by the browse dialog (a refused path)
// and the destination page (too little free space). Whoever shows it sets
// its texts first. OK, Enter and Escape close it with 1.
#pragma once

#include <string>

#include "forms/form.h"

namespace qr5::pages {

class TDlgError : public forms::Form {
 public:
  // The dialog frame's share of the outer width (3 pixels each side).
  static constexpr int kFrameWidth = 6;
  static constexpr int kMaxOuterWidth = 400;

  TDlgError();

  // Caption, button text and message, as the caller wants them shown.
  void SetTexts(const std::string& caption_text, const std::string& button_text,
                const std::string& message);
  const std::string& Message() const;

  // Lays the dialog out for its message: outer width = message width + 80,
  // at most 400, and BtnOk centred.
  void FormShow() override;

  // The outer (window) width after the last layout.
  int OuterWidth() const { return client_width + kFrameWidth; }
};

// Created once at start-up, kept until the process ends.
extern TDlgError* DlgError;

}  // namespace qr5::pages
