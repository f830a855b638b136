// The program group step: tells each suite program its language file and
// rebuilds the Start-menu group with a shortcut for every program and every
// manual.
#pragma once

#include <string>

namespace qr5::install {

// The group's folder below the Programs folder; the uninstaller removes it,
// the finish page passes it along to the Startup and desktop shortcuts.
inline constexpr char kGroupSubPath[] = "\\Quorlin 5";

// For the suite installed in install_dir and the language of extension ext
// (".ENG", ...) named language_name: records the language, sets each
// program INI's LanguageFile and makes the group anew. What cannot be
// written is noted in the session's outcome record. The shortcuts of the
// folder recorded before, earlier_dir, are replaced too.
void CreateProgramGroup(const std::string& install_dir, const std::string& ext,
                        const std::string& language_name, const std::string& earlier_dir = "");

}  // namespace qr5::install
