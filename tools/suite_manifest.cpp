#include "suite_manifest.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "archive/crc32.h"

namespace qr5::tools {

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The [Setup] LanguageFile line of an INI text, without its line end: ""
// when the section has none, nullopt when there is no [Setup] section.
std::optional<std::string> LanguageLine(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  bool in_setup = false, has_setup = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (!t.empty() && t[0] == '[') {
      in_setup = Upper(t) == "[SETUP]";
      has_setup |= in_setup;
      continue;
    }
    const size_t eq = t.find('=');
    if (in_setup && eq != std::string::npos && Upper(Trim(t.substr(0, eq))) == "LANGUAGEFILE") return line;
  }
  if (has_setup) return std::string();
  return std::nullopt;
}

// A C string literal; every byte outside plain ASCII as an octal escape.
std::string Literal(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\%03o", c);
      out += esc;
    }
  }
  return out + "\"";
}

}  // namespace

std::string WriteSuiteManifest(const std::string& folder, const std::string& out_cpp,
                               const std::string& exclude) {
  std::error_code error;
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it);
       it.increment(error)) {
    if (it->is_regular_file()) files.push_back(it->path());
  }
  if (error) return folder + ": " + error.message();
  std::sort(files.begin(), files.end());

  std::ostringstream out;
  out << "// Made at build time from the suite folder by qr5pack manifest.\n"
         "#include \"uninstall/suite_manifest.h\"\n\n"
         "namespace qr5::uninstall {\n\nconst SuiteFile kSuiteFiles[] = {\n";
  size_t count = 0;
  for (const fs::path& path : files) {
    std::string relative = fs::relative(path, folder).generic_string();
    std::replace(relative.begin(), relative.end(), '/', '\\');
    if (Upper(relative) == Upper(exclude)) continue;
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return path.string() + ": cannot be read";
    const uint32_t crc = ~archive::UpdateCrc(archive::kCrcInit,
                                             reinterpret_cast<const uint8_t*>(data.data()), data.size());
    const std::string ext = Upper(path.extension().string());
    const std::optional<std::string> language = ext == ".INI" ? LanguageLine(data) : std::nullopt;
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, ", %zuu, 0x%08Xu, ", data.size(), static_cast<unsigned>(crc));
    out << "    {" << Literal(relative) << numbers << (language ? Literal(*language) : "nullptr")
        << "},\n";
    ++count;
  }
  if (count == 0) return folder + ": no files";
  out << "};\n\nconst size_t kSuiteFileCount = " << count << ";\n\n}  // namespace qr5::uninstall\n";

  // Rewritten only when it changes, so that an unchanged suite rebuilds nothing.
  std::ifstream old(out_cpp, std::ios::binary);
  const std::string previous((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
  if (previous == out.str()) return "";
  std::ofstream file(out_cpp, std::ios::binary | std::ios::trunc);
  file << out.str();
  file.close();
  return file ? "" : out_cpp + ": cannot be written";
}

}  // namespace qr5::tools
