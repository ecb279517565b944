// SPDX-License-Identifier: GPL-3.0-or-later
// The declared command lines that every quillet-tool command reads its arguments with.

#include <gtest/gtest.h>

#include <string>

#include "tools/quillet_tool/CommandLine.h"

namespace quillet::tool {
namespace {

// Shaped like selfplay's and book's: an argument in its place, numbers, a text option and a flag.
CommandLine example() {
    return CommandLine("an example")
        .number("N", "number of games", 1, 100, "missing the number of games")
        .argument("FILE", "missing position file")
        .numberOption("--seed", "S", "seed", 0, 9)
        .option("--book", "FILE")
        .flag("--fast");
}

// The message of the UsageError that parse throws, or "" when it reads the arguments.
std::string refusal(const Args& args) {
    try {
        example().parse(args);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "";
}

TEST(CommandLine, TheUsageLineComesFromTheDeclaration) {
    EXPECT_EQ(example().synopsis(), "N FILE [--seed S] [--book FILE] [--fast]");
    EXPECT_EQ(CommandLine("x").flag("--fast").synopsis(), "[--fast]");
    EXPECT_EQ(CommandLine("x").argument("FILE", "m").synopsis(), "FILE");
}

TEST(CommandLine, ReadsArgumentsInPlaceAndOptionsAnywhere) {
    ParsedArgs p = example().parse({"--book", "b.txt", "12", "--fast", "p.txt"});
    EXPECT_EQ(p.number("N"), 12);
    EXPECT_EQ(p.text("FILE"), "p.txt");
    EXPECT_EQ(p.text("--book"), "b.txt");
    EXPECT_TRUE(p.flag("--fast"));
    EXPECT_EQ(p.number("--seed", 7), 7) << "not given: the command's default";

    // A value after '=', the last of a repeated option, and "--" before a file named like an option.
    p = example().parse({"3", "--seed=4", "--book", "a", "--book", "b", "--seed", "5", "--", "--fast"});
    EXPECT_EQ(p.number("--seed"), 5);
    EXPECT_EQ(p.text("--book"), "b");
    EXPECT_EQ(p.text("FILE"), "--fast");
    EXPECT_FALSE(p.flag("--fast"));
    // An option takes what follows it, and a negative number is an argument, not an option.
    EXPECT_EQ(example().parse({"1", "f", "--book", "--fast"}).text("--book"), "--fast");
    EXPECT_EQ(refusal({"-3", "f"}), "number of games must lie in 1..100");

    // A name the command never declared is a slip in its own code.
    EXPECT_THROW(p.text("--out"), std::logic_error);
    EXPECT_THROW(CommandLine("x").flag("--a").flag("--a"), std::logic_error);
}

TEST(CommandLine, WrongArgumentsAreRefusedOneAtATimeWithAClearMessage) {
    EXPECT_EQ(refusal({}), "missing the number of games");
    EXPECT_EQ(refusal({"3"}), "missing position file");
    EXPECT_EQ(refusal({"3", "f", "g"}), "unexpected argument 'g'");
    EXPECT_EQ(refusal({"3", "f", "--runs", "2"}), "unexpected argument '--runs'");
    EXPECT_EQ(refusal({"3", "f", "-x"}), "unexpected argument '-x'");
    EXPECT_EQ(refusal({"3", "f", "--help"}), "unexpected argument '--help'");
    EXPECT_EQ(refusal({"3", "f", "--seed"}), "--seed needs a value");
    EXPECT_EQ(refusal({"3", "f", "--seed", "10"}), "seed must lie in 0..9");
    EXPECT_EQ(refusal({"3", "f", "--seed", "4x"}), "seed must be a whole number, not '4x'");
    EXPECT_EQ(refusal({"three", "f"}), "number of games must be a whole number, not 'three'");
    EXPECT_EQ(refusal({"3", "f", "--fast"}), "");
}

}  // namespace
}  // namespace quillet::tool
