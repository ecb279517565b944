#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""End-to-end scenarios of the game in motion: what the screen shows while the computer thinks,
input made while a move runs, and the desktop's keyboard habits. motion.py NAME runs one in its
own Xvfb display; exit 0 passed, 1 failed. QUILLET_E2E_PREFIX names the installation prefix."""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import waits  # noqa: E402
from desktop import Failure, log, session  # noqa: E402
from rules import FIRST, SECOND  # noqa: E402
from scenarios import WIPEOUT, click_square, expect, play_two_players, start_two_players  # noqa: E402

MENU_GREY = 200  # a closed drop-down left on the screen shows as light grey or white over the board


def hand_squares(game, shot):
    """Squares on which the pointing hand stands: its white palm is the only pure white inside
    the board's squares (pieces are yellow, wood is brown, move numbers green)."""
    found = []
    for square in rules.start_position():
        left, top = game.square_box(square)
        white = sum(1 for y in range(top + 2, top + 40, 2) for x in range(left + 2, left + 32, 2)
                    if shot.get(x, y) == (255, 255, 255))
        if white > 12:
            found.append(square)
    return found


def menu_remnant(game, shot, box):
    """Pixels of a closed drop-down still on the screen where it covered the board's squares
    (the white column letters above them are left out)."""
    x0, y0, w, h = box
    top = max(y0, game.square_box((1, 1))[1] + 2)
    return sum(1 for y in range(top, y0 + h - 2, 2) for x in range(x0 + 2, x0 + w - 2, 2)
               if min(shot.get(x, y)) > MENU_GREY)


def computer_thinking(game):
    """The computer moves first: the drop-down is gone from the first frame on, and the hand
    hops over the computer's legal first moves in scan order (column by column), one frame
    after another, until it plays."""
    board = game.wait_board(rules.start_position(), "the start position")
    legal = rules.legal_moves(board, FIRST)
    # 対局 > 対COM > 後手, remembering where the second drop-down stood.
    game.click_title("対局")
    first, x, width, rows = game.wait_popup([], 3)
    game.display.click(x + min(40, width // 3), rows[1])
    second, x2, width2, rows2 = game.wait_popup([first], 2)
    box = game.geometry(second)
    game.display.click(x2 + min(40, width2 // 3), rows2[1])
    waits.until("the drop-downs to close", lambda: not game.windows(), interval=0.02)

    # Looked at straight from the X server, many times while the hand stands on a square (a
    # tenth of a second), until the computer has played.
    seen = []  # the squares under the hand, look by look
    remnants = 0
    board_box = game.board_box()
    area = (min(board_box[0], box[0]), min(board_box[1], box[1]),
            max(board_box[0] + board_box[2], box[0] + box[2]) - min(board_box[0], box[0]),
            max(board_box[1] + board_box[3], box[1] + box[3]) - min(board_box[1], box[1]))

    def played():
        nonlocal remnants
        shot = game.display.grab(area)
        remnants = max(remnants, menu_remnant(game, shot, box))
        seen.append(hand_squares(game, shot))
        return rules.count(game.read_board(shot), FIRST) > 2
    waits.until("the computer to play its first move", played, interval=0.005)
    expect(remnants == 0, f"the closed drop-down stayed on the screen ({remnants} pixels)")
    tour = []
    for squares in seen:
        expect(len(squares) <= 1, f"the hand on several squares at once: {squares}")
        if squares and (not tour or tour[-1] != squares[0]):
            tour.append(squares[0])
    log(f"{len(seen)} looks while the computer thought; the hand's tour: {[rules.name(sq) for sq in tour]}")
    expect(tour, f"the hand was seen on none of {len(seen)} frames while the computer thought")
    expect(all(sq in legal for sq in tour), f"the hand stood on {tour}; legal first moves are {legal}")
    expect(tour == sorted(tour), f"the hand's tour {tour} is not in scan order")
    after = game.wait_board([rules.play(board, sq, FIRST) for sq in legal], "the computer's move")
    expect(not hand_squares(game, game.display.screenshot()), "the hand stays after the computer played")
    expect(after != board, "the computer did not move")


def input_before_a_box(game):
    """A click on the board made while the last move of a game still runs is not swallowed by
    the boxes that end the game: it is handled once they are answered (here: no game, so it is
    refused). Y answers the question whether to go on."""
    board = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    board, side = play_two_players(game, board, WIPEOUT[:-1], FIRST)
    last = rules.parse(WIPEOUT[-1])
    click_square(game, last)
    click_square(game, (9, 9))  # while the last move is still turning pieces
    game.answer("対局")
    game.answer("先手の勝ち！！")
    game.answer("対局", key="y")  # 続けます？
    game.answer("開始")  # the held click, handled with the state as it is now: no game
    game.wait_board(rules.start_position(), "the start position after going on")
    expect(game.proc.poll() is None, "the game ended")


def menu_keys(game):
    """The menu bar by keyboard: a command of the bar highlighted with the arrow keys runs on
    Return, F10 opens the first menu, and Alt reaches the bar."""
    game.wait_board(rules.start_position(), "the start position")
    # Alt alone reaches the bar; Down then opens the first menu.
    # (The bar shows nothing for Alt alone; the game takes the keys in the order sent.)
    game.focus_main()
    game.display.xdotool("key", "alt")
    game.display.xdotool("key", "Down")  # opens 対局 with its first item highlighted
    window = waits.until("the menu opened from the keyboard", lambda: (game.windows() or [None])[0])
    game.display.xdotool("key", "Escape")
    waits.until("the menu to close", lambda: window not in game.windows())
    game.click_title("対局")
    first, _, _, _ = game.wait_popup([], 3)
    game.display.xdotool("key", "Right")  # 局面, its first item highlighted
    waits.until("the drop-down of 局面", lambda: [w for w in game.windows() if w != first])
    game.display.xdotool("key", "Right")  # 戻: no drop-down, the title highlighted
    waits.until("the drop-down to close", lambda: not game.windows())
    game.display.xdotool("key", "Return")
    game.answer("戻る")  # 戻れません: nothing recorded yet
    game.focus_main()
    game.display.xdotool("key", "F10")
    window, _, _, _ = game.wait_popup([], 3)
    game.display.xdotool("key", "Escape")
    waits.until("the menu to close", lambda: window not in game.windows())
    expect(game.proc.poll() is None, "Escape in the menu ended the game")


SCENARIOS = {f.__name__: f for f in [computer_thinking, input_before_a_box, menu_keys]}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: motion.py " + "|".join(SCENARIOS), file=sys.stderr)
        return 2
    return session(SCENARIOS[sys.argv[1]])


if __name__ == "__main__":
    sys.exit(main())
