#include "session/run_log.h"

#include <ctime>

#include "forms/application.h"
#include "platform/platform.h"

namespace qr5::session {

namespace {

std::string TwoDigits(int n) { return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10); }

std::tm Now() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return local != nullptr ? *local : std::tm{};
}

std::string Date(const std::tm& t) {
  return std::to_string(t.tm_year + 1900) + "-" + TwoDigits(t.tm_mon + 1) + "-" + TwoDigits(t.tm_mday);
}

std::string Time(const std::tm& t) {
  return TwoDigits(t.tm_hour) + ":" + TwoDigits(t.tm_min) + ":" + TwoDigits(t.tm_sec);
}

// A message's lines joined: the log keeps one line per entry.
std::string OneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!line.empty() && line.back() != ' ') line += ' ';
      continue;
    }
    line += c == '\t' ? ' ' : c;
  }
  return line;
}

}  // namespace

RunLog::RunLog() = default;
RunLog::~RunLog() = default;

RunLog& Log() {
  static RunLog log;
  return log;
}

void RunLog::Open(const std::string& path) {
  Close();
  path_ = path;
  file_ = platform::Sys().files->OpenFile(path, platform::OpenMode::kCreateAlways);
  if (file_ == nullptr) Fail();
}

void RunLog::Close() {
  if (file_ != nullptr) file_->Flush();  // not essential: every line was written whole
  file_.reset();
}

void RunLog::Line(const std::string& text) {
  if (file_ == nullptr) return;
  const std::tm now = Now();
  const std::string line = Date(now) + " " + Time(now) + "  " + OneLine(text) + "\r\n";
  if (!file_->Write(line.data(), static_cast<uint32_t>(line.size()))) Fail();
}

void RunLog::Fail() {
  file_.reset();  // first, so that the message below is not logged
  forms::App().MessageBox("The log file " + path_ + " cannot be written; the run goes on without it.",
                          forms::App().title, platform::MB_OK | platform::MB_ICONWARNING);
}

std::string DefaultLogPath(const std::string& folder, const std::string& prefix) {
  const std::string stem = folder + prefix + " " + Date(Now()) + " #";
  for (int n = 1; n < 1000; ++n) {
    const std::string path = stem + static_cast<char>('0' + n / 100) + TwoDigits(n % 100) + ".txt";
    if (platform::Sys().files->GetFileAttributes(path) == platform::INVALID_FILE_ATTRIBUTES) return path;
  }
  return stem + "999.txt";
}

void StartLog(const std::string& log_file, const std::string& prefix, const std::string& command_line) {
  const std::string path =
      log_file.empty() ? DefaultLogPath(platform::Sys().files->GetTempPath(), prefix) : log_file;
  Log().Open(path);
  Log().Line(prefix.substr(0, prefix.find(' ')) + " started: " + command_line);
}

}  // namespace qr5::session
