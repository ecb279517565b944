// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-tool's analysis of a position file: the answers are the game's own procedures'; and the
// bench's evaluation count, the signature of the search.

#include <gtest/gtest.h>

#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolRun.h"

namespace quillet::testing {
namespace {

using tool::squareName;

struct AnalysisTool : GameFixture {
    TempDir dir{"quillet-analysis"};

    std::string write(const std::string& text) { return dir.write("position.txt", text); }
    std::string run(Command command, const std::string& file) {
        const CommandRun r = runCommand(command, {file});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    }
};

TEST_F(AnalysisTool, AnswersAreThoseOfTheSearchEvaluationAndSafeCount) {
    const std::string rows =
        "xxo......\nxoo......\nxo.......\n...ox....\n...xoo...\n....x....\n.........\n.........\n........o\n";
    const std::string file = write(rows + "computer o\n");
    setPosition(rows, O, O);

    // Corner pieces on both sides, so neither count nor the evaluation is a trivial zero.
    ASSERT_NE(form.安全駒数(Form1::first_code, Form1::second_code), 0);
    const std::string safe = std::to_string(form.安全駒数(Form1::first_code, Form1::second_code)) + " " +
                             std::to_string(form.安全駒数(Form1::second_code, Form1::first_code)) + "\n";
    EXPECT_EQ(run(tool::safeCommand, file), safe);
    EXPECT_EQ(run(tool::evalCommand, file),
              std::to_string(form.得点取得(Form1::second_code, Form1::first_code)) + "\n");

    int column = 0, row = 0;
    const long before = form.evaluation_calls;
    form.COM置場所取得(column, row);
    const long evaluations = form.evaluation_calls - before;
    EXPECT_EQ(run(tool::bestmoveCommand, file), squareName(column, row) + "\n");
    EXPECT_EQ(run(tool::searchinfoCommand, file), squareName(column, row) + " " + std::to_string(form.best1) +
                                                      " " + std::to_string(evaluations) + "\n");
}

TEST_F(AnalysisTool, ComputerWithoutALegalSquareHasNoMove) {
    const std::string file = write(
        "xo.......\n.........\n.........\n.........\n.........\n.........\n.........\n"
        ".........\n.........\ncomputer o\n");
    EXPECT_EQ(run(tool::bestmoveCommand, file), "none\n");
    EXPECT_EQ(run(tool::searchinfoCommand, file), "none\n");
}

TEST_F(AnalysisTool, MalformedFileIsRefusedNamingTheLine) {
    const std::string file = write(
        ".........\n.........\n.........\n...ox....\n...xo....\n.........\n.........\n"
        "....?....\n.........\ncomputer o\n");
    for (Command command :
         {tool::bestmoveCommand, tool::evalCommand, tool::safeCommand, tool::searchinfoCommand}) {
        const CommandRun r = runCommand(command, {file});
        EXPECT_EQ(r.status, 1) << "bad input, not a usage error";
        EXPECT_NE(r.err.find("line 8"), std::string::npos) << r.err;
    }
    const CommandRun missing = runCommand(tool::bestmoveCommand, {});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing position file"), std::string::npos) << missing.err;
}

// The evaluations the search makes over the bench's fixed games. Any change to what the search
// examines, or where it cuts off, changes this count; when such a change is meant, the new count
// goes here with it.
TEST(Bench, TheSearchsEvaluationCountIsItsSignature) {
    // One run of the command: its printed totals are the bench's own.
    const CommandRun r = runCommand(tool::benchCommand, {"--runs", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("bench games 13 searches 908 (fastest of 1 runs each) ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" evals 154839 "), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quillet::testing
