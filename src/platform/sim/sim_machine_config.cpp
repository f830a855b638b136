#include "platform/sim/sim_machine_config.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "platform/sim/sim_codepage.h"
#include "platform/sim/sim_host_io.h"
#include "platform/sim/sim_ini_text.h"

namespace qr5::platform::sim {

namespace {

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

[[noreturn]] void Fail(const std::string& path, int line, const std::string& what) {
  throw std::runtime_error(path + ":" + std::to_string(line) + ": " + what);
}

bool ParseNumber(const std::string& text, long long min, long long max, long long* out) {
  if (text.empty()) return false;
  const char* begin = text.c_str();
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    begin += 2;
  }
  if (*begin == '+' || (*begin == '-' && base == 16)) return false;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, base);
  if (errno != 0 || end == begin || *end != '\0' || value < min || value > max) return false;
  *out = value;
  return true;
}

}  // namespace

MachineConfig LoadMachineConfig(const std::string& path) {
  MachineConfig config;
  std::string text;
  if (!ReadHostFile(path, &text)) {
    if (errno == ENOENT) return config;
    throw std::runtime_error(path + ": cannot be read");
  }
  std::string section;
  int number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    const std::string line = Trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    ++number;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') Fail(path, number, "section header without ']'");
      section = AnsiUpper(Trim(line.substr(1, line.size() - 2)));
      if (section != "VERSION" && section != "LOCALE" && section != "PATHS" &&
          section != "FREESPACE" && section != "DRIVES") {
        Fail(path, number, "unknown section [" + line.substr(1, line.size() - 2) + "]");
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) Fail(path, number, "expected key=value, found \"" + line + "\"");
    const std::string key = Trim(line.substr(0, eq));
    const std::string upper_key = AnsiUpper(key);
    std::string value = Trim(line.substr(eq + 1));
    // Quotes keep blanks at either end: CSDVersion=" A " (Windows 98 SE).
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (section.empty()) Fail(path, number, "key \"" + key + "\" outside of a section");
    long long n = 0;
    auto number_value = [&](long long min, long long max) {
      if (!ParseNumber(value, min, max, &n)) {
        Fail(path, number, "\"" + key + "\" needs a number, found \"" + value + "\"");
      }
      return n;
    };
    if (section == "VERSION") {
      if (upper_key == "PLATFORMID") {
        config.version.platform_id = static_cast<int32_t>(number_value(0, 0x7FFFFFFF));
      } else if (upper_key == "MAJOR") {
        config.version.major = static_cast<int32_t>(number_value(0, 0x7FFFFFFF));
      } else if (upper_key == "MINOR") {
        config.version.minor = static_cast<int32_t>(number_value(0, 0x7FFFFFFF));
      } else if (upper_key == "BUILD") {
        // The whole 32-bit field, as Windows 9x fills it.
        config.version.build = static_cast<int32_t>(static_cast<uint32_t>(number_value(-0x80000000LL, 0xFFFFFFFFLL)));
      } else if (upper_key == "CSDVERSION") {
        if (value.size() > 127) Fail(path, number, "CSDVersion is longer than 127 characters");
        config.version.csd_version = value;
      } else {
        Fail(path, number, "unknown key \"" + key + "\" in [Version]");
      }
    } else if (section == "LOCALE") {
      if (upper_key == "CODEPAGE") {
        config.code_page = static_cast<int>(number_value(0, 65535));
        if (!KnownCodePage(config.code_page))
          Fail(path, number, "CodePage " + value + " is none of 1252, 932, 936, 949, 950");
      } else if (upper_key == "LANGUAGENAME") {
        config.language_name = value;
      } else {
        Fail(path, number, "unknown key \"" + key + "\" in [Locale]");
      }
    } else if (section == "PATHS") {
      if (upper_key != "TEMPDIR") Fail(path, number, "unknown key \"" + key + "\" in [Paths]");
      if (value.size() < 3 || value[1] != ':' || value[2] != '\\' ||
          !std::isalpha(static_cast<unsigned char>(value[0]))) {
        Fail(path, number, "TempDir must be a full path such as C:\\WINDOWS\\TEMP\\");
      }
      config.temp_dir = value;
      if (config.temp_dir.back() != '\\') config.temp_dir.push_back('\\');
    } else if (section == "FREESPACE") {
      if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) {
        Fail(path, number, "[FreeSpace] keys are drive letters, found \"" + key + "\"");
      }
      config.free_space[AnsiUpper(key[0])] = number_value(0, 0x7FFFFFFFFFFFFFFFLL);
    } else if (section == "DRIVES") {
      if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) {
        Fail(path, number, "[Drives] keys are drive letters, found \"" + key + "\"");
      }
      if (AnsiUpper(value) != "NOTREADY") Fail(path, number, "[Drives] knows only NotReady");
      config.not_ready_drives.push_back(AnsiUpper(key[0]));
    }
  }
  return config;
}

std::string DefaultMachineIni() {
  return "; The simulated machine. A missing key takes the value shown here.\r\n"
         "[Version]\r\n"
         "PlatformId=2\r\n"
         "Major=5\r\n"
         "Minor=1\r\n"
         "Build=2600\r\n"
         "CSDVersion=Service Pack 2\r\n"
         "\r\n"
         "[Locale]\r\n"
         "LanguageName=English (United States)\r\n"
         "; The ANSI code page: 1252, or the double-byte 932, 936, 949, 950.\r\n"
         "CodePage=1252\r\n"
         "\r\n"
         "[Paths]\r\n"
         "TempDir=C:\\WINDOWS\\TEMP\\\r\n"
         "\r\n"
         "; Bytes free per drive letter; a drive without a key reports the host's free space.\r\n"
         "[FreeSpace]\r\n"
         "C=10737418240\r\n"
         "D=10737418240\r\n"
         "\r\n"
         "; A=NotReady lists a drive that holds no medium.\r\n"
         "[Drives]\r\n";
}

bool WriteMachineSetting(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& raw_value) {
  const bool quote = !raw_value.empty() &&
                     (std::isspace(static_cast<unsigned char>(raw_value.front())) ||
                      std::isspace(static_cast<unsigned char>(raw_value.back())) ||
                      raw_value.front() == '"');
  const std::string value = quote ? "\"" + raw_value + "\"" : raw_value;
  std::string text;
  if (!ReadHostFile(path, &text)) {
    if (errno != ENOENT) return false;
    text.clear();
  }
  return WriteHostFileAtomic(path, IniEdit(text, section, key, value));
}

}  // namespace qr5::platform::sim
