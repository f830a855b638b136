#include "platform/sim/sim_short_names.h"

#include <cstdint>
#include <cstring>

#include "platform/sim/sim_codepage.h"

namespace qr5::platform::sim {

namespace {

bool IsShortNameChar(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c < 0x20) return false;
  return std::strchr("\"*+,/:;<=>?[\\]| .", ch) == nullptr;
}

}  // namespace

bool IsLegalShortName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  const size_t dot = name.find('.');
  if (dot != std::string::npos && name.find('.', dot + 1) != std::string::npos) return false;
  const std::string base = name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string::npos && ext.empty()) return false;
  for (char c : base) {
    if (!IsShortNameChar(c)) return false;
  }
  for (char c : ext) {
    if (!IsShortNameChar(c)) return false;
  }
  return true;
}

std::string MakeShortName(const std::string& long_name) {
  const std::string upper = AnsiUpper(long_name);
  // FNV-1a over the upper-cased name: the alias must not depend on case.
  uint32_t hash = 2166136261u;
  for (char c : upper) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  static const char kSymbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
  const size_t dot = upper.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? upper : upper.substr(0, dot);
  const std::string ext = dot == std::string::npos || dot == 0 ? "" : upper.substr(dot + 1);
  std::string alias;
  for (char c : stem) {
    if (alias.size() == 4) break;
    if (IsShortNameChar(c)) alias.push_back(c);
  }
  alias.push_back('~');
  for (int i = 0; i < 3; ++i) {
    alias.push_back(kSymbols[hash & 31]);
    hash >>= 5;
  }
  std::string short_ext;
  for (char c : ext) {
    if (short_ext.size() == 3) break;
    if (IsShortNameChar(c)) short_ext.push_back(c);
  }
  if (!short_ext.empty()) alias += "." + short_ext;
  return alias;
}

}  // namespace qr5::platform::sim
