// The rules a folder typed in the browse dialog must pass before it is
// taken. Texts are ANSI: on a double-byte code page a lead byte and its
// trail byte are one character, which the character rules step over whole.
#pragma once

#include <cstdint>
#include <string>

namespace qr5::pages {

inline constexpr size_t kMaxTypedPathLength = 240;

// Validates a typed folder and normalises it in place (trimmed, runs of
// backslashes collapsed, one trailing backslash removed except after a
// colon). The first rule that fails gives false; the text then holds the
// state reached so far.
bool IsValidDirectory(std::string& path);

// Any character with a code of 31 or below.
bool ContainsControlCharacters(const std::string& path);
// A component that ends with a space: a space followed by a backslash or by
// the end of the text.
bool PathComponentsContainTrailingSpaces(const std::string& path);
// Any of / : * ? " < > | from the third character on.
bool ContainsForbiddenCharacters(const std::string& path);
// A component made only of dots, with optional spaces around them ("." or
// " .. "); ".Apps" and "Apps." are not.
bool PathComponentsContainInvalidDots(const std::string& path);

// The attributes of a path, or -1, read with the system's critical-error
// messages suppressed (a drive without a disk fails quietly).
int32_t InternalGetFileAttr(const std::string& path);
// True for an existing folder.
bool DirExists(const std::string& path);
// True when a part of path (which begins with a drive, "C:\\") that exists
// is a file rather than a folder, as in D:\\file.txt\\QR5.
bool PathRunsThroughFile(const std::string& path);

}  // namespace qr5::pages
