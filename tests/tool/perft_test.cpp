// SPDX-License-Identifier: GPL-3.0-or-later
// perft over the game's rules against the plain reference rules, and the perft command.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/Fixture.h"
#include "tests/support/ReferenceRules.h"
#include "tests/support/ToolRun.h"

namespace quillet::testing {
namespace {

TEST(Perft, HandCountedDepthsAndTheReferenceRulesAgree) {
    const std::string& start = kStartBoard;
    // Depth 1: と has c4, d3, e6, f5. Depth 2: each answer leaves 歩 three replies.
    EXPECT_EQ(referencePerft(start, 1, 'x'), 4u);
    EXPECT_EQ(referencePerft(start, 2, 'x'), 12u);
    HeadlessGame game;
    game.form.初期設定();
    ASSERT_EQ(testing::boardText(game.form), start);
    for (int depth = 0; depth <= 6; ++depth)
        EXPECT_EQ(tool::perft(game.form, depth, X, O), referencePerft(start, depth, 'x'))
            << "depth " << depth;
    EXPECT_EQ(testing::boardText(game.form), start) << "perft leaves the board as it found it";

    // The command counts from the start, on the game's rules or on the engine's.
    for (const tool::Args& args : {tool::Args{"5"}, tool::Args{"5", "--fast"}}) {
        const CommandRun r = runCommand(tool::perftCommand, args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("leaves 1396\n"), std::string::npos) << r.out;
    }
}

TEST(Perft, BadArgumentsGiveAClearMessageAndFailure) {
    CommandRun r = runCommand(tool::perftCommand, {});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing depth"), std::string::npos) << r.err;
    r = runCommand(tool::perftCommand, {"-3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("depth must lie in"), std::string::npos) << r.err;
    r = runCommand(tool::perftCommand, {"five"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("whole number"), std::string::npos) << r.err;
    // The executable's own dispatch: an unknown command, and a usage error's exit code and usage line.
    r = runToolProgram("no-such-command");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("unknown command"), std::string::npos) << r.out;
    r = runToolProgram("perft");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("usage: quillet-tool perft N"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quillet::testing
