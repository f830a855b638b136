#include "front_ends/console/console_front_end.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>

#include "platform/platform.h"
#include "platform/sim/sim_codepage.h"

namespace qr5::front_ends {

using platform::sim::AnsiToUtf8;
using platform::sim::Utf8ToAnsi;

namespace {

using forms::Control;
using forms::ControlKind;
using forms::Form;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

// Splits off the first space-separated word.
std::string NextWord(std::string& rest) {
  const size_t start = rest.find_first_not_of(' ');
  if (start == std::string::npos) {
    rest.clear();
    return {};
  }
  const size_t end = rest.find(' ', start);
  std::string word = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
  rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
  return word;
}

// A caption as the user sees it: "&&" is an ampersand, a single "&" only
// underlines the next letter.
std::string Displayed(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel: return "label";
    case ControlKind::kButton: return "button";
    case ControlKind::kCheckBox: return "checkbox";
    case ControlKind::kRadioButton: return "radio";
    case ControlKind::kEdit: return "edit";
    case ControlKind::kComboBox: return "combo";
    case ControlKind::kMemo: return "memo";
    case ControlKind::kTreeView: return "tree";
    case ControlKind::kProgressBar: return "progress";
    case ControlKind::kImage: return "image";
    case ControlKind::kBevel: return "bevel";
  }
  return "control";
}

// Text spread over several lines keeps its line breaks, indented.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') {
      out += "\n        ";
      continue;
    }
    out += text[i];
  }
  return out + "\"";
}

void RenderControl(const Form& form, const Control& c, std::vector<std::string>& lines) {
  std::string line = "  ";
  line += c.name;
  line += " (";
  line += KindName(c.kind);
  line += ")";
  switch (c.kind) {
    case ControlKind::kCheckBox:
      line += c.checked ? " [x] " : " [ ] ";
      line += Quoted(Displayed(c.text));
      break;
    case ControlKind::kRadioButton:
      line += c.checked ? " (*) " : " ( ) ";
      line += Quoted(Displayed(c.text));
      break;
    case ControlKind::kButton:
    case ControlKind::kLabel:
      line += " " + Quoted(Displayed(c.text));
      break;
    case ControlKind::kProgressBar:
      line += " " + std::to_string(std::clamp(c.position, 0, 100)) + "%";
      break;
    case ControlKind::kImage:
      if (!c.picture.empty()) line += " " + c.picture;
      break;
    case ControlKind::kBevel:
      break;
    case ControlKind::kEdit:
      if (c.read_only) line.insert(line.size() - 1, ", read-only");
      line += " " + Quoted(c.text);
      break;
    default:  // combo, memo, tree
      line += " " + Quoted(c.text);
      break;
  }
  if (char letter = c.Accelerator(); letter != 0 && c.kind != ControlKind::kLabel)
    line += std::string(" [Alt+") + letter + "]";
  if (form.DefaultFramed() == &c) line += " default";  // the frame follows the focus
  if (c.is_cancel) line += " cancel";
  if (!c.enabled) line += " (disabled)";
  if (form.active_control == &c) line += " <focus>";
  lines.push_back(line);
  if (c.kind == ControlKind::kComboBox || c.kind == ControlKind::kTreeView) {
    for (size_t i = 0; i < c.items.size(); ++i)
      lines.push_back((static_cast<int>(i) == c.item_index ? "    > " : "      ") +
                      std::to_string(i) + ": " + c.items[i]);
  } else if (c.kind == ControlKind::kMemo) {
    for (const std::string& item : c.items) lines.push_back("    | " + item);
  }
}

}  // namespace

