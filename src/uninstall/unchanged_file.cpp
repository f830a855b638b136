#include "uninstall/unchanged_file.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "archive/crc32.h"
#include "platform/platform.h"

namespace qr5::uninstall {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::unique_ptr<platform::File> file =
      platform::Sys().files->OpenFile(path, platform::OpenMode::kRead);
  if (!file) return std::nullopt;
  std::string data;
  char buffer[16384];
  for (;;) {
    uint32_t got = 0;
    if (!file->Read(buffer, sizeof buffer, &got)) return std::nullopt;
    data.append(buffer, got);
    if (got < sizeof buffer) return data;
  }
}

uint32_t Crc32Of(const std::string& data) {
  return ~archive::UpdateCrc(archive::kCrcInit, reinterpret_cast<const uint8_t*>(data.data()),
                             data.size());
}

std::string WithLanguageLine(const std::string& data, const std::string& line) {
  bool in_setup = false;
  size_t at = 0;
  while (at < data.size()) {
    size_t end = data.find('\n', at);
    if (end == std::string::npos) end = data.size();
    size_t content_end = end;
    if (content_end > at && data[content_end - 1] == '\r') --content_end;
    const std::string text = Trim(data.substr(at, content_end - at));
    if (!text.empty() && text[0] == '[') {
      in_setup = Upper(text) == "[SETUP]";
    } else if (in_setup) {
      const size_t eq = text.find('=');
      if (eq != std::string::npos && Upper(Trim(text.substr(0, eq))) == "LANGUAGEFILE") {
        // No line shipped: the setup added this one, line end and all.
        if (line.empty()) return data.substr(0, at) + data.substr(std::min(end + 1, data.size()));
        return data.substr(0, at) + line + data.substr(content_end);
      }
    }
    at = end + 1;
  }
  return data;
}

bool IsUnchanged(const std::string& path, const SuiteFile& entry) {
  const uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  std::optional<std::string> data = ReadWholeFile(path);
  if (!data) return false;
  if (entry.language_line != nullptr) *data = WithLanguageLine(*data, entry.language_line);
  return data->size() == entry.size && Crc32Of(*data) == entry.crc32;
}

}  // namespace qr5::uninstall
