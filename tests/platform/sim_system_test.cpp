// Code pages of the simulated machine.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "platform/sim/sim_codepage.h"

using namespace qr5::platform::sim;

namespace {

TEST(CodePages, OemTextBecomesAnsi) {
  EXPECT_EQ(OemToAnsi("LANGUAGE.ENG"), "LANGUAGE.ENG");
  // é è ä Ñ ß ¿ in code page 437 and in Windows-1252.
  EXPECT_EQ(OemToAnsi("\x82\x8A\x84\xA5\xE1\xA8"), "\xE9\xE8\xE4\xD1\xDF\xBF");
  // Box drawing has no ANSI form; it takes look-alikes.
  EXPECT_EQ(OemToAnsi("\xDA\xC4\xBF\xB3"), "+-+\xA6");
}

TEST(CodePages, UpperCaseCoversWesternLetters) {
  EXPECT_EQ(AnsiUpper("quorlin \xE9\xFF\x9A"), "QUORLIN \xC9\x9F\x8A");
  EXPECT_EQ(AnsiUpper("\xF7\xDF"), "\xF7\xDF");  // ÷ and ß have no upper case here
  EXPECT_TRUE(AnsiEqualNoCase("Nobutton", "NoButton"));
}

TEST(CodePages, DoubleBytePagesKnowTheirLeadBytesAndKeepTrailBytesInUpperCase) {
  EXPECT_FALSE(IsLeadByte(1252, '\x83'));
  EXPECT_TRUE(IsLeadByte(932, '\x83'));
  EXPECT_TRUE(IsLeadByte(932, '\xE0'));
  EXPECT_FALSE(IsLeadByte(932, '\xA0'));  // half-width katakana are single bytes
  EXPECT_FALSE(IsLeadByte(932, '\x7C'));
  EXPECT_TRUE(IsLeadByte(936, '\xFE'));
  EXPECT_EQ(UpperCase(932, "a\x83\x61z"), "A\x83\x61Z");
  EXPECT_EQ(UpperCase(1252, "\xE4rger"), "\xC4RGER");
  EXPECT_TRUE(KnownCodePage(949));
  EXPECT_FALSE(KnownCodePage(1251));
}

TEST(CodePages, HostNamesRoundTripThroughUtf8) {
  const std::string ansi = "Caf\xE9 \x80 \x9F";
  EXPECT_EQ(AnsiToUtf8(ansi), "Caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8");
  bool exact = false;
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(ansi), &exact), ansi);
  EXPECT_TRUE(exact);
  EXPECT_EQ(Utf8ToAnsi("\xE2\x98\x83", &exact), "?");
  EXPECT_FALSE(exact);
  EXPECT_EQ(Utf8ToAnsi("raw \xE9 byte", &exact), "raw \xE9 byte");
}

}  // namespace

#endif  // _WIN32