ConsoleFrontEnd::ConsoleFrontEnd(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

std::vector<std::string> ConsoleFrontEnd::Render(const forms::Form& form) {
  std::vector<std::string> lines;
  lines.push_back("=== " + form.class_name + ": " + Displayed(form.caption) + " ===");
  for (const auto& control : form.Controls())
    if (control->visible) RenderControl(form, *control, lines);
  return lines;
}

void ConsoleFrontEnd::PrintForm(forms::Form& form, bool again) {
  std::vector<std::string> lines = Render(form);
  for (size_t i = 0; i < lines.size(); ++i)
    out_ << AnsiToUtf8(lines[i]) << (i == 0 && again ? " (updated)\n" : "\n");
  out_.flush();
  printed_[&form] = std::move(lines);
  last_printed_ = &form;
}

// What changed since the form was printed last: the changed lines alone
// when the last output was about this form and it kept its shape (the same
// lines and caption), else the whole form again.
void ConsoleFrontEnd::PrintChanges(forms::Form& form) {
  if (!form.Visible()) return;
  std::vector<std::string> lines = Render(form);
  auto it = printed_.find(&form);
  if (it != printed_.end() && lines == it->second) return;
  if (it == printed_.end() || last_printed_ != &form || it->second.size() != lines.size() ||
      it->second[0] != lines[0]) {
    PrintForm(form, it != printed_.end());
    return;
  }
  std::vector<std::string>& before = it->second;
  for (size_t i = 1; i < lines.size(); ++i)
    if (lines[i] != before[i]) out_ << AnsiToUtf8(lines[i]) << "\n";
  out_.flush();
  before = std::move(lines);
  last_printed_ = &form;
}

void ConsoleFrontEnd::FormShown(forms::Form& form) {
  shown_.erase(std::remove(shown_.begin(), shown_.end(), &form), shown_.end());
  shown_.push_back(&form);
  PrintForm(form, false);
}

void ConsoleFrontEnd::FormHidden(forms::Form& form) {
  shown_.erase(std::remove(shown_.begin(), shown_.end(), &form), shown_.end());
  printed_.erase(&form);
  if (last_printed_ == &form) last_printed_ = nullptr;
}

void ConsoleFrontEnd::FormChanged(forms::Form& form) { PrintChanges(form); }

void ConsoleFrontEnd::ProcessMessages() {
  for (forms::Form* form : shown_) PrintChanges(*form);
}

forms::Form* ConsoleFrontEnd::ActiveForm() const {
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it)
    if ((*it)->Visible()) return *it;
  return nullptr;
}

bool ConsoleFrontEnd::ReadLine(std::string* line) {
  if (!std::getline(in_, *line)) return false;
  if (!line->empty() && line->back() == '\r') line->pop_back();
  if (echo) out_ << "> " << *line << "\n";
  *line = Utf8ToAnsi(*line);
  return true;
}

bool ConsoleFrontEnd::HandleMessage() {
  forms::Form* form = ActiveForm();
  // The form in front is printed again when it came back to the front after
  // other output, and what changed of it otherwise.
  if (form != nullptr) {
    if (form != last_printed_)
      PrintForm(*form, printed_.count(form) > 0);
    else
      PrintChanges(*form);
  }
  std::string line;
  if (!ReadLine(&line)) return false;
  // Only the leading blanks go: a typed text keeps its trailing ones.
  line.erase(0, line.find_first_not_of(" \t"));
  if (line.empty() || line[0] == '#') return true;
  std::string error;
  if (!Perform(line, &error)) {
    out_ << "error: " << AnsiToUtf8(error) << "\n";
    out_.flush();
  }
  return true;
}

