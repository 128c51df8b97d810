#include "platform/foundation/scanner.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(Scanner, ScanUpToKeepsTrailingBlanksAndSkipsLeadingOnes) {
    Scanner scanner("  key = value");
    std::string taken;
    ASSERT_TRUE(scanner.scanUpToString("=", &taken));
    EXPECT_EQ(taken, "key ");
    EXPECT_EQ(scanner.scanLocation(), 6u);
    EXPECT_FALSE(scanner.scanUpToString("=", &taken));  // the stop string is next
    EXPECT_EQ(scanner.scanLocation(), 6u);
    ASSERT_TRUE(scanner.scanString("=", &taken));
    ASSERT_TRUE(scanner.scanUpToString(";", &taken));  // never comes: the rest
    EXPECT_EQ(taken, "value");
    EXPECT_TRUE(scanner.isAtEnd());
    EXPECT_FALSE(scanner.scanUpToString(";", &taken));  // at the end
}

TEST(Scanner, ScanStringIsAnchoredMovesOnlyOnSuccessAndCanHeedCase) {
    Scanner scanner("\n\t VAR x");
    EXPECT_FALSE(scanner.scanString("x"));
    EXPECT_EQ(scanner.scanLocation(), 0u);
    std::string taken;
    ASSERT_TRUE(scanner.scanString("var ", &taken));
    EXPECT_EQ(taken, "VAR ");  // the text's own characters
    EXPECT_EQ(scanner.scanLocation(), 7u);
    EXPECT_FALSE(scanner.scanString(""));
    Scanner sensitive("Var var");
    sensitive.setCaseSensitive(true);
    EXPECT_FALSE(sensitive.scanString("var"));
    ASSERT_TRUE(sensitive.scanUpToString("var", &taken));
    EXPECT_EQ(taken, "Var ");
}

TEST(Scanner, IsAtEndSeesOnlySkippableCharacters) {
    EXPECT_TRUE(Scanner("").isAtEnd());
    EXPECT_TRUE(Scanner(" \n\t\u00A0\u2028\r").isAtEnd());
    EXPECT_FALSE(Scanner(" ;").isAtEnd());
    Scanner scanner("ab");
    scanner.setScanLocation(100);
    EXPECT_EQ(scanner.scanLocation(), 2u);
    EXPECT_TRUE(scanner.isAtEnd());
}

TEST(Scanner, FindsDeclarationsTheWayThemeOptimisationWalksThem) {
    // "var" inside a longer word starts a text there; a line break after "var" is kept.
    Scanner scanner("x = invariant = 2;\nVAR color = \"red\"; var\nname = 1");
    std::vector<std::string> found;
    scanner.scanUpToString("var");
    while (!scanner.isAtEnd()) {
        scanner.scanString("var ");
        std::string declaration;
        if (scanner.scanUpToString(";", &declaration)) found.push_back(declaration);
        scanner.scanUpToString("var");
    }
    EXPECT_EQ(found, (std::vector<std::string>{"variant = 2", "color = \"red\"", "var\nname = 1"}));
}

}  // namespace
}  // namespace vx
