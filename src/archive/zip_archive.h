// TZipArchive: the archive component as the main form holds it. Its writing
// side is never used by this program; extraction is TZipReader's.
#pragma once

#include "archive/zip_reader.h"

namespace qr5::archive {

enum class TZipAction { zaUpdate, zaReplace, zaFreshen };

class TZipArchive : public TZipReader {
 public:
  // Belongs to archive writing; no effect on extraction.
  TZipAction ZipAction = TZipAction::zaUpdate;
};

}  // namespace qr5::archive
