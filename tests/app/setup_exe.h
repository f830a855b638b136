// Setup executables for tests: a program file with a ZIP archive appended,
// made with Info-ZIP (zip -A fixes the offsets to count from the first byte
// of the file, as a self-extracting archive has them).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace qr5::testing {

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes program + a ZIP of the named files of the sample suite to target
// (a host path). program may be any file; files are stored under the names
// given, which need not be the suite's spelling.
inline void MakeSetupExe(const std::string& program, const std::string& target,
                         const std::vector<std::pair<std::string, std::string>>& suite_files) {
  namespace fs = std::filesystem;
  const fs::path work = fs::path(target).parent_path() / ".zipwork";
  fs::remove_all(work);
  fs::create_directories(work);
  std::string names;
  for (const auto& [suite_name, stored_name] : suite_files) {
    fs::copy_file(fs::path(QR5_SOURCE_DIR) / "payload" / "suite" / suite_name, work / stored_name);
    names += " " + Quote(stored_name);
  }
  const fs::path zip = work / "payload.zip";
  if (!suite_files.empty()) {
    const std::string zip_cmd = "cd " + Quote(work.string()) + " && zip -q -X " +
                                Quote(zip.string()) + names;
    ASSERT_EQ(std::system(zip_cmd.c_str()), 0) << zip_cmd;
  }
  {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << ReadAll(program);
    if (!suite_files.empty()) out << ReadAll(zip.string());
  }
  if (!suite_files.empty()) {
    const std::string fix = "zip -q -A " + Quote(target);
    ASSERT_EQ(std::system(fix.c_str()), 0) << fix;
  }
  fs::permissions(target, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace);
  fs::remove_all(work);
}

// The language and license files of two languages.
inline std::vector<std::pair<std::string, std::string>> LanguagePayload() {
  return {{"language.eng", "LANGUAGE.ENG"},
          {"LICENSE.ENG", "LICENSE.ENG"},
          {"LANGUAGE.ITA", "LANGUAGE.ITA"},
          {"LICENSE.ITA", "LICENSE.ITA"}};
}

}  // namespace qr5::testing
