#include "install/engine_settings.h"

#include "install/registry_key.h"
#include "lang/strip_trailing_backslash.h"

namespace qr5::install {

namespace {

constexpr char kEngineKey[] = "SOFTWARE\\Borland\\Database Engine";
// Where Windows puts Program Files when nothing else is recorded. The engine
// is shared by other products, which look for it there; the root of the
// current drive would be found by none of them.
constexpr char kDefaultProgramFiles[] = "C:\\Program Files";

}  // namespace

std::array<EngineSetting, 40> EngineSettings(const std::string& engine_dir) {
  const std::string dbase_init = "Settings\\DRIVERS\\DBASE\\INIT";
  const std::string date = "Settings\\SYSTEM\\FORMATS\\DATE";
  const std::string number = "Settings\\SYSTEM\\FORMATS\\NUMBER";
  const std::string time = "Settings\\SYSTEM\\FORMATS\\TIME";
  const std::string init = "Settings\\SYSTEM\\INIT";
  return {{
      {"", "DLLPATH", engine_dir},
      {"", "CONFIGFILE01", engine_dir + "\\IDAPI32.CFG"},
      {"", "RESOURCE", ""},
      {"", "SAVECONFIG", "WIN32"},
      {"", "UseCount", "1"},
      {"Settings\\DRIVERS\\DBASE\\TABLE CREATE", "LEVEL", "7"},
      {dbase_init, "VERSION", "4.0"},
      {dbase_init, "TYPE", "FILE"},
      {dbase_init, "LANGDRIVER", "DBWINWE0"},
      {date, "SEPARATOR", "/"},
      {date, "MODE", "1"},
      {date, "FOURDIGITYEAR", "FALSE"},
      {date, "YEARBIASED", "TRUE"},
      {date, "LEADINGZEROM", "TRUE"},
      {date, "LEADINGZEROD", "TRUE"},
      {number, "DECIMALSEPARATOR", ","},
      {number, "THOUSANDSEPARATOR", "."},
      {number, "DECIMALDIGITS", "2"},
      {number, "MILSECONDS", "FALSE"},
      {time, "TWELVEHOUR", "FALSE"},
      {time, "AMSTRING", "AM"},
      {time, "PMSTRING", "PM"},
      {time, "SECONDS", "TRUE"},
      {time, "MILSECONDS", "FALSE"},
      {init, "VERSION", "4.0"},
      {init, "LOCAL SHARE", "TRUE"},
      {init, "MINBUFSIZE", "4096"},
      {init, "MAXBUFSIZE", "16384"},
      {init, "LANGDRIVER", "ANSIINTL"},
      {init, "MAXFILEHANDLES", "255"},
      {init, "SYSFLAGS", "0"},
      {init, "LOW MEMORY USAGE LIMIT", "32"},
      {init, "AUTO ODBC", "FALSE"},
      {init, "DEFAULT DRIVER", "DBASE"},
      {init, "SQLQRYMODE", ""},
      {init, "MEMSIZE", "42"},
      {init, "SHAREDMEMSIZE", "14080"},
      {init, "SHAREDMEMLOCATION", ""},
      {init, "DATA REPOSITORY", ""},
      {init, "MTS POOLING", "TRUE"},
  }};
}

void WriteEngineSetting(const std::string& sub_key, const std::string& name,
                        const std::string& data) {
  RegistryKey engine;
  // Without the rights to the machine-wide key the engine keeps the
  // configuration it has; the files are still installed, and the user told.
  long error = 0;
  if (!engine.OpenOrCreate(platform::HKEY_LOCAL_MACHINE, kEngineKey, &error)) {
    throw ERegistryException(std::string("Failed to create key ") + kEngineKey, error);
  }
  if (sub_key.empty()) {
    engine.WriteString(name, data);
  } else {
    engine.CreateSubKey(sub_key).WriteString(name, data);
  }
}

std::string EngineDirFor(const std::string& program_files_dir) {
  const std::string program_files =
      program_files_dir.empty() ? kDefaultProgramFiles : lang::StripTrailingBackslash(program_files_dir);
  return program_files + "\\Borland\\Common Files\\BDE";
}

}  // namespace qr5::install
