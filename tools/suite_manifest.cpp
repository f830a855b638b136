#include "suite_manifest.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "archive/crc32.h"
#include "lang/ini_normal_form.h"
#include "platform/sim/sim_codepage.h"

namespace qr5::tools {

namespace {

namespace fs = std::filesystem;

// Names compare as the simulated machine's file system compares them.
using platform::sim::AnsiUpper;

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

// The list's line of one file: path, size, CRC-32, whether a program INI.
std::string Row(const std::string& relative, const std::string& data, bool setup_ini) {
  const std::string listed = setup_ini ? lang::IniNormalForm(data) : data;
  const uint32_t crc = ~archive::UpdateCrc(archive::kCrcInit,
                                           reinterpret_cast<const uint8_t*>(listed.data()), listed.size());
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, ", %zuu, 0x%08Xu, ", listed.size(), static_cast<unsigned>(crc));
  return "{" + Literal(relative) + numbers + (setup_ini ? "true" : "false") + "}";
}

bool ReadAll(const fs::path& path, std::string* data) {
  std::ifstream in(path, std::ios::binary);
  data->assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return in.is_open() && (in.good() || in.eof());
}

}  // namespace

std::string WriteSuiteManifest(const std::string& folder, const std::string& out_cpp,
                               const std::string& exclude,
                               const std::map<std::string, std::string>& substitutes,
                               const std::string& helper) {
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
    if (AnsiUpper(relative) == AnsiUpper(exclude)) continue;
    fs::path source = path;
    for (const auto& [name, file] : substitutes) {
      if (AnsiUpper(name) == AnsiUpper(relative)) source = file;
    }
    std::string data;
    if (!ReadAll(source, &data)) return source.string() + ": cannot be read";
    const bool setup_ini = AnsiUpper(path.extension().string()) == ".INI" && lang::HasSetupSection(data);
    out << "    " << Row(relative, data, setup_ini) << ",\n";
    ++count;
  }
  if (count == 0) return folder + ": no files";
  out << "};\n\nconst size_t kSuiteFileCount = " << count << ";\n\n";
  // Without a library to list, an entry no library matches: none is deleted.
  std::string helper_row = "{\"KAVO5.DLL\", 0xFFFFFFFFu, 0u, false}";
  if (!helper.empty()) {
    std::string data;
    if (!ReadAll(helper, &data)) return helper + ": cannot be read";
    helper_row = Row("KAVO5.DLL", data, false);
  }
  out << "const SuiteFile kHelperLibraryFile = " << helper_row << ";\n\n}  // namespace qr5::uninstall\n";

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
