// What kind of input each control kind takes: shared by the form's mouse
// actions and its keyboard handling.
#pragma once

#include "forms/form.h"

namespace qr5::forms {

// Can hold the keyboard focus.
inline bool Focusable(const Control& c) {
  switch (c.kind) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
    case ControlKind::kEdit:
    case ControlKind::kComboBox:
    case ControlKind::kMemo:
    case ControlKind::kTreeView:
      return true;
    default:
      return false;
  }
}

// Answers a click, Space and its accelerator.
inline bool Clickable(const Control& c) {
  return c.kind == ControlKind::kButton || c.kind == ControlKind::kCheckBox ||
         c.kind == ControlKind::kRadioButton;
}

// Takes typed characters itself (edit fields, lists and the tree search by
// them), so a plain letter there is no mnemonic.
inline bool WantsCharacters(const Control& c) {
  return c.kind == ControlKind::kEdit || c.kind == ControlKind::kMemo ||
         c.kind == ControlKind::kComboBox || c.kind == ControlKind::kTreeView;
}

}  // namespace qr5::forms
