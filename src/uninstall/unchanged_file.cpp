#include "uninstall/unchanged_file.h"

#include <memory>

#include "archive/crc32.h"
#include "lang/ini_normal_form.h"
#include "platform/platform.h"

namespace qr5::uninstall {


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

bool IsUnchanged(const std::string& path, const SuiteFile& entry) {
  const uint32_t attributes = platform::Sys().files->GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
      (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  std::optional<std::string> data = ReadWholeFile(path);
  if (!data) return false;
  if (entry.setup_ini) *data = lang::IniNormalForm(*data);
  return data->size() == entry.size && Crc32Of(*data) == entry.crc32;
}

}  // namespace qr5::uninstall
