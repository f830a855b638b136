#include "lang/failure_reason.h"

#include "lang/installer_keys.h"
#include "platform/platform.h"

namespace qr5::lang {

namespace {

// Windows error codes not named in the platform layer.
constexpr uint32_t kErrorInvalidDrive = 15;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorLockViolation = 33;
constexpr uint32_t kErrorBadNetPath = 53;
constexpr uint32_t kErrorDirectory = 267;

struct ReasonClass {
  InstallerKey key;
  const char* default_text;
};

namespace key = installer_key;
constexpr ReasonClass kDiskFull{key::kReasonDiskFull, "The disk is full: free some space on drive %s and run Setup again."};
constexpr ReasonClass kDenied{key::kReasonDenied,
                              "Access was denied: ask an administrator for the rights, or choose another folder."};
constexpr ReasonClass kInUse{key::kReasonInUse,
                             "The file is in use by another program: close the other programs and run Setup again."};
constexpr ReasonClass kTooLong{key::kReasonTooLong, "The path is too long: choose a shorter folder."};
constexpr ReasonClass kMissing{key::kReasonMissing,
                               "The drive or folder does not exist: choose another folder."};
constexpr ReasonClass kOther{key::kReasonOther, "%s Run Setup again."};

const ReasonClass& ClassOf(uint32_t error) {
  switch (error) {
    case platform::ERROR_DISK_FULL:
    case platform::ERROR_HANDLE_DISK_FULL:
      return kDiskFull;
    case platform::ERROR_ACCESS_DENIED:
    case kErrorWriteProtect:
      return kDenied;
    case platform::ERROR_SHARING_VIOLATION:
    case kErrorLockViolation:
      return kInUse;
    case kErrorPathTooLong:
      return kTooLong;
    case platform::ERROR_FILE_NOT_FOUND:
    case platform::ERROR_PATH_NOT_FOUND:
    case platform::ERROR_NOT_READY:
    case platform::ERROR_INVALID_NAME:
    case kErrorInvalidDrive:
    case kErrorBadNetPath:
    case kErrorDirectory:
      return kMissing;
    default:
      return kOther;
  }
}

std::string SystemText(uint32_t error) {
  std::string text = platform::Sys().files->SystemErrorText(error);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  if (text.empty()) text = "Error " + std::to_string(error) + ".";
  return text;
}

}  // namespace

std::string FailureReason(const TIniFile& file, uint32_t error, const std::string& path) {
  if (error == 0) return "";
  const ReasonClass& reason = ClassOf(error);
  std::string text = file.ReadString(kInstallerSection, reason.key.Name(), reason.default_text);
  const size_t s = text.find("%s");
  if (s == std::string::npos) return text;
  if (&reason == &kOther) return text.replace(s, 2, SystemText(error));
  // The drive of the path ("C:"), or its share ("\\server\share").
  std::string drive = path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
  if (drive.empty() && path.rfind("\\\\", 0) == 0) {
    const size_t share_end = path.find('\\', path.find('\\', 2) + 1);
    drive = path.substr(0, share_end);
  }
  return text.replace(s, 2, drive);
}

}  // namespace qr5::lang
