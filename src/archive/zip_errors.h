// The archive component's exceptions. Each carries only its message.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace qr5::archive {

class EZipError : public Error {
 public:
  using Error::Error;
};

#define QR5_ZIP_ERROR(Name)                 \
  class Name : public EZipError {           \
   public:                                  \
    using EZipError::EZipError;             \
  }

QR5_ZIP_ERROR(EIncompleteZip);
QR5_ZIP_ERROR(ENotAZipFile);
QR5_ZIP_ERROR(EBadZipFile);
QR5_ZIP_ERROR(EFatalUnzipError);
QR5_ZIP_ERROR(EBiggerThanUncompressed);
QR5_ZIP_ERROR(EUserCanceled);
QR5_ZIP_ERROR(EListError);
// A directory that is not sound, read while RequireSoundDirectory is set.
QR5_ZIP_ERROR(EDamagedDirectory);

#undef QR5_ZIP_ERROR

// A write to an output file failed; system_error is the system's reason
// (a full disk among others), so the caller can tell the user what happened.
class ECantWriteUCF : public EZipError {
 public:
  explicit ECantWriteUCF(const std::string& message, uint32_t error = 0)
      : EZipError(message), system_error(error) {}
  uint32_t system_error;
};

}  // namespace qr5::archive
