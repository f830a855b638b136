// The steps of a run without pages: what the language, destination and
// finish pages decide, decided from the command line and the page's own
// rules, with no window shown.
#pragma once

namespace qr5::app {

// The language of /LANG= (an extension such as ITA or an English name such
// as Italian) or else the page's preselection, recorded as the page's OK
// records it. mrOk, or mrCancel after a language this setup does not carry
// was told (a fatal end) or when the application is ending.
int ChooseLanguageWithoutPage();

// The folder of /DIR= (taken as it is) or else the recorded or default one,
// checked by the destination's rules: the path rules, a drive that exists,
// the free space the language file asks for. False after the failing rule's
// message was told (a fatal end).
bool TakeFolderWithoutPage();

// The finish page's shortcuts: both, unless /NOICONS.
void MakeShortcutsWithoutPage();

}  // namespace qr5::app
