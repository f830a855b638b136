#include "pages/text_file_lines.h"

#include "platform/platform.h"

namespace qr5::pages {

uint32_t ReadTextFileLines(const std::string& path, std::vector<std::string>* lines) {
  platform::FileSystem& fs = *platform::Sys().files;
  std::unique_ptr<platform::File> file = fs.OpenFile(path, platform::OpenMode::kRead);
  if (!file) {
    const uint32_t code = fs.GetLastError();
    return code != 0 ? code : platform::ERROR_FILE_NOT_FOUND;
  }
  std::string line;
  bool line_open = false;  // characters (or nothing) read since the last line end
  bool after_cr = false;   // an LF right after a CR belongs to the same line end
  char buffer[4096];
  for (;;) {
    uint32_t got = 0;
    if (!file->Read(buffer, sizeof buffer, &got)) {
      // A line cut by the error is not shown.
      const uint32_t code = fs.GetLastError();
      return code != 0 ? code : platform::ERROR_INVALID_HANDLE;
    }
    if (got == 0) break;
    for (uint32_t i = 0; i < got; ++i) {
      const char c = buffer[i];
      if (c == '\n' && after_cr) {
        after_cr = false;
        continue;
      }
      after_cr = c == '\r';
      if (c == '\r' || c == '\n') {
        lines->push_back(line);
        line.clear();
        line_open = false;
      } else {
        line.push_back(c);
        line_open = true;
      }
    }
  }
  if (line_open) lines->push_back(line);
  return 0;
}

std::string InOutErrorText(uint32_t code) {
  switch (code) {
    case platform::ERROR_FILE_NOT_FOUND:
      return "File not found";
    case platform::ERROR_PATH_NOT_FOUND:
      return "Path not found";
    case platform::ERROR_ACCESS_DENIED:
      return "File access denied";
    default:
      break;
  }
  std::string text = platform::Sys().files->SystemErrorText(code);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text.empty() ? "I/O error " + std::to_string(code) : text;
}

}  // namespace qr5::pages
