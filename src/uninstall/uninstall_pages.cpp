#include "uninstall/uninstall_pages.h"

#include <algorithm>

#include "forms/wizard_frame.h"
#include "pages/text_measure.h"
#include "uninstall/uninstall_texts.h"

namespace qr5::uninstall {

using namespace forms;

namespace {

void AddLogo(Form& form) {
  Control logo = MakeControl("Image2", ControlKind::kImage, 86, 17, 61, 61);
  logo.picture = "setup-logo";
  form.Add(std::move(logo));
}

void SetText(Form& form, const std::string& control, UninstallText key) {
  form.Get(control).text = Texts()[key];
}

// The lines a word-wrapped label of that width shows its text in.
int WrappedLines(const std::string& text, int width) {
  int lines = 1;
  std::string line;
  size_t at = 0;
  while (at < text.size()) {
    const size_t space = text.find(' ', at);
    const std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && pages::MeasureText(longer) > width) {
      ++lines;
      line = word;
    } else {
      line = longer;
    }
    if (space == std::string::npos) break;
    at = space + 1;
  }
  return lines;
}

}  // namespace

TFormUninstallWelcome::TFormUninstallWelcome() : Form("TFormUninstallWelcome") {
  SetUpPageWindow(*this);
  AddWelcomeBackground(*this);
  AddLogo(*this);
  AddLabel(*this, "LabelWelcomeTitle", 176, 19, 302, 54, FontStyle::kTitle);
  AddLabel(*this, "LabelCaption1", 176, 80, 302, 27);
  AddLabel(*this, "LabelCaption2", 176, 116, 302, 27);
  AddLabel(*this, "LabelCaption3", 176, 152, 302, 27);
  AddLabel(*this, "LabelCaption4", 176, 188, 302, 27);
  AddButton(*this, "NextButton", kNextButtonLeft, kButtonRowTop, mrOk).is_default = true;
  AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, mrCancel).is_cancel = true;
}

void TFormUninstallWelcome::FormShow() {
  caption = Texts()[UninstallText::kCaption];
  SetText(*this, "LabelWelcomeTitle", UninstallText::kWelcomeTitle);
  SetText(*this, "LabelCaption1", UninstallText::kWelcomeLine1);
  SetText(*this, "LabelCaption2", UninstallText::kWelcomeLine2);
  SetText(*this, "LabelCaption3", UninstallText::kWelcomeLine3);
  SetText(*this, "LabelCaption4", UninstallText::kWelcomeLine4);
  SetText(*this, "NextButton", UninstallText::kNextButton);
  SetText(*this, "CancelButton", UninstallText::kCancelButton);
  SetFocus("NextButton");
}

TFormUninstallConfirm::TFormUninstallConfirm() : Form("TFormUninstallConfirm") {
  client_width = 463;
  client_height = 125;
  border = BorderStyle::kDialog;
  minimize_box = false;
  Control picture = MakeControl("Image1", ControlKind::kImage, 10, 13, 34, 34);
  picture.picture = "question";
  Add(std::move(picture));
  AddLabel(*this, "Label1", 63, 13, 386, 40);
  AddLabel(*this, "LabelFolder", 63, 58, 386, 27);
  AddButton(*this, "YesButton", 153, 92, mrYes);
  // No is the default, so Enter keeps the installation.
  AddButton(*this, "NoButton", 234, 92, mrNo).is_default = true;
}

void TFormUninstallConfirm::FormShow() {
  caption = Texts()[UninstallText::kCaption];
  SetText(*this, "Label1", UninstallText::kConfirmQuestion);
  Get("LabelFolder").text = folder;
  SetText(*this, "YesButton", UninstallText::kYesButton);
  SetText(*this, "NoButton", UninstallText::kNoButton);
  // The question's lines, then the buttons as far below the text (or the
  // picture) as the exit question has them: no empty band between.
  Control& question = Get("Label1");
  question.height = pages::kLineHeight * WrappedLines(question.text, question.width);
  const Control& picture = Get("Image1");
  const int buttons = std::max(question.top + question.height, picture.top + picture.height) + 15;
  Get("YesButton").top = buttons;
  Get("NoButton").top = buttons;
  client_height = buttons + kButtonHeight + 10;
  SetFocus("NoButton");
}

TFormUninstallProgress::TFormUninstallProgress() : Form("TFormUninstallProgress") {
  SetUpPageWindow(*this);
  system_menu = false;
  close_box = false;
  minimize_box = false;
  key_preview = true;
  AddHeaderBand(*this, 9, 25);
  AddLabel(*this, "Label1", 44, 96, 373, 17);
  AddLabel(*this, "Label2", 44, 115, 418, 14);
  Control bar = MakeControl("SCProgress1", ControlKind::kProgressBar, 40, 139, 417, 21);
  bar.picture = "scpsRaised";
  Add(std::move(bar));
  Control& cancel = AddButton(*this, "CancelButton", kCancelButtonLeft, kButtonRowTop, mrCancel);
  cancel.enabled = false;  // a removal half done is worse than one finished
}

void TFormUninstallProgress::FormShow() {
  caption = Texts()[UninstallText::kCaption];
  SetText(*this, "TitleLabel1", UninstallText::kProgressTitle);
  SetText(*this, "TitleLabel2", UninstallText::kProgressSubtitle);
  SetText(*this, "CancelButton", UninstallText::kCancelButton);
}

void TFormUninstallProgress::FormKeyDown(Key key, ShiftState shift, bool& swallow) {
  if (shift.alt && key == Key::kF4) swallow = true;
}

void TFormUninstallProgress::ShowStep(UninstallText key, int percent) {
  SetText(*this, "Label1", key);
  Get("Label2").text.clear();
  Get("SCProgress1").position = std::clamp(percent, 0, 100);
  Changed();
}

void TFormUninstallProgress::ShowProgress(int percent, const std::string& path) {
  Get("SCProgress1").position = std::clamp(percent, 0, 100);
  Get("Label2").text = path;
  Changed();
}

TFormUninstallFinish::TFormUninstallFinish() : Form("TFormUninstallFinish") {
  SetUpPageWindow(*this);
  AddWelcomeBackground(*this);
  AddLogo(*this);
  AddLabel(*this, "LabelFinishTitle", 176, 19, 302, 54, FontStyle::kTitle);
  AddLabel(*this, "Label1", 176, 80, 302, 40);
  AddLabel(*this, "Label2", 176, 126, 302, 27);
  // The only button: it answers Enter; the frame's close box ends as well.
  AddButton(*this, "FinishButton", kNextButtonLeft, kButtonRowTop, mrOk).is_default = true;
}

void TFormUninstallFinish::FormShow() {
  caption = Texts()[UninstallText::kCaption];
  SetText(*this, "LabelFinishTitle", UninstallText::kFinishTitle);
  SetText(*this, "Label1", something_left ? UninstallText::kFinishSomethingLeft : UninstallText::kFinishRemoved);
  SetText(*this, "Label2", UninstallText::kFinishExit);
  SetText(*this, "FinishButton", UninstallText::kFinishButton);
  SetFocus("FinishButton");
}

}  // namespace qr5::uninstall
