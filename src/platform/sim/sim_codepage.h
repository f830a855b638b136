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

// The ANSI code pages a machine may have: 1252 (Western, the default) and
// the double-byte pages of East Asian Windows, 932 (Japanese), 936
// (Simplified Chinese), 949 (Korean) and 950 (Traditional Chinese). The
// double-byte pages matter for lead bytes and letter case; the host names
// of files stay Windows-1252 spelt in every case.
bool KnownCodePage(int code_page);
// IsDBCSLeadByte of that code page.
bool IsLeadByte(int code_page, char byte);
// CharUpperBuffA of that code page: on 1252 as AnsiUpper, on a double-byte
// page the ASCII letters alone, each double-byte character left whole.
std::string UpperCase(int code_page, const std::string& text);

// OemToCharA: code page 437 text to Windows-1252. Characters the ANSI code
// page lacks take the nearest look-alike (box drawing becomes + - |).
std::string OemToAnsi(const std::string& oem);

// UTF-16LE of Windows-1252 text, for the strings of a shell link.
std::u16string AnsiToUtf16(const std::string& ansi);

}  // namespace qr5::platform::sim
