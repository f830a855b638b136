// The language and license files, taken out of the payload appended to the
// setup into the temporary folder, where the language page finds them.
#pragma once

#include <cstdint>
#include <string>

namespace qr5::archive {
class TZipArchive;
}

namespace qr5::lang {

// Told when the setup carries no payload: without its language files the
// setup cannot go on.
inline constexpr const char* kNoPayloadMessage = "Unable to run the stub program without data to expand...";

struct LanguagePass {
  enum class Outcome {
    kDone,
    kNoPayload,        // the payload cannot be read (or its directory is damaged)
    kTempNotWritable,  // a file could not be written into the temporary folder
  };
  Outcome outcome = Outcome::kDone;
  uint32_t error = 0;  // the Windows error of kTempNotWritable
};

// Extracts every "LANGUAGE.*" and "LICENSE.*" of setup_file into temp_dir.
// An existing file of the same name that cannot be replaced (only in a
// shared temporary folder) stays and is not a failure.
LanguagePass ExtractLanguageFiles(archive::TZipArchive& zip, const std::string& setup_file,
                                  const std::string& temp_dir);

// The message for a temporary folder that cannot be written, in English (no
// language is chosen yet): the folder, why and what to do.
std::string TempFolderMessage(const std::string& temp_dir, uint32_t error);

}  // namespace qr5::lang
