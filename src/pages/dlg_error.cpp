#include "pages/dlg_error.h"

#include <algorithm>

#include "pages/page_frame.h"
#include "pages/text_measure.h"

namespace qr5::pages {

TDlgError* DlgError = nullptr;

TDlgError::TDlgError() : forms::Form("TDlgError") {
  client_width = 300;
  client_height = 103;
  border = forms::BorderStyle::kDialog;
  system_menu = true;
  minimize_box = false;
  close_box = true;
  centred = true;

  forms::Control picture = MakeControl("Image1", forms::ControlKind::kImage, 0, 8, 48, 48);
  picture.picture = "error";
  Add(std::move(picture));
  // One line sized to its text (laid out at every showing).
  Add(MakeControl("Label1", forms::ControlKind::kLabel, 50, 24, 0, kLineHeight));
  forms::Control& ok = AddButton(*this, "BtnOk", 0, 72, forms::mrOk);
  ok.is_default = true;
  ok.is_cancel = true;
}

void TDlgError::SetTexts(const std::string& caption_text, const std::string& button_text,
                         const std::string& message) {
  caption = caption_text;
  Get("BtnOk").text = button_text;
  Get("Label1").text = message;
}

const std::string& TDlgError::Message() const { return Find("Label1")->text; }

void TDlgError::FormShow() {
  forms::Control& label = Get("Label1");
  label.width = MeasureText(label.text);
  const int outer = std::min(label.width + 80, kMaxOuterWidth);
  client_width = outer - kFrameWidth;
  forms::Control& ok = Get("BtnOk");
  // Integer division rounds toward zero, also for a dialog narrower than
  // its button.
  ok.left = (client_width - ok.width) / 2;
  SetFocus("BtnOk");
}

}  // namespace qr5::pages
