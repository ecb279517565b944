// quillet-tool's analysis of a position file: the answers are the game's own procedures'.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/doubles/Fixture.h"

namespace quillet::testing {
namespace {

std::string toolPath() { return buildDir() + "/quillet-tool"; }

std::string runTool(const std::string& args, int* status) {
    const std::string cmd = toolPath() + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    const int st = p ? pclose(p) : -1;
    if (status) *status = st;
    return out;
}

struct AnalysisTool : GameFixture {
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("quillet-analysis-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string write(const std::string& text) {
        const auto path = dir / "position.txt";
        std::ofstream(path) << text;
        return path.string();
    }
    std::string run(const std::string& command, const std::string& file) {
        int status = 0;
        std::string out = runTool(command + " " + file, &status);
        EXPECT_EQ(status, 0) << out;
        return out;
    }
};

std::string squareName(int column, int row) { return std::string(1, char('a' + column - 1)) + std::to_string(row); }

TEST_F(AnalysisTool, AnswersAreThoseOfTheSearchEvaluationAndSafeCount) {
    const std::string rows =
        "xxo......\nxoo......\nxo.......\n...ox....\n...xoo...\n....x....\n.........\n.........\n........o\n";
    const std::string file = write(rows + "computer o\n");
    setBoard(rows);
    form.computer_piece = Form1::second_code;
    form.human_piece = Form1::first_code;

    // Corner pieces on both sides, so neither count nor the evaluation is a trivial zero.
    ASSERT_NE(form.安全駒数(Form1::first_code, Form1::second_code), 0);
    const std::string safe = std::to_string(form.安全駒数(Form1::first_code, Form1::second_code)) + " " +
                             std::to_string(form.安全駒数(Form1::second_code, Form1::first_code)) + "\n";
    EXPECT_EQ(run("safe", file), safe);
    EXPECT_EQ(run("eval", file), std::to_string(form.得点取得(Form1::second_code, Form1::first_code)) + "\n");

    int column = 0, row = 0;
    const long before = form.evaluation_calls;
    form.COM置場所取得(column, row);
    const long evaluations = form.evaluation_calls - before;
    EXPECT_EQ(run("bestmove", file), squareName(column, row) + "\n");
    EXPECT_EQ(run("searchinfo", file),
              squareName(column, row) + " " + std::to_string(form.best1) + " " + std::to_string(evaluations) + "\n");
}

TEST_F(AnalysisTool, ComputerWithoutALegalSquareHasNoMove) {
    const std::string file = write("xo.......\n.........\n.........\n.........\n.........\n.........\n.........\n"
                                   ".........\n.........\ncomputer o\n");
    EXPECT_EQ(run("bestmove", file), "none\n");
    EXPECT_EQ(run("searchinfo", file), "none\n");
}

TEST_F(AnalysisTool, MalformedFileIsRefusedNamingTheLine) {
    const std::string file = write(".........\n.........\n.........\n...ox....\n...xo....\n.........\n.........\n"
                                   "....?....\n.........\ncomputer o\n");
    for (const char* command : {"bestmove", "eval", "safe", "searchinfo"}) {
        int status = 0;
        const std::string out = runTool(std::string(command) + " " + file, &status);
        EXPECT_NE(status, 0) << command;
        EXPECT_NE(out.find("line 8"), std::string::npos) << out;
    }
    int status = 0;
    EXPECT_NE(runTool("bestmove", &status).find("missing position file"), std::string::npos);
    EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace quillet::testing
