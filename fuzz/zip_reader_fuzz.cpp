// libFuzzer target: an arbitrary file read as an archive, its directory
// loaded (normally and with the recovery scan) and every entry extracted to
// memory, with every option that changes the path through the reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/lfn_file_stream.h"
#include "archive/zip_archive.h"
#include "archive/zip_errors.h"
#include "memory_machine.h"

namespace {

using namespace qr5::archive;

void Extract(qr5::fuzz::MemoryMachine& memory, const std::string& bytes, const std::string& name,
             TIncompleteZipMode mode, bool recreate) {
  memory.SetFile(name, bytes);
  TZipArchive zip;
  zip.IncompleteZipMode = mode;
  zip.RecreateDirs = recreate;
  zip.OverwriteMode = TOverwriteMode::Always;
  zip.Password = "secret";
  zip.MessageBoxHook = [](const std::string&, const std::string&, unsigned) { return 1; };
  int passwords = 0;
  zip.OnBadPassword = [&](int, std::string& password) {
    if (++passwords < 3) password = "other" + std::to_string(passwords);
  };
  try {
    zip.SetZipName(name);
    zip.LoadDirectory();
    for (int i = 0; i < zip.EntryCount(); ++i) {
      zip.FileComment(i);
      (void)zip.Entry(i).StoredPath();
    }
    zip.ZipComment();
    zip.SetDestDir("C:\\OUT");
    zip.FilesList = {"*", "<a-m>*.?x<!t>"};
    zip.ExtractSelected();
  } catch (const EZipError&) {
  } catch (const EFOpenError&) {
  } catch (const EFCreateError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qr5::fuzz::MemoryMachine memory;
  qr5::platform::Install(&memory.machine());
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Extract(memory, bytes, "C:\\A.ZIP", TIncompleteZipMode::izAssumeMulti, true);
  Extract(memory, bytes, (size & 1) ? "C:\\SETUP.EXE" : "C:\\B.ZIP", TIncompleteZipMode::izAssumeBad,
          (size & 2) != 0);
  return 0;
}
