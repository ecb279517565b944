#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""End-to-end scenarios against the installed game: scenarios.py NAME runs one of them in its
own Xvfb display and exits 0 when it passed, 1 when it failed, 77 when it cannot run here.
QUILLET_E2E_PREFIX names the installation prefix."""

import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import waits  # noqa: E402
from close_window import request_close  # noqa: E402
from desktop import Failure, log, session  # noqa: E402
from rules import FIRST, SECOND, EMPTY  # noqa: E402

SKIP = 77

# A short game between two people: the first player turns every piece of the second by the
# ninth move, so neither side can move and the game ends 13 to 0.
WIPEOUT = ["c4", "c3", "e6", "d6", "c6", "b4", "a4", "c5", "c2"]


def expect(condition, message):
    if not condition:
        raise Failure(message)


def click_square(game, square, button=1):
    game.display.click(*game.square_centre(square), button=button)


def start_two_players(game):
    game.choose("対局", 0, 0)  # 対MAN > START


def play_two_players(game, board, moves, side=FIRST):
    """Plays moves by clicking, checking after each that exactly the bracketed pieces turned."""
    for text in moves:
        square = rules.parse(text)
        after = rules.play(board, square, side)
        click_square(game, square)
        board = game.wait_board(after, what=f"{text} by {side} and its turned pieces")
        # The move that ends the game is followed at once by the end's first box, which a busy
        # machine may show before this look; after any other move there is no box.
        if rules.legal_moves(board, FIRST) or rules.legal_moves(board, SECOND):
            game.no_dialog()
        side = rules.opponent(side)
    return board, side


def swapped(board):
    return {sq: {FIRST: SECOND, SECOND: FIRST}.get(v, v) for sq, v in board.items()}


def refused(game, action, title):
    """A refused command shows an OK box with the given title and changes nothing."""
    before = game.read_board()
    action()
    game.answer(title)
    game.wait_board(before, f"the board unchanged after the refusal {title!r}")


def box_over_game(game, action, title, check=True):
    """Runs action, which brings up the box titled title, measures where the box stands once it
    stands still (game.box_rect: its frame or decoration included) and answers it. Returns the
    game's client box, the box's and the offset of their centres, across and down. With check, the
    box's centre must be within 50 px of the game's across and inside the game up and down."""
    game.reference = game.display.screenshot()  # what changed since is the box, where it is looked for
    action()
    window = waits.box(game, title)
    box = game.box_rect(window)
    main = game.geometry(game.main)
    across = box[0] + box[2] / 2 - (main[0] + main[2] / 2)
    down = box[1] + box[3] / 2 - (main[1] + main[3] / 2)
    log(f"box {title!r}: {box} over the game at {main}: centre off by {across:+.0f} across, {down:+.0f} down")
    if check:
        expect(abs(across) <= 50, f"the box {title!r} stands {across:+.0f} px across from the game's centre")
        expect(abs(down) <= main[3] / 2, f"the box {title!r} stands outside the game up and down ({down:+.0f} px)")
    game.answer(title)
    return main, box, (across, down)


# ---- (a) a game between two people --------------------------------------------------------------

def two_players(game):
    board = game.wait_board(rules.start_position(), "the start position")
    # No game yet: a click on the board is refused.
    refused(game, lambda: click_square(game, (5, 5)), "開始")
    start_two_players(game)
    game.no_dialog()

    # An illegal square: the legal squares show grey guide pieces while the button is held, and
    # they go when it is released; nothing else changes.
    legal = rules.legal_moves(board, FIRST)
    game.display.press(*game.square_centre((1, 1)))
    guided = dict(board)
    guided.update({sq: "g" for sq in legal})
    game.wait_board(guided, "guide pieces on the legal squares")
    game.display.release()
    game.wait_board(board, "the guide pieces removed")
    # A click beside the board does nothing at all: the move clicked after it is played (a box
    # it brought up would hold that click, and the wait would name the box), and no box is up.
    game.display.click(game.origin[0] + 10, game.origin[1] + 300)

    # The right button plays like the left.
    first, rest = WIPEOUT[0], WIPEOUT[1:]
    after = rules.play(board, rules.parse(first), FIRST)
    click_square(game, rules.parse(first), button=3)
    board = game.wait_board(after, what=f"{first} played with the right button")
    game.no_dialog()
    board, side = play_two_players(game, board, rest, SECOND)
    expect(not rules.legal_moves(board, FIRST) and not rules.legal_moves(board, SECOND),
           "the scripted game should have ended")

    # The end: announced, counted on the board, the winner named, then the question.
    game.answer("対局")
    # The と pieces laid out from the bottom-left, column by column: 9 in a, 4 in b; no 歩. The
    # result box may come up over the board before the look: the squares it hides are left out.
    counted = {sq: EMPTY for sq in board}
    counted.update({(1, y): FIRST for y in range(1, 10)})
    counted.update({(2, y): FIRST for y in range(6, 10)})
    wait_reply(game, [counted], what="the count laid out")
    game.answer("先手の勝ち！！")
    game.answer("対局")  # 続けます？ — Return answers Yes
    game.wait_board(rules.start_position(), "the start position after choosing to go on")
    refused(game, lambda: click_square(game, (3, 4)), "開始")
    expect(game.proc.poll() is None, "the game ended after choosing to go on")


# ---- (b) games against the computer -------------------------------------------------------------

def human_choice(board, human):
    """The human's move: the one that leaves the computer the fewest replies (short searches),
    ties to the first square."""
    computer = rules.opponent(human)
    return min(rules.legal_moves(board, human),
               key=lambda sq: len(rules.legal_moves(rules.play(board, sq, human), computer)))


def hidden_by(game, window):
    """The squares a window over the board hides, wholly or in part."""
    x, y, w, h = game.geometry(window)
    hidden = set()
    for square in rules.start_position():
        left, top = game.square_box(square)
        if left < x + w and left + 33 > x and top < y + h and top + 41 > y:
            hidden.add(square)
    return hidden


def wait_reply(game, replies, timeout=waits.DEADLINE, what="the computer's reply"):
    """The computer's reply as the screen shows it (or another board that a box may follow).
    The box that may follow it (the human's pass, the end of the game) can come up over the
    board before a busy machine lets the board be read: the squares the box hides are then left
    out, as long as one reply alone fits the rest."""
    seen = {}

    def shown():
        boxes = game.dialogs()
        board = game.read_board()
        hidden = hidden_by(game, boxes[0][0]) if boxes else set()
        seen["last"] = board
        fits = [b for b in replies if all(b[sq] == board[sq] for sq in board if sq not in hidden)]
        return fits[0] if len(fits) == 1 else None
    return waits.until(what, shown, timeout, 0.1,
                       seen=lambda: f"the screen shows\n{rules.render(seen['last'])}\nexpected\n"
                       + "\n--\n".join(rules.render(b) for b in replies[:3]))


def play_against_computer(game, human, board):
    """Plays to the end of the game; the computer moves whenever it is its turn. Returns the
    final board."""
    computer = rules.opponent(human)
    to_move = FIRST
    moves = 0
    while True:
        can_human = bool(rules.legal_moves(board, human))
        can_computer = bool(rules.legal_moves(board, computer))
        if not can_human and not can_computer:
            return board, moves
        if to_move == human:
            expect(can_human, "the human is to move without a legal square")
            square = human_choice(board, human)
            board = rules.play(board, square, human)
            click_square(game, square)
            moves += 1
            to_move = computer
            continue
        if not can_computer:
            game.answer("ＣＯＭ")  # the computer passes
            to_move = human
            continue
        replies = [rules.play(board, sq, computer) for sq in rules.legal_moves(board, computer)]
        board = wait_reply(game, replies)
        moves += 1
        if rules.legal_moves(board, human):
            to_move = human
        elif rules.legal_moves(board, computer):
            game.answer("MAN")  # the human must pass; the computer moves again
        else:
            return board, moves


def winner_title(board, human):
    first, second = rules.count(board, FIRST), rules.count(board, SECOND)
    if first == second:
        return "引き分け！！"
    first_wins = first > second
    return ("MAN" if first_wins == (human == FIRST) else "COM") + "の勝ち！！"


# Every ping must be answered before a desktop would call the window "not responding" (after
# about 5 s): the one bound a player sees, over six times the longest answer seen on a busy
# machine (0.81 s). A window that took no ping during the computer's moves and the animations
# (which run for seconds at a time) would leave one waiting far longer. How fast the answers come
# is measured, not asserted: scripts/measure.sh reports the longest.
PING_DEADLINE = 5.0


def check_pings(pinger, what):
    longest, count, at = pinger.stop()
    log(f"{what}: {count} pings, the longest answered after {longest:.3f} s (sent {at:.1f} s in)")
    expect(count > 0, "no ping was sent")
    expect(longest < PING_DEADLINE, f"{what}: the window left the window manager's ping unanswered for "
                                    f"{longest:.1f} s (sent {at:.1f} s in)")


def versus_computer_first(game):
    from ping import Pinger  # python3-xlib, which the Wayland scenarios do without
    game.wait_board(rules.start_position(), "the start position")
    pinger = Pinger(game.display.name, game.main)
    game.choose("対局", 1, 0)  # 対COM > 先手
    started = time.monotonic()
    board, moves = play_against_computer(game, FIRST, rules.start_position())
    log(f"game against the computer as 先手: {moves} moves in {time.monotonic() - started:.0f} s; "
        f"と {rules.count(board, FIRST)}, 歩 {rules.count(board, SECOND)}")
    game.answer("対局")
    game.answer(winner_title(board, FIRST))
    # The end count and the boxes included.
    check_pings(pinger, "the game as 先手")
    # 続けます？ — No ends the program.
    game.answer("対局", key="Escape")
    expect(game.wait_exit() == 0, "the game did not exit cleanly after declining to go on")


def versus_computer_second(game):
    from ping import Pinger
    game.wait_board(rules.start_position(), "the start position")
    pinger = Pinger(game.display.name, game.main)
    game.choose("対局", 1, 1)  # 対COM > 後手: the computer opens at once
    started = time.monotonic()
    board, moves = play_against_computer(game, SECOND, rules.start_position())
    log(f"game against the computer as 後手: {moves} moves in {time.monotonic() - started:.0f} s; "
        f"と {rules.count(board, FIRST)}, 歩 {rules.count(board, SECOND)}")
    game.answer("対局")
    game.answer(winner_title(board, SECOND))
    check_pings(pinger, "the game as 後手")
    game.answer("対局")  # Yes: a fresh start position, no game
    game.wait_board(rules.start_position(), "the start position after choosing to go on")
    refused(game, lambda: click_square(game, (3, 4)), "開始")


# ---- (c) 戻 / 進 / 逆転 / 最初 ----------------------------------------------------------------------

def navigation(game):
    start = game.wait_board(rules.start_position(), "the start position")
    refused(game, lambda: game.choose("戻"), "戻る")
    refused(game, lambda: game.choose("局面", 1), "逆転")  # nothing to exchange at the start
    start_two_players(game)
    positions = [start]
    board, side = start, FIRST
    for text in WIPEOUT[:3]:
        board, side = play_two_players(game, board, [text], side)
        positions.append(board)
    refused(game, lambda: game.choose("進"), "進む")  # already at the newest position

    game.choose("戻")
    game.wait_board(positions[2], "one position back")
    game.choose("戻")
    game.wait_board(positions[1], "two positions back")
    game.choose("進")
    game.wait_board(positions[2], "one position forward again")
    game.choose("進")
    game.wait_board(positions[3], "back at the newest position")
    refused(game, lambda: game.choose("進"), "進む")

    # 逆転: every piece shows the other face; the side to move keeps the position, so the player
    # now holding と moves next, and 戻 shows the earlier position with faces exchanged too.
    game.choose("局面", 1)
    flipped = game.wait_board(swapped(positions[3]), "every piece exchanged")
    game.no_dialog()
    game.choose("戻")
    game.wait_board(swapped(positions[2]), "the previous position, exchanged")
    game.choose("進")
    game.wait_board(flipped, "the exchanged position again")
    mover = FIRST  # 後手 was to move; after the exchange its pieces are と
    square = rules.legal_moves(flipped, mover)[0]
    play_two_players(game, flipped, [rules.name(square)], mover)

    # 最初: the start position and no game.
    game.choose("局面", 0)
    game.wait_board(start, "the start position after 最初")
    refused(game, lambda: click_square(game, (3, 4)), "開始")
    refused(game, lambda: game.choose("戻"), "戻る")


# ---- (d) coaching ---------------------------------------------------------------------------------

def book_move(game, board, computer):
    """The opening book's square for the human, asked of the installed quillet-tool the way the
    game asks: the faces exchanged, then the computer's book move."""
    tool = os.path.join(os.path.dirname(game.executable), "quillet-tool")
    book = os.path.join(game.cwd, "Quillet.定石")
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
        f.write(rules.render(swapped(board)) + f"\ncomputer {computer}\n")
        path = f.name
    try:
        out = subprocess.run([tool, "lookup", book, path], capture_output=True, text=True)
    finally:
        os.unlink(path)
    if out.returncode != 0:
        raise Failure(f"quillet-tool lookup failed: {out.stderr.strip()}")
    answer = out.stdout.strip()
    return None if answer == "none" else rules.parse(answer)


def coaching(game):
    start = game.wait_board(rules.start_position(), "the start position")
    expect(game.checked_items("ｵﾌﾟｼｮﾝ") == [False, False, True], "at start only BGM is checked")
    # Coaching is for games against the computer: refused between two people.
    start_two_players(game)
    refused(game, lambda: game.choose("ｵﾌﾟｼｮﾝ", 1), "指南モード")
    expect(game.checked_items("ｵﾌﾟｼｮﾝ") == [False, False, True], "the refusal set the check mark")
    game.choose("局面", 0)  # 最初
    game.wait_board(start, "the start position")

    if not os.path.exists(os.path.join(game.cwd, "Quillet.定石")):
        log("coaching: the opening book is not installed; the hint cannot be checked")
        sys.exit(SKIP)

    game.choose("対局", 1, 1)  # 後手: the computer (と) opens
    replies = [rules.play(start, sq, FIRST) for sq in rules.legal_moves(start, FIRST)]
    board = game.wait_board(replies, "the computer's opening move")
    hint = book_move(game, board, FIRST)
    if hint is None:
        raise Failure("the opening book has no answer to the computer's opening move")
    game.choose("ｵﾌﾟｼｮﾝ", 1)  # 指南ﾓｰﾄﾞ on: the pending hint shows at once
    waits.until("the 指南します picture", lambda: game.coaching_picture() == "hint")
    expect(game.checked_items("ｵﾌﾟｼｮﾝ") == [False, True, True], "coaching is not checked")

    # A legal square that is not the hint: a message, the hint square blinks, nothing is played.
    other = next(sq for sq in rules.legal_moves(board, SECOND) if sq != hint)
    click_square(game, other)
    box = game.answer(" ? ? ? ?", closed=False)
    # The piece shows three times for a tenth of a second: looked for straight from the X
    # server, many times a frame, from the moment the box is answered.
    square = game.square_box(hint)
    waits.until(f"the hint square {rules.name(hint)} blinking",
                lambda: game.classify(game.display.grab((*square, 33, 41)), hint) == SECOND, interval=0.005)
    waits.gone("the box ' ? ? ? ?' to close", lambda: box in game.windows())
    game.wait_board(board, "the board unchanged after the refused click")

    # The hint square is played as a normal move; the computer answers.
    after = rules.play(board, hint, SECOND)
    click_square(game, hint)
    replies = [rules.play(after, sq, FIRST) for sq in rules.legal_moves(after, FIRST)]
    game.wait_board(replies, "the hint played and the computer's reply")
    game.no_dialog()

    # Coaching off lifts the restriction and blanks the picture.
    game.choose("ｵﾌﾟｼｮﾝ", 1)
    waits.until("the coaching picture blanked", lambda: game.coaching_picture() == "blank")


# ---- (e) move numbers -----------------------------------------------------------------------------

def numbers_on(game, board):
    shot = game.display.screenshot()
    return {sq for sq in board if game.move_numbers_shown(shot, sq)}


def move_numbers(game):
    start = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    board, side = play_two_players(game, start, WIPEOUT[:3])
    placed = {rules.parse(t) for t in WIPEOUT[:3]}
    expect(not numbers_on(game, board), "move numbers shown before they were switched on")
    game.choose("ｵﾌﾟｼｮﾝ", 0)
    waits.until("move numbers on the placed pieces", lambda: numbers_on(game, board) == placed)
    expect(game.checked_items("ｵﾌﾟｼｮﾝ")[0], "手順番号表示 is not checked")
    # A new move gets its number at once.
    square = rules.parse(WIPEOUT[3])
    board, side = play_two_players(game, board, [WIPEOUT[3]], side)
    waits.until("the new move's number", lambda: numbers_on(game, board) == placed | {square})
    game.choose("ｵﾌﾟｼｮﾝ", 0)
    waits.until("move numbers gone", lambda: not numbers_on(game, board))
    game.wait_board(board, "the pieces unchanged")
    expect(not game.checked_items("ｵﾌﾟｼｮﾝ")[0], "手順番号表示 is still checked")


# ---- (f) music --------------------------------------------------------------------------------------

# What is listened to at each look: about a quarter of a second of the disk driver's output.
LISTEN_BYTES = 48 * 1024


def audio_level(path, since):
    """Waits until SDL's disk driver has written LISTEN_BYTES after offset `since`; returns how
    many of those bytes are not silence, the new offset and how many were read."""
    waits.file(path, f"{LISTEN_BYTES} bytes of sound output after byte {since}",
               lambda p: os.path.getsize(p) >= since + LISTEN_BYTES)
    with open(path, "rb") as f:
        f.seek(since)
        data = f.read(LISTEN_BYTES)
    # Signed samples: silence is all zero bytes.
    loud = sum(1 for b in data if b not in (0, 0xFF))
    return loud, since + len(data), len(data)


def music(game):
    game.wait_board(rules.start_position(), "the start position")
    path = game.audio_path
    expect(game.checked_items("ｵﾌﾟｼｮﾝ")[2], "BGM is not checked at start")
    offset = os.path.getsize(path)
    loud, offset, written = audio_level(path, offset)
    expect(written > 0, "the sound device wrote nothing")
    expect(loud > written // 10, "no music playing at start")
    game.choose("ｵﾌﾟｼｮﾝ", 2)  # BGM off
    expect(not game.checked_items("ｵﾌﾟｼｮﾝ")[2], "BGM still checked after switching it off")
    loud, offset, written = audio_level(path, os.path.getsize(path) + 4096)
    expect(written > 0 and loud == 0, f"sound goes on after BGM off ({loud} of {written} bytes)")
    game.choose("ｵﾌﾟｼｮﾝ", 2)  # BGM on
    expect(game.checked_items("ｵﾌﾟｼｮﾝ")[2], "BGM not checked after switching it on")
    loud, offset, written = audio_level(path, os.path.getsize(path))
    expect(loud > written // 10, "no music after BGM on")


# ---- (g) the about box ----------------------------------------------------------------------------

def about(game):
    start = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    board, side = play_two_players(game, start, WIPEOUT[:1])
    game.choose("その他")
    window, title = game.wait_dialog()
    expect(title == "Quillet", f"the about box is titled {title!r}")
    game.answer("Quillet")
    game.wait_board(board, "the game unchanged after the about box")
    # The game goes on where it was.
    play_two_players(game, board, WIPEOUT[1:2], side)


# ---- (h) every way out --------------------------------------------------------------------------

def exit_escape(game):
    start = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    play_two_players(game, start, WIPEOUT[:1])
    game.focus_main()
    game.display.xdotool("key", "a", "Return", "space")
    game.input_handled()
    expect(game.proc.poll() is None, "a key other than Escape ended the game")
    game.no_dialog()
    game.focus_main()
    game.display.xdotool("key", "Escape")
    expect(game.wait_exit() == 0, "Escape did not end the program cleanly")


def exit_menu(game):
    game.wait_board(rules.start_position(), "the start position")
    game.choose("対局", 2)  # 終了
    expect(game.wait_exit() == 0, "終了 did not end the program cleanly")


def exit_close(game):
    start = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    play_two_players(game, start, WIPEOUT[:1])
    request_close(game.display.name, int(game.main))
    expect(game.wait_exit() == 0, "closing the window did not end the program cleanly")
    expect("Quillet.dll" not in game.output(), "a sound warning on the way out")


SCENARIOS = {f.__name__: f for f in [two_players, versus_computer_first, versus_computer_second, navigation,
                                     coaching, move_numbers, music, about, exit_escape, exit_menu, exit_close]}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: scenarios.py " + "|".join(SCENARIOS), file=sys.stderr)
        return 2
    scenario = SCENARIOS[sys.argv[1]]
    env = {}
    if scenario is music:
        # SDL's disk driver writes what would be heard to a file, in real time.
        audio = tempfile.NamedTemporaryFile(prefix="quillet-audio-", suffix=".raw", delete=False)
        audio.close()
        env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio.name}

        def with_audio(game, audio=audio.name):
            game.audio_path = audio
            music(game)
        with_audio.__name__ = "music"
        try:
            return session(with_audio, env)
        finally:
            os.unlink(audio.name)
    return session(scenario, env)


if __name__ == "__main__":
    sys.exit(main())
