// Character sets of the simulated machine: its ANSI code page is
// Windows-1252 and its OEM code page 437. Host file names are UTF-8, so a
// Windows name keeps every character it can have on a Western Windows.
#pragma once

#include <string>

namespace qr5::platform::sim {

// Windows-1252 bytes to UTF-8 (bytes without a character map to the C1
// control of the same number, as MultiByteToWideChar does).
std::string AnsiToUtf8(const std::string& ansi);
// UTF-8 to Windows-1252. Characters outside the code page become '?' and
// make the result inexact; invalid UTF-8 bytes are taken as they are.
std::string Utf8ToAnsi(const std::string& utf8, bool* exact = nullptr);

// Upper case of one Windows-1252 character, as Windows compares file,
// registry and profile names.
char AnsiUpper(char c);
std::string AnsiUpper(const std::string& text);
bool AnsiEqualNoCase(const std::string& a, const std::string& b);

// OemToCharA: code page 437 text to Windows-1252. Characters the ANSI code
// page lacks take the nearest look-alike (box drawing becomes + - |).
std::string OemToAnsi(const std::string& oem);

// UTF-16LE of Windows-1252 text, for the strings of a shell link.
std::u16string AnsiToUtf16(const std::string& ansi);

}  // namespace qr5::platform::sim
