#include "install/install_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "forms/application.h"
#include "session/session_state.h"

namespace qr5::install::testing {

namespace fs = std::filesystem;

std::string ReadHostFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary | std::ios::ate);
  if (!in) return "";
  std::string text(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

void WriteHostFile(const std::string& host_path, const std::string& content) {
  fs::create_directories(fs::path(host_path).parent_path());
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string SuiteSourceDir() { return std::string(QR5_SOURCE_DIR) + "/payload/suite"; }

std::string DemoSetupHostPath() {
  const std::string built = std::string(QR5_BINARY_DIR) + "/bin/QR5_Installer";
  if (fs::exists(built)) return built;
  static std::string made;
  if (!made.empty()) return made;
  const fs::path dir = fs::temp_directory_path() / ("qr5-install-setup-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string zip = (dir / "suite.zip").string();
  const std::string exe = (dir / "QR5_Installer").string();
  // A stub in front of the archive, with the offsets adjusted by zip -A, as
  // a self-extracting executable is made.
  const std::string command = "cd '" + SuiteSourceDir() + "' && rm -f '" + zip +
                              "' && zip -q -r -X '" + zip + "' . && { printf 'MZ stub of the setup program'; cat '" +
                              zip + "'; } > '" + exe + "' && zip -q -A '" + exe + "'";
  if (std::system(command.c_str()) != 0) return "";
  made = exe;
  return made;
}

void InstallTest::SetUp() {
  std::string pattern = (fs::temp_directory_path() / "qr5install.XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  platform::sim::SimMachine::CreateFresh(root_);
  Reopen();
  const std::string setup = DemoSetupHostPath();
  ASSERT_FALSE(setup.empty()) << "no demo setup";
  WriteHostFile(Host(kSetupExe), ReadHostFile(setup));
  WriteFile("D:\\SETUP\\KAVO5.DLL", ReadHostFile(std::string(QR5_SOURCE_DIR) + "/payload/KAVO5.DLL"));
}

void InstallTest::Reopen() {
  forms::App().Reset();
  session::Session() = session::SessionState();
  platform::Install(nullptr);
  sim_.reset();
  sim_ = platform::sim::SimMachine::Open(root_);
  sim_->SetModuleFileName(kSetupExe);
  platform::Install(&sim_->machine());
  fe_ = qr5::testing::ScriptedFrontEnd();
  forms::App().SetFrontEnd(&fe_);
  forms::App().title = "QR5_Installer";
  forms::App().show_main_form = false;
}

void InstallTest::TearDown() {
  forms::App().Reset();
  session::Session() = session::SessionState();
  platform::Install(nullptr);
  sim_.reset();
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void InstallTest::WriteFile(const std::string& windows_path, const std::string& content) {
  WriteHostFile(Host(windows_path), content);
}

bool InstallTest::FileExists(const std::string& windows_path) {
  const uint32_t a = files().GetFileAttributes(windows_path);
  return a != platform::INVALID_FILE_ATTRIBUTES && (a & platform::FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool InstallTest::DirExists(const std::string& windows_path) {
  const uint32_t a = files().GetFileAttributes(windows_path);
  return a != platform::INVALID_FILE_ATTRIBUTES && (a & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void InstallTest::SetReadOnly(const std::string& windows_path) {
  const uint32_t a = files().GetFileAttributes(windows_path);
  ASSERT_NE(a, platform::INVALID_FILE_ATTRIBUTES) << windows_path;
  ASSERT_TRUE(files().SetFileAttributes(windows_path, a | platform::FILE_ATTRIBUTE_READONLY));
}

std::vector<std::string> InstallTest::List(const std::string& windows_folder) {
  std::vector<std::string> names;
  const std::string host = Host(windows_folder);
  if (host.empty() || !fs::is_directory(host)) return names;
  for (const auto& entry : fs::directory_iterator(host)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

platform::sim::RegDatabase InstallTest::Registry() {
  return platform::sim::RegDatabase::Parse(ReadHostFile(root_ + "/registry.reg"), "registry.reg");
}

std::optional<std::string> InstallTest::RegText(const std::string& full_key, const std::string& name) {
  platform::sim::RegDatabase db = Registry();
  platform::sim::RegKey* key = db.Find(full_key);
  if (key == nullptr) return std::nullopt;
  const platform::sim::RegValue* value = key->Find(name);
  if (value == nullptr || value->type != platform::REG_SZ || value->data.empty() ||
      value->data.back() != 0) {
    return std::nullopt;
  }
  return std::string(value->data.begin(), value->data.end() - 1);
}

std::optional<uint32_t> InstallTest::RegDword(const std::string& full_key, const std::string& name) {
  platform::sim::RegDatabase db = Registry();
  platform::sim::RegKey* key = db.Find(full_key);
  const platform::sim::RegValue* value = key == nullptr ? nullptr : key->Find(name);
  if (value == nullptr || value->type != platform::REG_DWORD || value->data.size() != 4) return std::nullopt;
  return static_cast<uint32_t>(value->data[0] | value->data[1] << 8 | value->data[2] << 16 |
                               static_cast<uint32_t>(value->data[3]) << 24);
}

std::vector<std::string> InstallTest::RegValueNames(const std::string& full_key) {
  platform::sim::RegDatabase db = Registry();
  std::vector<std::string> names;
  if (platform::sim::RegKey* key = db.Find(full_key)) {
    for (const auto& value : key->values) names.push_back(value.name);
  }
  return names;
}

void InstallTest::SetRegValue(platform::HKEY root, const std::string& key, const std::string& name,
                              uint32_t type, const std::vector<uint8_t>& data) {
  platform::Registry& reg = *platform::Sys().registry;
  platform::HKEY handle = 0;
  ASSERT_EQ(reg.CreateKey(root, key, &handle), 0L) << key;
  EXPECT_EQ(reg.SetValue(handle, name, type, data.data(), static_cast<uint32_t>(data.size())), 0L);
  reg.CloseKey(handle);
}

void InstallTest::SetRegText(platform::HKEY root, const std::string& key, const std::string& name,
                             const std::string& text) {
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  SetRegValue(root, key, name, platform::REG_SZ, data);
}

void InstallTest::SetVersion(int32_t platform_id, int32_t major, int32_t minor, int32_t build,
                             const std::string& csd) {
  sim_->SetVersion(platform::OsVersion{platform_id, major, minor, build, csd});
}

}  // namespace qr5::install::testing
