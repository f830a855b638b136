#include "platform/sim/sim_reg_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "platform/platform.h"
#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

namespace {

std::string TrimRight(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(0, end);
}

std::string TrimLeft(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size() && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  return text.substr(begin);
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t sep = path.find('\\', start);
    parts.push_back(path.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
  return parts;
}

class Parser {
 public:
  Parser(const std::string& label, int line) : label_(label), line_(line) {}
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(label_ + ":" + std::to_string(line_) + ": " + what);
  }

  // A quoted string at text[*pos] (on the opening quote).
  std::string Quoted(const std::string& text, size_t* pos) const {
    std::string out;
    size_t i = *pos + 1;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '"') {
        *pos = i + 1;
        return out;
      }
      if (c == '\\') {
        if (i + 1 >= text.size()) break;
        const char next = text[++i];
        if (next != '\\' && next != '"') Fail(std::string("unknown escape \\") + next + " in a string");
        out.push_back(next);
      } else {
        out.push_back(c);
      }
    }
    Fail("string without its closing quote");
  }

  std::vector<uint8_t> HexBytes(const std::string& text) const {
    std::vector<uint8_t> bytes;
    size_t i = 0;
    auto skip_space = [&] {
      while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    };
    skip_space();
    if (i == text.size()) return bytes;
    for (;;) {
      skip_space();
      if (i + 2 > text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
          !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
        Fail("expected two hex digits in \"" + text + "\"");
      }
      bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
      i += 2;
      skip_space();
      if (i == text.size()) return bytes;
      if (text[i] != ',') Fail("expected ',' between hex bytes in \"" + text + "\"");
      ++i;
    }
  }

 private:
  const std::string& label_;
  int line_;
};

void AppendHex(const std::vector<uint8_t>& data, size_t column, std::string* out) {
  for (size_t i = 0; i < data.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    *out += byte;
    column += 2;
    if (i + 1 < data.size()) {
      out->push_back(',');
      ++column;
      if (column > 76) {
        *out += "\\\r\n  ";
        column = 2;
      }
    }
  }
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

bool PlainString(const RegValue& value) {
  if (value.type != REG_SZ || value.data.empty() || value.data.back() != 0) return false;
  for (size_t i = 0; i + 1 < value.data.size(); ++i) {
    const uint8_t c = value.data[i];
    if (c == 0 || c == '\r' || c == '\n') return false;
  }
  return true;
}

}  // namespace

RegValue* RegKey::Find(const std::string& name) {
  for (RegValue& value : values) {
    if (AnsiEqualNoCase(value.name, name)) return &value;
  }
  return nullptr;
}

std::string RegDatabase::RootName(const std::string& name) {
  const std::string upper = AnsiUpper(name);
  if (upper == "HKEY_CLASSES_ROOT" || upper == "HKCR") return "HKEY_CLASSES_ROOT";
  if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") return "HKEY_CURRENT_USER";
  if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") return "HKEY_LOCAL_MACHINE";
  if (upper == "HKEY_USERS" || upper == "HKU") return "HKEY_USERS";
  if (upper == "HKEY_CURRENT_CONFIG" || upper == "HKCC") return "HKEY_CURRENT_CONFIG";
  return "";
}

RegDatabase::KeyId RegDatabase::IdOf(const std::string& path) {
  KeyId id;
  for (const std::string& part : SplitKeyPath(path)) id.push_back(AnsiUpper(part));
  if (!id.empty()) id[0] = RootName(id[0]);
  return id;
}

bool RegDatabase::Exists(const std::string& path) const {
  const KeyId id = IdOf(path);
  const auto it = keys_.lower_bound(id);
  if (it == keys_.end() || it->first.size() < id.size()) return false;
  for (size_t i = 0; i < id.size(); ++i) {
    if (it->first[i] != id[i]) return false;
  }
  return true;
}

