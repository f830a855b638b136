// The log of an unattended run (/LOG): one line per step and per failure,
// each with the local time. A log that cannot be written is said once and
// the run goes on without it.
#pragma once

#include <memory>
#include <string>

namespace qr5::platform {
class File;
}

namespace qr5::session {

class RunLog {
 public:
  RunLog();
  ~RunLog();
  // Starts the log at path (made anew). When it cannot be made, tell() is
  // called once with the reason and the log stays closed.
  void Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }
  // "YYYY-MM-DD HH:MM:SS  text", the text on one line.
  void Line(const std::string& text);

 private:
  void Fail();
  std::unique_ptr<platform::File> file_;
  std::string path_;
};

// The process's log; closed unless /LOG opened it.
RunLog& Log();

// The default log file: prefix + " YYYY-MM-DD #NNN.txt" in folder (which
// ends in a backslash), NNN the first number from 001 not taken yet.
std::string DefaultLogPath(const std::string& folder, const std::string& prefix);

// Opens the log the command line asks for, in the system's temporary
// folder unless it names a file, and writes its first line.
void StartLog(const std::string& log_file, const std::string& prefix, const std::string& command_line);

}  // namespace qr5::session
