// The uninstaller's texts: section [UnInstaller] of the language file that
// the installation recorded, read once at start (the file itself is one of
// the files removed), with the English text for any key a file lacks.
#pragma once

#include <map>
#include <string>

namespace qr5::uninstall {

class UninstallTexts {
 public:
  // Every key from the file at path; a missing file or key gives the
  // English text.
  void Load(const std::string& language_file);
  // The English texts alone.
  void LoadDefaults() { Load(""); }
  // The text of key ("Caption", "1_001", ...); "" for a key the uninstaller
  // does not know.
  const std::string& operator[](const std::string& key) const;

 private:
  std::map<std::string, std::string> texts_;
};

// The texts of this run.
UninstallTexts& Texts();

// Shown when no installation is recorded or its folder is gone; the record
// names no language then, so the text is English.
inline constexpr const char* kNotInstalledText = "Quorlin 5 is not installed on this computer.";

}  // namespace qr5::uninstall
