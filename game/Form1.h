// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1: the one game object, holding the whole game state and every procedure of the game, each
// defined in its subsystem's folder. It reaches the desktop only through the seam's three
// interfaces (seam/Window.h, Clock.h and SoundLibrary.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/Checked.h"
#include "seam/Clock.h"
#include "seam/SoundLibrary.h"
#include "seam/Window.h"

namespace quillet {

struct DataFile;

class Form1 {
public:
    Form1(Window& window, Clock& clock, SoundLibrary& sound);

    // ---- Shared constants ----------------------------------------------------------------
    static constexpr int yes = 1;
    static constexpr int no = 0;
    static constexpr int empty_code = 2;
    static constexpr int first_code = 1;   // 先手, face と
    static constexpr int second_code = 7;  // 後手, face 歩
    static constexpr int no_side = 9;
    static constexpr int guide_code = 8;
    static constexpr int mode_two_humans = 3;
    static constexpr int mode_vs_computer = 2;
    static constexpr int again_result = 2;
    static constexpr int blink_count = 3;
    static constexpr int coach_erase = 0;
    static constexpr int coach_hint = 1;
    static constexpr int coach_mode = 2;
    // Where every coaching picture stands, in squares: right of the board, level with row 3.
    static constexpr double coach_left = 10.5;
    static constexpr double coach_top = 3.1;
    static constexpr int draw_on = 1;
    static constexpr int draw_off = 0;
    static constexpr int board_left = 100;
    static constexpr int board_top = 100;
    static constexpr int square_width = 495;
    static constexpr int square_height = 615;
    static constexpr int board_color = 2;
    static constexpr int color_white = 15;
    static constexpr int color_black = 0;
    static constexpr int color_light_green = 10;
    static constexpr int record_size = 82;
    static constexpr int book_capacity = 10000;
    // The KOMA pictures of a piece turning over, towards the と face (first_code) and towards
    // the 歩 face; the face it leaves is not shown again.
    static constexpr int turning_frames[2][6] = {{6, 5, 4, 3, 2, 1}, {2, 3, 4, 5, 6, 7}};
    static constexpr const int* frames_towards(int code) {
        return turning_frames[code == first_code ? 0 : 1];
    }
    static constexpr int 相手(int side) { return side == first_code ? second_code : first_code; }

    // A position handed in by the tools and tests: cells 1..9 (any code but a side's is empty),
    // the side to move and the computer's pieces (the human has the others).
    struct Position {
        Grid<10> cells;
        int side_to_move = first_code;
        int computer_piece = second_code;
        bool operator==(const Position&) const = default;
    };

    // ---- Game state ----------------------------------------------------------------------
    Grid<12> board;  // (column, row); 1..9 played, 0 and 10 the empty ring
    int side_to_move = no_side;
    int other_side = second_code;
    int game_mode = no_side;
    int human_piece = first_code;
    int computer_piece = second_code;

    // Position record
    int move_count = 0;
    int last_move_count = 0;
    CheckedArray<int, record_size> move_side;
    CheckedArray<int, record_size> move_x;
    CheckedArray<int, record_size> move_y;
    CheckedArray<Grid<10>, record_size> position_record;  // cells 1..9 used

    // Coaching hint for the human
    int hint_available = no;
    int hint_x = 0;
    int hint_y = 0;

    // Sound device and buffers
    std::int32_t sound_device = 0;
    std::int32_t sound_other = 0;
    std::int32_t sound_forbidden = 0;
    std::int32_t sound_place = 0;
    std::int32_t sound_bgm = 0;

    // Search state
    Grid<12> search_snapshot_1;
    Grid<12> search_snapshot_2;
    Grid<12> search_snapshot_3;
    int best1 = 0, best2 = 0, best3 = 0, score = 0;
    int column2 = 0, row2 = 0;
    long evaluation_calls = 0;  // 得点取得 calls since construction (for analysis)

