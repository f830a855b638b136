// Reading a plain ANSI text file line by line, as the license page shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qr5::pages {

// Appends the lines of the file to *lines, without their line ends. CR LF,
// LF and a lone CR each end a line; a last line without a line end is read
// too, and no empty line follows a final line end. Returns 0, or the
// system's error code when the file cannot be opened or read; the lines read
// completely before a read error stay in *lines.
uint32_t ReadTextFileLines(const std::string& path, std::vector<std::string>* lines);

// The text an input/output error is reported with: "File not found" for a
// missing file, the system's own text for other codes.
std::string InOutErrorText(uint32_t code);

}  // namespace qr5::pages
