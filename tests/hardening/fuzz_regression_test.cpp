// Inputs the fuzz targets found faults with, kept so that the faults stay
// mended. Their worth shows fully in the sanitizer build, where a read
// before a buffer fails the test.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/sim/sim_reg_file.h"

namespace qr5::platform::sim {
namespace {

TEST(FuzzRegression, ALoneBackslashContinuedByBlankLinesIsNoValue) {
  // The continuation of hex data over lines ended with an empty line and
  // the parser looked at its last character.
  const RegDatabase db = RegDatabase::Parse(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Quorlin5]\r\n\\\r\n\r\n\r\n\"Language\"=\"English\"\r\n", "a.reg");
  const RegDatabase again = RegDatabase::Parse(db.Serialize(), "b.reg");
  EXPECT_EQ(again.Serialize(), db.Serialize());
  EXPECT_NE(db.Serialize().find("\"Language\"=\"English\""), std::string::npos);

  // The input as found: parses or is refused with a message.
  static constexpr char kFound[] =
      "\n\n\x0c\n\n\x0c\n\n\n\x0c\n\x0c\n\n\n\n\nREGEDIT4\n\\\n\n\n\n\n\n[\x0c\n\n\n\n\n\xff\n\x00\x00\n[\x00\x00"
      "\xb6\x06\x0b\n\xfe\n[\xb6\xff]\x00\x00\n\x0b\n\n\n\n";
  static_assert(sizeof kFound - 1 == 66);
  const std::string found(kFound, sizeof kFound - 1);
  try {
    RegDatabase::Parse(found, "found.reg");
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("found.reg:"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace qr5::platform::sim
