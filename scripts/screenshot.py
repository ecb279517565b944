#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Takes the README's screenshot: screenshot.py PREFIX OUTPUT_PNG.

Starts the game installed in PREFIX in a private Xvfb display, switches the move numbers on,
plays a few moves as 先手 against the computer and writes the game's window alone (menu bar and
drawing area) to OUTPUT_PNG. Driven like the end-to-end tests (tests/e2e/desktop.py): clicks
through the X server, the board read back from the screen; the moves are the same every time."""

import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import rules  # noqa: E402
from desktop import Display, Failure, Game, log, poll  # noqa: E402
from scenarios import click_square  # noqa: E402

HUMAN_MOVES = 6  # and as many replies: the middle of a game, a turn for the human to take


def human_choice(board, human):
    """The legal square nearest the board's centre (ties to the first): the game stays in the
    middle of the board, where a picture shows it best."""
    return min(rules.legal_moves(board, human), key=lambda sq: (sq[0] - 5) ** 2 + (sq[1] - 5) ** 2)


def take(prefix, out):
    display = Display()
    game = None
    try:
        game = Game(display, prefix)
        board = game.wait_board(rules.start_position(), 10, "the start position")
        game.choose("ｵﾌﾟｼｮﾝ", 0)  # 手順番号表示
        game.choose("対局", 1, 0)  # 対COM > 先手
        human, computer = rules.FIRST, rules.SECOND
        for _ in range(HUMAN_MOVES):
            square = human_choice(board, human)
            board = rules.play(board, square, human)
            click_square(game, square)
            replies = [rules.play(board, sq, computer) for sq in rules.legal_moves(board, computer)]
            board = game.wait_board(replies, 60, "the computer's reply")
            if not rules.legal_moves(board, human):
                raise Failure("the human has to pass; choose other moves for the picture")
        # The reply's last drawing (turn line, hand, numbers) once the board is still.
        time.sleep(1.0)
        poll("the move numbers", lambda: game.move_numbers_shown(game.display.screenshot(), square), 5)
        # The game places its window a few pixels past the screen's corner; bring all of it in.
        display.xdotool("windowmove", "--sync", game.main, 0, 0)
        time.sleep(0.5)
        os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
        display.run(["import", "-window", game.main, out])
        log(f"wrote {out}")
        return 0
    except Failure as e:
        log(f"screenshot.py: {e}")
        if game:
            log("game output:\n" + game.output())
        return 1
    finally:
        if game:
            game.stop()
        display.close()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print("usage: screenshot.py PREFIX OUTPUT_PNG", file=sys.stderr)
        sys.exit(2)
    sys.exit(take(sys.argv[1], sys.argv[2]))
