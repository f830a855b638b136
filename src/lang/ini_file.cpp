#include "lang/ini_file.h"

#include <cerrno>
#include <cctype>
#include <cstdlib>

#include "platform/error.h"
#include "platform/platform.h"

namespace qr5::lang {

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& default_value) const {
  return platform::Sys().profile->GetString(path_, section, key, default_value);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key,
                          int default_value) const {
  const std::string text = ReadString(section, key, "");
  if (text.empty()) return default_value;
  const char* begin = text.c_str();
  int base = 10;
  bool negative = false;
  if (*begin == '-' || *begin == '+') {
    negative = *begin == '-';
    ++begin;
  }
  if (begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X')) {
    base = 16;
    begin += 2;
  }
  if (*begin == '\0') return default_value;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, base);
  // Trailing garbage or a value outside 32 bits is not an integer.
  if (*end != '\0' || errno == ERANGE || value > 0x7FFFFFFFLL + (negative ? 1 : 0)) {
    return default_value;
  }
  if (!(begin[0] >= '0' && begin[0] <= '9') && !(base == 16 && std::isxdigit(static_cast<unsigned char>(begin[0])))) {
    return default_value;
  }
  return static_cast<int>(negative ? -value : value);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) const {
  if (!platform::Sys().profile->WriteString(path_, section, key, value)) {
    throw Error("Unable to write to " + path_);
  }
}

}  // namespace qr5::lang
