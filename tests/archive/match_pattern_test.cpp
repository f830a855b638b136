#include "archive/match_pattern.h"

#include <gtest/gtest.h>

namespace qr5::archive {
namespace {

TEST(MatchPattern, PatternsOfTheSetup) {
  EXPECT_TRUE(MatchPattern("LANGUAGE.*", "language.eng"));
  EXPECT_TRUE(MatchPattern("LICENSE.*", "LICENSE.DEU"));
  EXPECT_FALSE(MatchPattern("LANGUAGE.*", "dornaxlanguage.eng")) << "anchored at the start";
  EXPECT_FALSE(MatchPattern("LANGUAGE.*", "Lang\\language.eng")) << "not in a folder";
  EXPECT_TRUE(MatchPattern("AWARDS\\*.*", "Awards\\iota.dbf"));
  EXPECT_TRUE(MatchPattern("AWARDS\\*.*", "Awards\\Deep\\er\\x.dbf")) << "a star crosses folders";
  EXPECT_FALSE(MatchPattern("AWARDS\\*.*", "Awardsx\\iota.dbf"));
  EXPECT_TRUE(MatchPattern("BDE\\*.*", "bde\\idapi32.dll"));
  EXPECT_TRUE(MatchPattern("*.*", "Awards\\iota.dbf"));
  EXPECT_TRUE(MatchPattern("*.*", "v1.0\\README")) << "a dot in the folder part is enough";
  EXPECT_FALSE(MatchPattern("*.*", "README"));
  EXPECT_FALSE(MatchPattern("*.*", "Docs\\"));
}

TEST(MatchPattern, StarQuestionMarkAndCase) {
  EXPECT_TRUE(MatchPattern("*", ""));
  EXPECT_TRUE(MatchPattern("*", "any\\thing"));
  EXPECT_FALSE(MatchPattern("", "a"));
  EXPECT_TRUE(MatchPattern("", ""));
  EXPECT_TRUE(MatchPattern("a?c", "abc"));
  EXPECT_FALSE(MatchPattern("a?c", "ac"));
  EXPECT_FALSE(MatchPattern("a?c", "abbc"));
  EXPECT_TRUE(MatchPattern("*a*b*c", "xxaxxbxbxxc"));
  EXPECT_FALSE(MatchPattern("*a*b*c", "xxaxxbxbxxcd"));
  EXPECT_TRUE(MatchPattern("*ab", "aab")) << "backtracks after a false start";
  EXPECT_TRUE(MatchPattern("ABC", "abc"));
  // Only A to Z fold; accented letters compare as they are.
  EXPECT_FALSE(MatchPattern("\xc4.txt", "\xe4.txt"));
  EXPECT_TRUE(MatchPattern("\xc4.txt", "\xc4.TXT"));
  // Clean readings of the corners: a star and question marks, two stars.
  EXPECT_TRUE(MatchPattern("*?", "a"));
  EXPECT_TRUE(MatchPattern("abc**", "abc"));
  EXPECT_TRUE(MatchPattern("**", ""));
}

TEST(MatchPattern, Sets) {
  EXPECT_TRUE(MatchPattern("file<0-9>.txt", "file7.txt"));
  EXPECT_FALSE(MatchPattern("file<0-9>.txt", "fileA.txt"));
  EXPECT_TRUE(MatchPattern("<abc>x", "bx"));
  EXPECT_TRUE(MatchPattern("<A-C>x", "cx")) << "sets fold case too";
  EXPECT_TRUE(MatchPattern("<!0-9>x", "ax"));
  EXPECT_FALSE(MatchPattern("<^0-9>x", "5x"));
  EXPECT_TRUE(MatchPattern("<a-c0-2_>", "_"));
  EXPECT_TRUE(MatchPattern("<a->", "-")) << "a dash before > is itself";
  EXPECT_FALSE(MatchPattern("<>", ""));
  EXPECT_FALSE(MatchPattern("<>a", "a")) << "empty set";
  EXPECT_FALSE(MatchPattern("<!>a", "xa")) << "empty inverted set";
  EXPECT_FALSE(MatchPattern("<abc", "a")) << "no closing >";
  EXPECT_FALSE(MatchPattern("*<abc", "a"));
  EXPECT_TRUE(MatchPattern("*<0-9>", "release2"));
  EXPECT_FALSE(MatchPattern("*<0-9>", "release"));
}

}  // namespace
}  // namespace qr5::archive
