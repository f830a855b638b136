// Text of the ANSI code page: lead bytes (IsDBCSLeadByte) and letter case
// (CharUpperBuffA), as folder names are compared. The machines under test
// have the Western code page 1252.
#include <gtest/gtest.h>

#include "contract_machine.h"

namespace {

qr5::platform::SystemInfo& System() { return *ContractMachine().system; }

TEST(ContractText, TheWesternCodePageHasNoLeadBytes) {
  for (int b = 0; b < 256; ++b)
    EXPECT_FALSE(System().IsLeadByte(static_cast<char>(b))) << "byte " << b;
}

TEST(ContractText, UpperCaseCoversLettersBeyondAscii) {
  EXPECT_EQ(System().UpperCase("\xE4rger quorlin \xE9t\xE9 \xFF"), "\xC4RGER QUORLIN \xC9T\xC9 \x9F");
  EXPECT_EQ(System().UpperCase("\xDF\xF7 1-2\\"), "\xDF\xF7 1-2\\");  // no upper case
  EXPECT_EQ(System().UpperCase(""), "");
}

}  // namespace
