// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Form1.h"

namespace quillet {

// The snapshots replace any undo of flips: each trial placement is taken back by copying the
// 81 cells saved one ply earlier. 呼出 takes the copy, 保存 puts it back.
namespace {
// Beyond any evaluation (those lie within -1000..1000).
constexpr int sentinel = 9999;

void copy_play_area(const Grid<12>& from, Grid<12>& to) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) to(x, y) = from(x, y);
}
}  // namespace

void Form1::盤_呼出() { copy_play_area(board, search_snapshot_1); }
void Form1::盤_呼出2() { copy_play_area(board, search_snapshot_2); }
void Form1::盤_呼出3() { copy_play_area(board, search_snapshot_3); }
void Form1::盤_保存() { copy_play_area(search_snapshot_1, board); }
void Form1::盤_保存2() { copy_play_area(search_snapshot_2, board); }
void Form1::盤_保存3() { copy_play_area(search_snapshot_3, board); }

// Three plies, computer - human - computer, each scanned column by column, evaluated for the
// computer after its answer. A scan is cut off by setting both of its loop positions to 9.
// Ties go to the later square at the first ply, and both cut-offs are taken on equality: the
// computer's play depends on exactly these comparisons, so they must not be "tidied".
// The hand marker stops on every legal first move so the user sees the computer think.
void Form1::COM置場所取得(int& column, int& row) {
    const int C = computer_piece;
    const int H = human_piece;
    window_.showMarker();
    盤_呼出();
    best1 = -sentinel;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            if (置けるか(x, y, C, H) != yes) continue;
            window_.moveMarker(twips_x(x), twips_y(y));
            待ち時間(0.1);
            反転_仮(x, y, C, H);
            board(x, y) = C;
            best2 = sentinel;
            盤_呼出2();
            for (column2 = 1; column2 <= 9; ++column2) {
                for (row2 = 1; row2 <= 9; ++row2) {
                    if (置けるか(column2, row2, H, C) != yes) continue;
                    反転_仮(column2, row2, H, C);
                    board(column2, row2) = H;
                    best3 = -sentinel;
                    盤_呼出3();
                    for (int column3 = 1; column3 <= 9; ++column3) {
                        for (int row3 = 1; row3 <= 9; ++row3) {
                            if (置けるか(column3, row3, C, H) != yes) continue;
                            反転_仮(column3, row3, C, H);
                            board(column3, row3) = C;
                            score = 得点取得(C, H);
                            if (score >= best3) best3 = score;
                            盤_保存3();
                            if (score >= best2) column3 = row3 = 9;  // the human would not allow this reply
                        }
                    }
                    盤_保存2();
                    if (best3 <= best2) best2 = best3;
                    if (best2 <= best1) column2 = row2 = 9;  // this first move is no better than the best
                }
            }
            盤_保存();
            if (best2 >= best1) {
                best1 = best2;
                column = x;
                row = y;
            }
        }
    }
    window_.hideMarker();
}

}  // namespace quillet
