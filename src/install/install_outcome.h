// What the installation did not achieve: every selected file is installed,
// kept on purpose or counted here, and every install action that fails says
// what it could not write. The user is told once, at the end, in the chosen
// language, and the setup then ends as after a failed extraction pass.
#pragma once

#include <cstdint>
#include <string>

namespace qr5::archive {
class TZipReader;
}

namespace qr5::install {

// Counts the entries an extraction pass of zip does not install, for as long
// as it lives. Kept on purpose, and so not counted: a file the overwrite
// rules keep, and an existing read-only file kept because the pass does not
// replace read-only files.
class PassWatch {
 public:
  explicit PassWatch(archive::TZipReader& zip);
  ~PassWatch();
  PassWatch(const PassWatch&) = delete;
  PassWatch& operator=(const PassWatch&) = delete;

 private:
  archive::TZipReader& zip_;
};

// error: the Windows error why, kErrorSetupDamaged for an entry whose data
// failed their check, 0 when unknown.
void NoteFileNotInstalled(const std::string& path, uint32_t error);
// A registry key or a file that could not be written (each told once).
void NoteFailure(const std::string& what, uint32_t error = 0);
// Inside a catch block of an extraction pass of zip: a file that could not
// be written (the disk full, no rights), or else a setup file that could not
// be read to its end.
void NoteExtractionFailure(archive::TZipReader& zip);

// ERROR_CRC: the data of an entry failed their check.
inline constexpr uint32_t kErrorSetupDamaged = 23;

// The message for what was noted, in the chosen language file; "" when
// nothing was.
std::string ShortfallMessage();
// Shows that message once and asks the application to end; false when
// there was nothing to tell.
bool ReportShortfall();

}  // namespace qr5::install
