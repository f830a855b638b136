// Width of a one-line text in the dialogs' font, MS Sans Serif 8 point, for
// the controls that size themselves to their text. A front end that draws a
// real font measures the text in it; otherwise (the console, the tests) the
// fixed table below gives the width.
//
// The table gives advance widths in pixels at 96 dpi, close
// to the real font but not taken from it, so that the same text always gets
// the same width on every platform:
//   2 px   i j l ! | ' . , : ;
//   3 px   space f r t I ( ) [ ] / \ - ` "
//   8 px   m w M W
//   6 px   every other upper-case letter A-Z, & and the remaining ASCII
//          punctuation # $ % + < = > ? @ ^ _ { } ~ *
//   5 px   everything else (lower case, digits, bytes above 127)
// A single "&" marks an accelerator and is not drawn; "&&" draws one "&".
#pragma once

#include <string>

namespace qr5::pages {

inline constexpr int kLineHeight = 13;  // one line of MS Sans Serif 8 pt

// The front end's measure, else the table's.
int MeasureText(const std::string& text);
// The table's measure alone.
int TableTextWidth(const std::string& text);

}  // namespace qr5::pages
