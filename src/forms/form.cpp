#include "forms/form.h"

#include <cctype>

#include "forms/application.h"
#include "forms/control_traits.h"
#include "platform/error.h"

namespace qr5::forms {

char Control::Accelerator() const {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {  // "&&" is a literal ampersand
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

Form::Form(std::string name) : class_name(std::move(name)) {}

Form::~Form() { App().FormDestroyed(*this); }

Control& Form::Add(Control control) {
  controls_.push_back(std::make_unique<Control>(std::move(control)));
  return *controls_.back();
}

Control* Form::Find(const std::string& name) {
  for (auto& c : controls_)
    if (c->name == name) return c.get();
  return nullptr;
}

const Control* Form::Find(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->name == name) return c.get();
  return nullptr;
}

Control& Form::Get(const std::string& name) {
  Control* c = Find(name);
  if (c == nullptr) throw Error(class_name + " has no control " + name);
  return *c;
}

Control* Form::Usable(const std::string& name) {
  Control* c = Find(name);
  if (c == nullptr || !c->enabled || !c->visible) return nullptr;
  return c;
}

int Form::ShowModal() { return App().RunModal(*this); }

void Form::Show() {
  if (visible_) return;
  App().Guard([this] { FormShow(); });
  visible_ = true;
  if (active_control == nullptr) FocusFirst();
  App().Front().FormShown(*this);
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  App().Front().FormHidden(*this);
}

void Form::Close() {
  if (modal_) {
    modal_result = mrCancel;
    return;
  }
  CloseAction action = CloseAction::kHide;
  FormClose(action);
  if (action == CloseAction::kNone) return;
  if (App().MainForm() == this) {
    App().MainFormClosed();
    App().Terminate();
  }
  Hide();
}

void Form::CloseModal() {
  try {
    CloseAction action = CloseAction::kHide;
    FormClose(action);
    if (action == CloseAction::kNone) modal_result = mrNone;
  } catch (const std::exception& e) {
    modal_result = mrNone;
    App().HandleException(e);
  } catch (...) {
    modal_result = mrNone;
    App().HandleException(Error("Unknown exception"));
  }
}

void Form::SetFocus(const std::string& control_name) {
  Control* c = Usable(control_name);
  if (c != nullptr && Focusable(*c)) MoveFocus(c);
}

bool Form::MoveFocus(Control* to) {
  if (active_control == to) return true;
  Control* from = active_control;
  active_control = to;
  if (from != nullptr && from->on_exit) App().Guard(from->on_exit);
  return active_control == to;
}

void Form::FocusFirst() {
  for (auto& c : controls_) {
    if (c->tab_stop && c->enabled && c->visible && Focusable(*c)) {
      active_control = c.get();
      return;
    }
  }
}

bool Form::Focus(const std::string& control_name) {
  Control* c = Usable(control_name);
  if (c == nullptr || !Focusable(*c)) return false;
  MoveFocus(c);
  return true;
}

bool Form::Click(const std::string& control_name) {
  Control* c = Usable(control_name);
  if (c == nullptr || !Clickable(*c)) return false;
  // The control takes the focus on the mouse press; a validation that
  // pulls the focus back cancels the click.
  if (!MoveFocus(c)) return true;
  App().Guard([this, c] {
    switch (c->kind) {
      case ControlKind::kButton:
        modal_result = c->modal_result;
        if (c->on_click) c->on_click();
        break;
      case ControlKind::kCheckBox:
        c->checked = !c->checked;
        if (c->on_click) c->on_click();
        break;
      default:  // radio button
        if (!c->checked) {
          for (auto& other : controls_)
            if (other->kind == ControlKind::kRadioButton && other->group == c->group)
              other->checked = false;
          c->checked = true;
        }
        if (c->on_click) c->on_click();
        break;
    }
  });
  return true;
}

bool Form::SetChecked(const std::string& control_name, bool checked) {
  Control* c = Usable(control_name);
  if (c == nullptr) return false;
  if (c->kind == ControlKind::kCheckBox) {
    if (c->checked != checked) return Click(control_name);
    MoveFocus(c);
    return true;
  }
  if (c->kind == ControlKind::kRadioButton) {
    if (!checked) return false;
    return Click(control_name);
  }
  return false;
}

bool Form::TypeText(const std::string& control_name, const std::string& text) {
  Control* c = Usable(control_name);
  if (c == nullptr || c->kind != ControlKind::kEdit || c->read_only) return false;
  if (!MoveFocus(c)) return true;
  c->text = text;
  if (c->on_change) App().Guard(c->on_change);
  return true;
}

bool Form::SelectItem(const std::string& control_name, int index) {
  Control* c = Usable(control_name);
  if (c == nullptr || c->kind != ControlKind::kComboBox) return false;
  if (index < -1 || index >= static_cast<int>(c->items.size())) return false;
  if (!MoveFocus(c)) return true;
  if (c->item_index == index) return true;
  c->item_index = index;
  if (index >= 0) c->text = c->items[static_cast<size_t>(index)];
  if (c->on_change) App().Guard(c->on_change);
  return true;
}

void Form::CloseByFrame() {
  if (UserCanClose()) Close();
}

void Form::Changed() {
  if (visible_) App().Front().FormChanged(*this);
}

}  // namespace qr5::forms