RegKey* RegDatabase::Find(const std::string& path) {
  const auto it = keys_.find(IdOf(path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegKey& RegDatabase::Create(const std::string& path) {
  const std::vector<std::string> parts = SplitKeyPath(path);
  std::string spelled = RootName(parts[0]);
  RegKey* key = nullptr;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) spelled += "\\" + parts[i];
    auto [it, added] = keys_.try_emplace(IdOf(spelled));
    if (added) it->second.path = spelled;
    key = &it->second;
  }
  return *key;
}

void RegDatabase::Delete(const std::string& path) {
  const KeyId id = IdOf(path);
  auto it = keys_.lower_bound(id);
  while (it != keys_.end() && it->first.size() >= id.size() &&
         std::equal(id.begin(), id.end(), it->first.begin())) {
    it = keys_.erase(it);
  }
}

bool RegDatabase::HasSubKeys(const std::string& path) const {
  const KeyId id = IdOf(path);
  for (auto it = keys_.upper_bound(id); it != keys_.end(); ++it) {
    if (it->first.size() <= id.size() || !std::equal(id.begin(), id.end(), it->first.begin())) break;
    return true;
  }
  return false;
}

RegDatabase RegDatabase::Parse(const std::string& text, const std::string& label) {
  RegDatabase db;
  std::vector<std::string> lines;
  {
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text.size()) {
      size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) nl = text.size();
      std::string line = text.substr(pos, nl - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      pos = nl + 1;
    }
  }
  bool header = false;
  RegKey* current = nullptr;
  bool current_deleted = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    Parser parser(label, number);
    std::string line = TrimRight(TrimLeft(lines[i]));
    if (line.empty()) continue;
    if (!header) {
      if (line != "REGEDIT4") parser.Fail("expected the header REGEDIT4, found \"" + line + "\"");
      header = true;
      continue;
    }
    if (line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') parser.Fail("key line without ']'");
      std::string path = line.substr(1, line.size() - 2);
      const bool remove = !path.empty() && path[0] == '-';
      if (remove) path.erase(0, 1);
      const std::vector<std::string> parts = SplitKeyPath(path);
      if (RootName(parts[0]).empty()) parser.Fail("unknown root key \"" + parts[0] + "\"");
      for (const std::string& part : parts) {
        if (part.empty()) parser.Fail("empty key name in \"" + path + "\"");
      }
      if (remove) {
        db.Delete(path);
        current = nullptr;
        current_deleted = true;
      } else {
        current = &db.Create(path);
        current_deleted = false;
      }
      continue;
    }
    // A value; hex data may continue over lines that end in a backslash.
    while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
      line.pop_back();
      line += TrimRight(TrimLeft(lines[++i]));
    }
    if (line.empty()) continue;  // a lone "\" continued by blank lines
    if (current == nullptr) {
      if (current_deleted) parser.Fail("value under a deleted key");
      parser.Fail("value before the first key");
    }
    RegValue value;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      value.name = parser.Quoted(line, &pos);
    } else {
      parser.Fail("expected a value name in quotes or @, found \"" + line + "\"");
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') parser.Fail("expected '=' after the value name");
    ++pos;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    const std::string data = line.substr(pos);
    if (data == "-") {
      auto& values = current->values;
      for (auto it = values.begin(); it != values.end(); ++it) {
        if (AnsiEqualNoCase(it->name, value.name)) {
          values.erase(it);
          break;
        }
      }
      continue;
    }
    if (!data.empty() && data[0] == '"') {
      size_t end = 0;
      const std::string text_value = parser.Quoted(data, &end);
      if (!TrimLeft(data.substr(end)).empty()) parser.Fail("text after the closing quote");
      value.type = REG_SZ;
      value.data.assign(text_value.begin(), text_value.end());
      value.data.push_back(0);
    } else if (AnsiUpper(data.substr(0, 6)) == "DWORD:") {
      const std::string digits = data.substr(6);
      if (digits.empty() || digits.size() > 8 ||
          digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        parser.Fail("dword needs 1 to 8 hex digits, found \"" + digits + "\"");
      }
      const uint32_t n = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
      value.type = REG_DWORD;
      value.data = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                    static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
    } else if (AnsiUpper(data.substr(0, 3)) == "HEX") {
      size_t colon = data.find(':');
      if (colon == std::string::npos) parser.Fail("hex data without ':'");
      const std::string kind = data.substr(3, colon - 3);
      value.type = REG_BINARY;
      if (!kind.empty()) {
        if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' ||
            kind.find_first_not_of("0123456789abcdefABCDEF", 1) != kind.size() - 1 || kind.size() > 10) {
          parser.Fail("bad value type \"" + kind + "\" (expected hex(N))");
        }
        value.type = static_cast<uint32_t>(std::stoul(kind.substr(1, kind.size() - 2), nullptr, 16));
      }
      value.data = parser.HexBytes(data.substr(colon + 1));
    } else {
      parser.Fail("unknown value data \"" + data + "\"");
    }
    if (RegValue* existing = current->Find(value.name)) {
      existing->type = value.type;
      existing->data = std::move(value.data);
    } else {
      current->values.push_back(std::move(value));
    }
  }
  return db;
}

std::string RegDatabase::Serialize() const {
  std::string out = "REGEDIT4\r\n";
  for (const auto& [id, key] : keys_) {
    out += "\r\n[" + key.path + "]\r\n";
    for (const RegValue& value : key.values) {
      std::string line = value.name.empty() ? "@=" : "\"" + Escape(value.name) + "\"=";
      if (PlainString(value)) {
        line += "\"" + Escape(std::string(value.data.begin(), value.data.end() - 1)) + "\"";
      } else if (value.type == REG_DWORD && value.data.size() == 4) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x",
                      value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                          static_cast<uint32_t>(value.data[3]) << 24);
        line += digits;
      } else {
        if (value.type == REG_BINARY) {
          line += "hex:";
        } else {
          char kind[24];
          std::snprintf(kind, sizeof kind, "hex(%x):", value.type);
          line += kind;
        }
        AppendHex(value.data, line.size(), &line);
      }
      out += line + "\r\n";
    }
  }
  out += "\r\n";
  return out;
}

}  // namespace qr5::platform::sim
