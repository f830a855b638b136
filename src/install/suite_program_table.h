// The nine programs of the suite in their fixed order: what each installs
// as, which INI tells it its language, how its language files are named,
// its manual, and the suite-text keys of its two captions. Every cell is a
// constant of its own: the names follow no common rule.
#pragma once

#include <array>
#include <string>

namespace qr5::install {

struct SuiteProgram {
  const char* executable;       // relative to the install folder
  const char* language_ini;     // relative to the install folder
  const char* language_prefix;  // + extension without its dot
  const char* manual;           // in DOC\<language folder>
  const char* icon_key;         // suite text of the program's caption
  const char* manual_key;       // suite text of the manual's caption
};

inline constexpr std::array<SuiteProgram, 9> SuiteProgramTable{{
    {"QR5.EXE", "SYSTEM\\QR5.INI", "QR5_LANGUAGE.", "QUORLIN5.PDF", "001", "011"},
    {"QRVELTA.EXE", "QRVELTA.INI", "QRVELTA_LANGUAGE.", "VELTA.PDF", "002", "012"},
    {"DORNAX_QR5.EXE", "DORNAX_QR5.INI", "DORNAXLANGUAGE.", "DORNAX.PDF", "003", "013"},
    {"TOVINWIZARD.EXE", "TOVINWIZARD.INI", "TOVINWIZARD_LANGUAGE.", "TOVINWIZARD.PDF", "004", "014"},
    {"PRNFELD.EXE", "PRNFELD.INI", "PRNFELD_LANGUAGE.", "PRINTERFELD.PDF", "005", "015"},
    {"PRINTMEDRAS.EXE", "QRPRINTMEDRAS.INI", "QRPRINTMEDRAS_LANGUAGE.", "PRINTMEDRA.PDF", "006", "016"},
    {"SUNDRIES.EXE", "SUNDRIES.INI", "SUNDRIES_LANGUAGE.", "SUNDRIES.PDF", "007", "017"},
    {"SAFEKEEP.EXE", "SAFEKEEP.INI", "SKLANGUAGE.", "SAFEKEEP.PDF", "008", "018"},
    {"HERALDO.EXE", "HERALDO.INI", "HERALDO_LANGUAGE.", "HERALDO.PDF", "009", "019"},
}};

}  // namespace qr5::install
