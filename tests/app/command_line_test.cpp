// The switches of both programs, read from whole command lines, and the
// exit code every way a run can end gives.
#include <gtest/gtest.h>

#include <string>

#include "session/command_line.h"
#include "session/message_box_sink.h"
#include "session/run_outcome.h"

namespace qr5::session {
namespace {

constexpr char kExe[] = "\"D:\\SETUP\\QR5_Installer.exe\" ";

struct Row {
  const char* arguments;
  Program program;
  const char* error_part;  // "" when the line is taken
  Quietness quietness;
  bool suppress, help, no_icons, log;
  const char* dir;   // nullptr: not given
  const char* lang;  // nullptr: not given
  const char* log_file;
};

constexpr Program S = Program::kSetup;
constexpr Program U = Program::kUninstaller;
constexpr Quietness P = Quietness::kPages, Si = Quietness::kSilent, V = Quietness::kVerySilent;

const Row kRows[] = {
    {"", S, "", P, false, false, false, false, nullptr, nullptr, ""},
    {"/SILENT", S, "", Si, false, false, false, false, nullptr, nullptr, ""},
    {"-verysilent /silent", S, "", V, false, false, false, false, nullptr, nullptr, ""},
    {"/VerySilent /SuppressMsgBoxes /NOICONS /LOG", S, "", V, true, false, true, true, nullptr, nullptr, ""},
    {"/DIR=\"D:\\My Apps\\QR\" /LANG=ita", S, "", P, false, false, false, false, "D:\\My Apps\\QR", "ita", ""},
    {"\"/DIR=D:\\My Apps\" -lang=Italian", S, "", P, false, false, false, false, "D:\\My Apps", "Italian", ""},
    {"/LOG=\"C:\\logs\\setup log.txt\"", S, "", P, false, false, false, true, nullptr, nullptr, "C:\\logs\\setup log.txt"},
    {"/?", S, "", P, false, true, false, false, nullptr, nullptr, ""},
    {"-HELP", U, "", P, false, true, false, false, nullptr, nullptr, ""},
    {"/SILENT /LOG=D:\\u.txt", U, "", Si, false, false, false, true, nullptr, nullptr, "D:\\u.txt"},
    // Switches that cannot be taken, each named.
    {"/S", S, "Unknown command line switch: /S", P, false, false, false, false, nullptr, nullptr, ""},
    {"/SILENT extra", S, "Unknown command line switch: extra", Si, false, false, false, false, nullptr, nullptr, ""},
    {"/DIR=D:\\QR", U, "Unknown command line switch: /DIR=D:\\QR", P, false, false, false, false, nullptr, nullptr, ""},
    {"/NOICONS", U, "Unknown command line switch: /NOICONS", P, false, false, false, false, nullptr, nullptr, ""},
    {"/DIR", S, "/DIR needs a value", P, false, false, false, false, nullptr, nullptr, ""},
    {"/DIR=", S, "/DIR needs a value", P, false, false, false, false, nullptr, nullptr, ""},
    {"/LANG=\"\"", S, "/LANG needs a value", P, false, false, false, false, nullptr, nullptr, ""},
    {"/LOG=", S, "/LOG needs a value", P, false, false, false, false, nullptr, nullptr, ""},
    {"/SILENT=yes", S, "/SILENT takes no value", P, false, false, false, false, nullptr, nullptr, ""},
    {"/DIR=\"D:\\open", S, "quotation mark is left open", P, false, false, false, false, nullptr, nullptr, ""},
    {"-", S, "Unknown command line switch: -", P, false, false, false, false, nullptr, nullptr, ""},
};

TEST(CommandLine, EverySwitchAndEveryRefusalByTheTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.arguments);
    const CommandLine cmd = ParseCommandLine(kExe + std::string(row.arguments), row.program);
    if (*row.error_part == '\0') {
      EXPECT_EQ(cmd.error, "");
    } else {
      EXPECT_NE(cmd.error.find(row.error_part), std::string::npos) << cmd.error;
      continue;  // what came before the refused switch does not matter
    }
    EXPECT_EQ(cmd.quietness, row.quietness);
    EXPECT_EQ(cmd.suppress_boxes, row.suppress);
    EXPECT_EQ(cmd.help, row.help);
    EXPECT_EQ(cmd.no_icons, row.no_icons);
    EXPECT_EQ(cmd.log, row.log);
    EXPECT_EQ(cmd.log_file, row.log_file);
    EXPECT_EQ(cmd.dir_given, row.dir != nullptr);
    EXPECT_EQ(cmd.dir, row.dir != nullptr ? row.dir : "");
    EXPECT_EQ(cmd.lang_given, row.lang != nullptr);
    EXPECT_EQ(cmd.lang, row.lang != nullptr ? row.lang : "");
  }
}

TEST(CommandLine, ValuesOverTwoHundredSixtyCharactersAreRefusedAndTheProgramPathIsNoSwitch) {
  const std::string fits(260, 'a');
  EXPECT_EQ(ParseCommandLine(kExe + ("/LOG=" + fits), Program::kSetup).error, "");
  EXPECT_NE(ParseCommandLine(kExe + ("/DIR=D:\\" + fits), Program::kSetup).error.find("longer than 260"),
            std::string::npos);
  // A program path with blanks, unquoted as some callers give it, and no
  // switch at all: nothing is refused.
  EXPECT_EQ(ParseCommandLine("QR5_Installer.exe", Program::kSetup).error, "");
  EXPECT_FALSE(ParseCommandLine("\"C:\\Program Files\\x.exe\"", Program::kSetup).Silent());
}

TEST(CommandLine, BoxesAnswerThemselvesOnlyInASilentRunWithTheSwitch) {
  EXPECT_FALSE(ParseCommandLine(kExe + std::string("/SUPPRESSMSGBOXES"), Program::kSetup).BoxesAnswerThemselves());
  EXPECT_TRUE(ParseCommandLine(kExe + std::string("/SILENT /SUPPRESSMSGBOXES"), Program::kSetup).BoxesAnswerThemselves());
  EXPECT_FALSE(ParseCommandLine(kExe + std::string("/VERYSILENT"), Program::kSetup).BoxesAnswerThemselves());
  // The default button answers: OK, Yes, or the second with MB_DEFBUTTON2.
  EXPECT_EQ(DefaultAnswer(0x00), 1);
  EXPECT_EQ(DefaultAnswer(0x04 | 0x20), 6);
  EXPECT_EQ(DefaultAnswer(0x04 | 0x100), 7);
  EXPECT_EQ(DefaultAnswer(0x01 | 0x100), 2);
}

TEST(ExitCodes, EveryEndOfARunHasItsCodeAndTheFirstCauseWins) {
  struct Case {
    RunOutcome outcome;
    int code;
  };
  const Case cases[] = {
      {{false, false, true, false, false}, 0},
      {{true, false, false, false, false}, 1},
      {{true, true, true, true, true}, 1},
      {{false, false, false, false, false}, 2},
      {{false, true, false, false, false}, 3},
      {{false, false, true, false, true}, 4},
      {{false, false, true, true, false}, 5},
      {{false, false, true, true, true}, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(ExitCodeOf(c.outcome), c.code);
}

}  // namespace
}  // namespace qr5::session