    // Opening book (indices 1..book_capacity; 0 never filled; 0 in the index arrays = unset)
    std::vector<std::string> book_lines;
    int book_line_count = 0;
    CheckedArray<int, book_capacity + 1> book_first_line;
    CheckedArray<int, book_capacity + 1> book_last_line;

    // A book or sound not in the current directory is looked for in data_folder, the installed
    // game's (empty: nowhere else). A file over its limit, far beyond any real one, is unreadable.
    std::string data_folder;
    static constexpr std::size_t book_size_limit = std::size_t(64) << 20;
    static constexpr std::size_t sound_size_limit = std::size_t(1) << 30;

    // Each group of procedures below is headed by the file that defines it.

    // ---- Game flow -----------------------------------------------------------------------
    void Form_Load();  // game/form_load.cpp
    void 初期設定();   // game/reset.cpp
    // game/mouse_input.cpp
    void Form_MouseDown(int button, int shift, double X, double Y);
    void Form_MouseUp(int button, int shift, double X, double Y);
    void START_Click();  // game/modes.cpp
    // game/modes_computer.cpp
    void SENTE_Click();
    void GOTE_Click();
    // game/game_end.cpp
    void 終了();
    void 終了処理();
    void EXIT_Click();
    void Form_KeyDown(int keycode, int shift);
    void Form_Unload();

    // ---- Rules ---------------------------------------------------------------------------
    // rules/placement.cpp
    int 置けるか(int x, int y, int side, int opponent) const;
    int 置けるか_左(int x, int y, int side, int opponent) const;
    int 置けるか_右(int x, int y, int side, int opponent) const;
    int 置けるか_上(int x, int y, int side, int opponent) const;
    int 置けるか_下(int x, int y, int side, int opponent) const;
    int 置けるか_左上(int x, int y, int side, int opponent) const;
    int 置けるか_左下(int x, int y, int side, int opponent) const;
    int 置けるか_右上(int x, int y, int side, int opponent) const;
    int 置けるか_右下(int x, int y, int side, int opponent) const;
    // rules/flipping.cpp
    void 反転(int x, int y, int side, int opponent);
    void 反転_仮(int x, int y, int side, int opponent);
    // rules/mobility.cpp
    int 置き場所があるか(int side, int opponent) const;
    int 調査_駒数(int code) const;

    // ---- Computer player -----------------------------------------------------------------
    // ai/computer_turn.cpp. The computer's turn: 1 moved, 0 passed, again_result when the human
    // must pass; empty when the game was over on entry.
    std::optional<int> com_打つ();
    // The computer's square, neither placed nor drawn: 定石手 is the book's move if it is on the
    // board and playable; COM手選択 takes it, else the search's. The search (with its marker
    // tour) runs on a book move too, unless search_on_book is false (the tools: nothing is shown).
    int 定石手(int& column, int& row) const;
    int COM手選択(int& column, int& row, bool search_on_book = true);
    // ai/search.cpp
    void COM置場所取得(int& column, int& row);
    void 盤_呼出();
    void 盤_呼出2();
    void 盤_呼出3();
    void 盤_保存();
    void 盤_保存2();
    void 盤_保存3();
    int 得点取得(int own, int opponent);        // ai/evaluation.cpp
    int 安全駒数(int own, int opponent) const;  // ai/safe_count.cpp
    // ai/book.cpp
    void 定石ファイル読込();
    // Reads the book from path (the game itself only ever reads it by its bare name).
    void 定石ファイル読込(const std::string& path);
    void 定石ファイル読込(const DataFile& file);
    int 調査_定石有無(int& column, int& row) const;
    std::string 取得_文字列(int orientation) const;
    void 取得_文字列_定石座標(const std::string& text, int& group) const;
    std::string 取得_文字列_定石(const std::string& line) const;
    // Converts a move text; yes when it fitted one of the two forms.
    int 取得_座標(const std::string& move_text, int orientation, int& column, int& row) const;

