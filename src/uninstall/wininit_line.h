// A deletion at the next start of the 9x family: a "NUL=<path>" line in the
// [rename] section of WININIT.INI. Other programs keep their own NUL= lines
// there, and the profile functions would replace the first of them, so the
// line is added to the file's text instead, beside every other line.
#pragma once

#include <string>

namespace qr5::uninstall {

// Adds "NUL=" + short_path to windows_dir\WININIT.INI (made when missing;
// nothing when the line is there already). The file is written whole
// under a temporary name and then moved over the old one, so it is never
// left half written. False when it could not be written.
bool AddWininitDeletion(const std::string& windows_dir, const std::string& short_path);

// The text with the line added to its [rename] section (the section added
// at the end when missing); the text itself when it holds the line.
std::string WithWininitDeletion(const std::string& text, const std::string& short_path);

}  // namespace qr5::uninstall
