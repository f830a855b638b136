// The DOS wildcard rules of FindFirstFileA, beyond what the contract tests
// can ask of every implementation.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "platform/sim/sim_wildcard.h"

using qr5::platform::sim::WildcardMatch;

namespace {

TEST(Wildcards, DotStarAlsoMatchesNamesWithoutExtension) {
  EXPECT_TRUE(WildcardMatch("LANGUAGE.*", "LANGUAGE.ENG"));
  EXPECT_TRUE(WildcardMatch("LANGUAGE.*", "language.eng"));
  EXPECT_TRUE(WildcardMatch("LANGUAGE.*", "LANGUAGE"));
  EXPECT_TRUE(WildcardMatch("LANGUAGE.*", "LANGUAGE.ENG.BAK"));
  EXPECT_FALSE(WildcardMatch("LANGUAGE.*", "OLDLANGUAGE.ENG"));
  EXPECT_FALSE(WildcardMatch("LANGUAGE.*", "LANGUAGES.ENG"));
  EXPECT_FALSE(WildcardMatch("LANGUAGE.*", "dornaxlanguage.eng"));
}

TEST(Wildcards, StarDotStarAndStarMatchEverything) {
  for (const char* name : {"a", "a.b", ".", "..", "no extension", "x.y.z"}) {
    EXPECT_TRUE(WildcardMatch("*.*", name)) << name;
    EXPECT_TRUE(WildcardMatch("*", name)) << name;
  }
}

TEST(Wildcards, StarBeforeADotStopsAtTheLastDot) {
  EXPECT_TRUE(WildcardMatch("*.gz", "file.tar.gz"));
  EXPECT_FALSE(WildcardMatch("*.tar", "file.tar.gz"));
  EXPECT_TRUE(WildcardMatch("*.", "README"));
  EXPECT_FALSE(WildcardMatch("*.", "README.TXT"));
}

TEST(Wildcards, QuestionMarksMayMatchNothingAtADotOrTheEnd) {
  EXPECT_TRUE(WildcardMatch("a??", "abc"));
  EXPECT_TRUE(WildcardMatch("a??", "a"));
  EXPECT_FALSE(WildcardMatch("a??", "abcd"));
  EXPECT_TRUE(WildcardMatch("????????.???", "QR5.EXE"));
  EXPECT_FALSE(WildcardMatch("a?c", "a.c"));
  EXPECT_TRUE(WildcardMatch("LANGUAGE.EN?", "LANGUAGE.ENG"));
  EXPECT_FALSE(WildcardMatch("LANGUAGE.EN?", "LANGUAGE.ITA"));
}

TEST(Wildcards, ComparesWithoutRegardToCaseIncludingAccents) {
  EXPECT_TRUE(WildcardMatch("CAF\xC9.*", "caf\xE9.txt"));
  EXPECT_FALSE(WildcardMatch("CAFE.*", "caf\xE9.txt"));
}

}  // namespace

#endif  // _WIN32
