// The language and license files, taken out of the payload appended to the
// setup into the temporary folder, where the language page finds them.
#pragma once

#include <string>

namespace qr5::archive {
class TZipArchive;
}

namespace qr5::lang {

// Told when the setup carries no payload: without its language files the
// setup cannot go on.
inline constexpr const char* kNoPayloadMessage = "Unable to run the stub program without data to expand...";

// Extracts every "LANGUAGE.*" and "LICENSE.*" of setup_file into temp_dir;
// false when the payload cannot be read.
bool ExtractLanguageFiles(archive::TZipArchive& zip, const std::string& setup_file,
                          const std::string& temp_dir);

}  // namespace qr5::lang