    // ---- Record and review ---------------------------------------------------------------
    // record/position_record.cpp. 局面_設定 is the one way a Position enters (the ring emptied,
    // the record, mode and hint left alone), 局面_取得 the one way out.
    void 将棋盤_保存(int k);
    void 将棋盤_入替();
    void 局面_設定(const Position& p);
    Position 局面_取得() const;
    // record/navigation.cpp
    void SAISYO_Click();
    void MODORU_Click();
    void SUSUMU_Click();
    void GYAKU_Click();                                // record/reverse.cpp
    void SINAN_Click();                                // record/coaching.cpp
    void 描画_指南(double x, double y, int selector);  // record/coaching_picture.cpp
    // The coaching picture the present state calls for (nothing to draw with coaching off).
    void 描画_指南状態();  // record/coaching_picture.cpp

    // ---- Display -------------------------------------------------------------------------
    // view/board_drawing.cpp
    void 描画_四角形(double x, double y, double width, double height, int color);
    void 描画_桝輪郭(int color, int x, int y);
    void 描画_桝(int x, int y);
    void 描画_駒(int x, int y, int code);
    void 描画_文字列(double x, double y, const std::string& text, int size, int color);
    void 描画_文字列(double x, double y, int number, int size, int color);
    void 描画_将棋盤();
    // view/animation.cpp
    void 待ち時間(double seconds);
    void 描画_駒回転(int x, int y, int code);
    void 描画_駒点滅(int x, int y, int code, int times);
    void 描画_割駒(int code);
    void 描画_判定(int first_total, int second_total);
    // view/status.cpp
    void 描画_駒手番(const std::string& first_name, const std::string& second_name);
    void 描画_手(double x, double y, int selector);
    void 描画_手番(int side);
    void 描画_措可桝(int side, int opponent);
    void 描画_全手順番号();
    void 描画_手順番号(double x, double y, int number, int color);
    void TEJYUN_Click();

    // ---- Sound: sound/sound_module.cpp ----------------------------------------------------
    void sound_open(std::int32_t window_handle);
    std::int32_t sound_load(const std::string& file_name, std::int32_t flags);
    void sound_close();
    void sound_warning(const std::string& text);
    void BGM_Click();

    // ---- Main window: game/about.cpp -----------------------------------------------------
    void SONOTA_Click();

private:
    // game/mouse_input.cpp. 駒を置く places a piece for side, the human's or the computer's:
    // sound, blink, flips, the square, and the move recorded as a new position.
    void 駒を置く(int x, int y, int side, int opponent);
    void 人間対人間(int x, int y);
    void 人間対COM(int x, int y);
    void COM手番ループ();
    // game/mouse_input.cpp: 手番_交代 hands the turn over, recording the new side to move as
    // 手番_記録 does (move_side[move_count]) when `recorded`; 手番_設定 puts `side` to move
    // against its opponent (other_side stays for a code of neither side: an unwritten entry).
    void 手番_交代(bool recorded);
    void 手番_記録();
    void 手番_設定(int side);
    // game/refusal.cpp: a refused command plays the forbidden sound, then shows text in a
    // message box titled after the command, with an OK button.
    void 拒否(const std::string& text, const std::string& title);
    // game/modes_computer.cpp: a game against the computer with the human on `human`.
    void 対COM開始(int human, int computer);
    // record/hint.cpp: 指南_更新 looks up the human's hint in the book (after the computer's
    // turn, 戻 and 進); 指南_取消 erases the coaching picture and forgets the hint.
    void 指南_更新();
    void 指南_取消();
    // record/coaching.cpp
    int 指南チェック(int x, int y);
    int 定石検索_人間(int& column, int& row);
    // record/navigation.cpp: one step of 戻 (-1) or 進 (+1) onto position_record[move_count],
    // animated.
    void 局面_移動(int direction);
    static double twips_x(double x) { return board_left + square_width * x; }
    static double twips_y(double y) { return board_top + square_height * y; }

    Window& window_;
    Clock& clock_;
    SoundLibrary& sound_;
};

}  // namespace quillet
