#include "forms/wizard_frame.h"

namespace qr5::forms {

Control MakeControl(const std::string& name, ControlKind kind, int left, int top, int width,
                    int height) {
  Control c;
  c.name = name;
  c.kind = kind;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  return c;
}

Control& AddButton(Form& form, const std::string& name, int left, int top,
                   int modal_result) {
  Control c = MakeControl(name, ControlKind::kButton, left, top, kButtonWidth, kButtonHeight);
  c.modal_result = modal_result;
  c.tab_stop = true;
  return form.Add(std::move(c));
}

Control& AddLabel(Form& form, const std::string& name, int left, int top, int width,
                  int height, FontStyle font) {
  Control c = MakeControl(name, ControlKind::kLabel, left, top, width, height);
  c.word_wrap = true;
  c.font = font;
  return form.Add(std::move(c));
}

void SetUpPageWindow(Form& form) {
  form.client_width = kPageClientWidth;
  form.client_height = kPageClientHeight;
  form.border = BorderStyle::kSingle;
  form.system_menu = true;
  form.minimize_box = true;
  form.close_box = true;
  form.centred = true;
}

void AddWelcomeBackground(Form& form) {
  Control white = MakeControl("Shape1", ControlKind::kBevel, 0, 0, kPageClientWidth, kDividerTop);
  white.picture = "white";
  form.Add(std::move(white));
  Control side = MakeControl("Image1", ControlKind::kImage, 0, 0, 164, kDividerTop);
  side.picture = "setup-side";
  form.Add(std::move(side));
  Control line = MakeControl("Bevel1", ControlKind::kBevel, 0, kDividerTop, kPageClientWidth, 2);
  line.picture = "line";
  form.Add(std::move(line));
}

void AddHeaderBand(Form& form, int title_top, int subtitle_top) {
  Control band =
      MakeControl("Shape1", ControlKind::kBevel, 0, 0, kPageClientWidth, kHeaderBandHeight);
  band.picture = "white";
  form.Add(std::move(band));
  Control band_line =
      MakeControl("Bevel1", ControlKind::kBevel, 0, kHeaderBandHeight, kPageClientWidth, 2);
  band_line.picture = "line";
  form.Add(std::move(band_line));
  Control picture = MakeControl("Image1", ControlKind::kImage, 435, 1, 58, 57);
  picture.picture = "setup-header";
  form.Add(std::move(picture));
  Control& title = AddLabel(form, "TitleLabel1", 24, title_top, 289, 13, FontStyle::kBold);
  title.word_wrap = false;
  AddLabel(form, "TitleLabel2", 40, subtitle_top, 378, 27);
  Control divider =
      MakeControl("Bevel2", ControlKind::kBevel, 0, kDividerTop, kPageClientWidth, 2);
  divider.picture = "line";
  form.Add(std::move(divider));
}

}  // namespace qr5::forms
