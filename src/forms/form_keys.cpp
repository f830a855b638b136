// The keyboard interface of a form, as the Windows dialog manager gives it:
// default and cancel buttons, the tab order with radio groups as single
// stops, arrow keys inside a group, Space, and mnemonics with and without
// Alt (Yes and No answer their first letter, as in a message box). Both
// front ends deliver keys here, so they behave alike.
#include <cctype>
#include <vector>

#include "forms/application.h"
#include "forms/control_traits.h"
#include "forms/form.h"

namespace qr5::forms {

namespace {

bool Live(const Control& c) { return c.enabled && c.visible; }

bool IsRadio(const Control* c) { return c != nullptr && c->kind == ControlKind::kRadioButton; }

// The button of a radio group that stands for the group in the tab order:
// the checked one, else the first that can take the focus.
const Control* GroupStop(const std::vector<std::unique_ptr<Control>>& controls, int group) {
  const Control* first = nullptr;
  for (const auto& c : controls) {
    if (c->kind != ControlKind::kRadioButton || c->group != group || !Live(*c)) continue;
    if (c->checked) return c.get();
    if (first == nullptr) first = c.get();
  }
  return first;
}

}  // namespace

const Control* Form::DefaultFramed() const {
  const Control* focused = active_control;
  if (focused != nullptr && focused->kind == ControlKind::kButton && Live(*focused))
    return focused;
  for (const auto& c : controls_)
    if (c->kind == ControlKind::kButton && c->is_default && c->visible) return c.get();
  return nullptr;
}

void Form::Press(Control& button) {
  App().Guard([this, &button] {
    modal_result = button.modal_result;
    if (button.on_click) button.on_click();
  });
}

void Form::KeyFocus(Control* to) {
  if (!MoveFocus(to)) return;
  // A radio button reached by a key is selected, as Windows' button does on
  // a focus that no mouse gave it.
  if (to->kind == ControlKind::kRadioButton && !to->checked) Click(to->name);
}

void Form::TabStep(bool backward) {
  std::vector<Control*> stops;
  for (auto& c : controls_) {
    if (!c->tab_stop || !Live(*c) || !Focusable(*c)) continue;
    if (c->kind == ControlKind::kRadioButton && GroupStop(controls_, c->group) != c.get()) continue;
    stops.push_back(c.get());
  }
  if (stops.empty()) return;
  const Control* here = active_control;
  if (IsRadio(here)) here = GroupStop(controls_, here->group);
  size_t at = stops.size();
  for (size_t i = 0; i < stops.size(); ++i)
    if (stops[i] == here) at = i;
  size_t next;
  if (at == stops.size())
    next = backward ? stops.size() - 1 : 0;
  else if (backward)
    next = (at + stops.size() - 1) % stops.size();
  else
    next = (at + 1) % stops.size();
  KeyFocus(stops[next]);
}

void Form::MoveInRadioGroup(bool forward) {
  std::vector<Control*> members;
  for (auto& c : controls_)
    if (c->kind == ControlKind::kRadioButton && c->group == active_control->group && Live(*c))
      members.push_back(c.get());
  size_t at = 0;
  while (at < members.size() && members[at] != active_control) ++at;
  if (members.size() < 2 || at == members.size()) return;
  const size_t next = forward ? (at + 1) % members.size() : (at + members.size() - 1) % members.size();
  KeyFocus(members[next]);
}

void Form::MoveInButtonGroup(bool forward) {
  // The dialog manager's arrows on a push button: the focus goes to the next
  // or previous push button of its group, round; nothing is pressed.
  std::vector<Control*> members;
  for (auto& c : controls_)
    if (c->kind == ControlKind::kButton && c->group == active_control->group && Live(*c))
      members.push_back(c.get());
  size_t at = 0;
  while (at < members.size() && members[at] != active_control) ++at;
  if (members.size() < 2 || at == members.size()) return;
  MoveFocus(members[forward ? (at + 1) % members.size() : (at + members.size() - 1) % members.size()]);
}

void Form::KeyDown(Key key, ShiftState shift) {
  if (key_preview) {
    bool swallow = false;
    if (!App().Guard([&] { FormKeyDown(key, shift, swallow); }) || swallow) return;
  }
  const bool plain = !shift.shift && !shift.alt && !shift.ctrl;
  Control* focused = active_control;
  switch (key) {
    case Key::kEnter: {
      // The memo is read-only and wants no returns: Enter there is the
      // default button's too.
      if (!plain) return;
      const Control* framed = DefaultFramed();
      if (framed != nullptr && framed->enabled) Press(*Find(framed->name));
      return;
    }
    case Key::kEscape:
      if (!plain) return;
      for (auto& c : controls_)
        if (c->kind == ControlKind::kButton && c->is_cancel && Live(*c)) {
          Press(*c);
          return;
        }
      return;
    case Key::kF4:
      if (shift.alt) CloseByFrame();
      return;
    case Key::kTab:
      if (shift.alt || shift.ctrl) return;
      TabStep(shift.shift);
      return;
    case Key::kSpace:
      if (plain && focused != nullptr && Clickable(*focused)) Click(focused->name);
      return;
    case Key::kUp:
    case Key::kDown:
    case Key::kLeft:
    case Key::kRight: {
      if (shift.alt || shift.ctrl || focused == nullptr || !Live(*focused)) return;
      const bool forward = key == Key::kDown || key == Key::kRight;
      if (focused->kind == ControlKind::kRadioButton) {
        MoveInRadioGroup(forward);
      } else if (focused->kind == ControlKind::kButton) {
        MoveInButtonGroup(forward);
      } else if (focused->kind == ControlKind::kTreeView) {
        TreeKey(key);
      } else if (focused->kind == ControlKind::kComboBox) {
        const int next = focused->item_index + (forward ? 1 : -1);
        if (next >= 0 && next < static_cast<int>(focused->items.size()))
          SelectItem(focused->name, next);
      }
      return;
    }
    case Key::kOther:
      return;
  }
}

bool Form::KeyChar(char letter) {
  if (active_control != nullptr && active_control->kind == ControlKind::kTreeView)
    return TreeChar(letter);
  if (active_control != nullptr && WantsCharacters(*active_control)) return false;
  return PressAccelerator(letter);
}

bool Form::PressAccelerator(char letter) {
  const char want = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (want == 0) return false;
  std::vector<Control*> matches;
  size_t focus_at = controls_.size();
  for (size_t i = 0; i < controls_.size(); ++i) {
    Control& c = *controls_[i];
    if (&c == active_control) focus_at = i;
    if (Clickable(c) && Live(c) && c.Accelerator() == want) matches.push_back(&c);
  }
  // Yes and No without a marked letter answer their first one, as the
  // buttons of a Yes/No message box do.
  if (matches.empty())
    for (auto& c : controls_)
      if (c->kind == ControlKind::kButton && Live(*c) && c->Accelerator() == 0 &&
          (c->modal_result == mrYes || c->modal_result == mrNo) && !c->text.empty() &&
          std::toupper(static_cast<unsigned char>(c->text[0])) == want)
        matches.push_back(c.get());
  if (matches.empty()) return false;
  if (matches.size() == 1) return Click(matches[0]->name);
  // A shared mnemonic only moves the focus: to the next control after the
  // focused one that carries it, round to the first.
  Control* next = matches[0];
  for (Control* c : matches) {
    size_t at = 0;
    while (controls_[at].get() != c) ++at;
    if (focus_at != controls_.size() && at > focus_at) {
      next = c;
      break;
    }
  }
  KeyFocus(next);
  return true;
}

}  // namespace qr5::forms