bool ConsoleFrontEnd::Perform(const std::string& line, std::string* error) {
  std::string rest = line;
  const std::string verb = Lower(NextWord(rest));
  forms::Form* form = ActiveForm();
  if (form == nullptr) {
    *error = "no window is shown";
    return false;
  }

  if (verb == "close") {
    if (!form->system_menu || !form->close_box) {
      *error = form->class_name + " has no close box";
      return false;
    }
    form->CloseByFrame();
    return true;
  }

  if (verb == "key") {
    const std::string key = Lower(Trim(rest));
    if (key == "enter") {
      form->KeyDown(forms::Key::kEnter);
    } else if (key == "escape" || key == "esc") {
      form->KeyDown(forms::Key::kEscape);
    } else if (key == "tab") {
      form->KeyDown(forms::Key::kTab);
    } else if (key == "shift+tab") {
      form->KeyDown(forms::Key::kTab, {.shift = true});
    } else if (key == "f4") {
      form->KeyDown(forms::Key::kF4);
    } else if (key == "alt+f4") {
      form->KeyDown(forms::Key::kF4, {.alt = true});
    } else if (key == "alt+shift+f4" || key == "shift+alt+f4") {
      form->KeyDown(forms::Key::kF4, {.shift = true, .alt = true});
    } else if (key == "space") {
      form->KeyDown(forms::Key::kSpace);
    } else if (key == "up" || key == "down" || key == "left" || key == "right") {
      form->KeyDown(key == "up"     ? forms::Key::kUp
                    : key == "down" ? forms::Key::kDown
                    : key == "left" ? forms::Key::kLeft
                                    : forms::Key::kRight);
    } else if (key.size() == 5 && key.compare(0, 4, "alt+") == 0 &&
               std::isalnum(static_cast<unsigned char>(key[4]))) {
      if (!form->PressAccelerator(key[4])) {
        *error = "no control answers " + Trim(rest);
        return false;
      }
    } else if (key.size() == 1 &&
               (std::isalnum(static_cast<unsigned char>(key[0])) || key == "+" || key == "-")) {
      if (!form->KeyChar(key[0])) {
        const Control* focused = form->active_control;
        *error = "no control answers " + Trim(rest) +
                 (focused != nullptr && (focused->kind == ControlKind::kEdit ||
                                         focused->kind == ControlKind::kMemo ||
                                         focused->kind == ControlKind::kComboBox ||
                                         focused->kind == ControlKind::kTreeView)
                      ? " (the focus is in " + focused->name + ", which takes letters)"
                      : "");
        return false;
      }
    } else {
      *error = "unknown key \"" + Trim(rest) + "\" (Enter, Escape, Tab, Shift+Tab, Space, Up, "
               "Down, Left, Right, F4, Alt+F4, Alt+Shift+F4, Alt+letter, letter, + or -)";
      return false;
    }
    return true;
  }

  const bool known = verb == "click" || verb == "check" || verb == "uncheck" ||
                     verb == "select" || verb == "type" || verb == "focus";
  if (!known) {
    *error = "unknown action \"" + verb +
             "\" (click, check, uncheck, select, type, focus, key, close)";
    return false;
  }
  const std::string name = NextWord(rest);
  if (name.empty()) {
    *error = verb + " needs a control name";
    return false;
  }
  const Control* control = form->Find(name);
  if (control == nullptr || !control->visible) {
    *error = "no control " + name + " on " + form->class_name;
    return false;
  }
  if (!control->enabled) {
    *error = name + " is disabled";
    return false;
  }
  const std::string what = std::string(KindName(control->kind));

  bool done = false;
  if (verb == "click") {
    done = form->Click(name);
  } else if (verb == "check" || verb == "uncheck") {
    done = form->SetChecked(name, verb == "check");
  } else if (verb == "focus") {
    done = form->Focus(name);
  } else if (verb == "type") {
    done = form->TypeText(name, rest);  // the rest of the line, spaces kept
  } else {  // select
    const std::string value = Trim(rest);
    if (control->kind == ControlKind::kTreeView) {
      done = form->SelectPath(name, value);
      if (!done) {
        *error = "no folder " + value + " in " + name;
        return false;
      }
    } else if (control->kind == ControlKind::kComboBox) {
      int index = -1;
      const auto& items = control->items;
      for (size_t i = 0; i < items.size() && index < 0; ++i)
        if (items[i] == value) index = static_cast<int>(i);
      for (size_t i = 0; i < items.size() && index < 0; ++i)
        if (Lower(items[i]) == Lower(value)) index = static_cast<int>(i);
      if (index < 0 && !value.empty() &&
          std::all_of(value.begin(), value.end(),
                      [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }) &&
          value.size() < 9)
        index = std::stoi(value);
      if (index < 0 || index >= static_cast<int>(items.size())) {
        *error = "no entry " + value + " in " + name;
        return false;
      }
      done = form->SelectItem(name, index);
    }
  }
  if (!done) *error = "cannot " + verb + " " + name + " (a " + what + ")";
  return done;
}

int ConsoleFrontEnd::MessageBox(const std::string& text, const std::string& caption,
                                unsigned flags) {
  out_ << "--- message box: " << AnsiToUtf8(caption) << " ---\n" << AnsiToUtf8(text) << "\n";
  const unsigned buttons = flags & 0x0F;
  int answer = platform::IDOK;
  if (buttons == platform::MB_YESNO || buttons == platform::MB_OKCANCEL) {
    const bool yes_no = buttons == platform::MB_YESNO;
    out_ << (yes_no ? "[yes] [no]\n" : "[ok] [cancel]\n");
    out_.flush();
    for (;;) {
      std::string line;
      if (!ReadLine(&line)) {
        // No one is left to answer: the negative answer, and the run ends.
        forms::App().Terminate();
        answer = yes_no ? platform::IDNO : platform::IDCANCEL;
        break;
      }
      const std::string word = Lower(Trim(line));
      if (word.empty() || word[0] == '#') continue;
      if (yes_no && (word == "yes" || word == "y")) answer = platform::IDYES;
      else if (yes_no && (word == "no" || word == "n")) answer = platform::IDNO;
      else if (!yes_no && word == "ok") answer = platform::IDOK;
      else if (!yes_no && word == "cancel") answer = platform::IDCANCEL;
      else {
        out_ << "error: answer " << (yes_no ? "yes or no" : "ok or cancel") << "\n";
        continue;
      }
      break;
    }
  } else {
    out_ << "[ok]\n";
  }
  out_.flush();
  message_boxes.push_back({caption, text, flags, answer});
  return answer;
}

}  // namespace qr5::front_ends
