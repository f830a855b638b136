#include "uninstall/wininit_line.h"

#include <memory>

#include "platform/platform.h"

namespace qr5::uninstall {

namespace {

using platform::Sys;

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Upper(const std::string& text) { return Sys().system->UpperCase(text); }

bool ReadAll(const std::string& path, std::string* text) {
  std::unique_ptr<platform::File> file = Sys().files->OpenFile(path, platform::OpenMode::kRead);
  if (!file) return Sys().files->GetLastError() == platform::ERROR_FILE_NOT_FOUND;
  char buffer[4096];
  for (;;) {
    uint32_t got = 0;
    if (!file->Read(buffer, sizeof buffer, &got)) return false;
    text->append(buffer, got);
    if (got < sizeof buffer) return true;
  }
}

}  // namespace

std::string WithWininitDeletion(const std::string& text, const std::string& short_path) {
  const std::string line = "NUL=" + short_path;
  // Where the line goes: after the last line that carries something in
  // [rename]; npos while no such section was seen.
  size_t insert_at = std::string::npos;
  bool in_rename = false;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string trimmed = Trimmed(text.substr(start, end - start));
    if (!trimmed.empty() && trimmed[0] == '[') {
      in_rename = Upper(trimmed) == "[RENAME]";
      if (in_rename) insert_at = end;
    } else if (in_rename) {
      if (Upper(trimmed) == Upper(line)) return text;
      if (!trimmed.empty()) insert_at = end;
    }
    start = end;
  }
  if (insert_at == std::string::npos) {
    std::string out = text;
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    return out + "[rename]\r\n" + line + "\r\n";
  }
  std::string before = text.substr(0, insert_at);
  if (!before.empty() && before.back() != '\n') before += "\r\n";
  return before + line + "\r\n" + text.substr(insert_at);
}

bool AddWininitDeletion(const std::string& windows_dir, const std::string& short_path) {
  const std::string path = windows_dir + "\\WININIT.INI";
  std::string text;
  if (!ReadAll(path, &text)) return false;
  const std::string updated = WithWininitDeletion(text, short_path);
  if (updated == text) return true;
  const std::string temporary = windows_dir + "\\WININIT.~QR";
  bool written = false;
  {
    std::unique_ptr<platform::File> file = Sys().files->OpenFile(temporary, platform::OpenMode::kCreateAlways);
    written = file && file->Write(updated.data(), static_cast<uint32_t>(updated.size())) && file->Flush();
  }
  if (written && Sys().files->MoveFileReplace(temporary, path)) return true;
  Sys().files->DeleteFile(temporary);
  return false;
}

}  // namespace qr5::uninstall
