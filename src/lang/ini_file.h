// TIniFile: one profile (INI) file read and written through the system's
// profile functions, as the language files and the suite's INI files are.
#pragma once

#include <string>

namespace qr5::lang {

class TIniFile {
 public:
  explicit TIniFile(std::string path) : path_(std::move(path)) {}

  const std::string& FileName() const { return path_; }

  // Missing keys give the default; a file that does not exist gives every
  // default.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) const;
  // Decimal, or hexadecimal with a leading "0x"/"0X"; anything else gives
  // the default.
  int ReadInteger(const std::string& section, const std::string& key, int default_value) const;
  // Raises Error("Unable to write to " + path) on failure.
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) const;

 private:
  std::string path_;
};

}  // namespace qr5::lang
