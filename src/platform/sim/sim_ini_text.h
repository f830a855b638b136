// The text of a profile (INI) file as GetPrivateProfileStringA reads it and
// WritePrivateProfileStringA edits it. Reading follows Windows (and Wine):
// lines are trimmed, "[name]" opens a section (up to its last "]"), a key
// is the text before the first "=", sections and keys compare without
// regard to case and only the first section of a name counts. Editing
// changes one line or adds one (or a section) and keeps every other byte;
// the profile writer rewrites the whole file first, as Wine does.
#pragma once

#include <optional>
#include <string>

namespace qr5::platform::sim {

// The trimmed value of section/key, quotes still on; nullopt when the key
// is missing or its line has no "=".
std::optional<std::string> IniFindValue(const std::string& text, const std::string& section,
                                        const std::string& key);

// The file as Wine's profile writer saves it: blank lines dropped, every
// line trimmed, "name=value" without blanks around "=", sections as
// "[name]", lines ended by CR LF (a UTF-8 mark kept). Windows itself keeps
// the lines it does not change; a comparison that holds for this form holds
// for both.
std::string IniRewrite(const std::string& text);

// What GetPrivateProfileStringA with a 2048-byte buffer makes of a found
// value: one pair of surrounding quotes (' or ") removed, cut to 2047.
std::string IniProfileValue(const std::string& raw_value);

// The text with section/key set to value: the key's line gets the new value
// after its "=", else "key=value" follows the last line of the section, else
// the section is appended. New lines end like the file's first line (CR LF
// for a file without any). Leading blanks of the value are dropped, as the
// system does.
std::string IniEdit(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace qr5::platform::sim
