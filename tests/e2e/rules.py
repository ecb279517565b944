# SPDX-License-Identifier: GPL-3.0-or-later
"""The board rules, written independently of the game's C++ code, so the end-to-end tests can
say which squares are legal and what a move must turn over, and check the screen against it."""

FIRST, SECOND, EMPTY = "x", "o", "."  # と, 歩, empty: the letters of quillet-tool's files
DIRECTIONS = [(dx, dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1) if (dx, dy) != (0, 0)]


def opponent(side):
    return SECOND if side == FIRST else FIRST


def start_position():
    board = {(x, y): EMPTY for x in range(1, 10) for y in range(1, 10)}
    board[(4, 4)] = board[(5, 5)] = SECOND
    board[(5, 4)] = board[(4, 5)] = FIRST
    return board


def flips(board, square, side):
    """The squares a piece of `side` on `square` would turn over (empty: not a legal square)."""
    if board[square] != EMPTY:
        return []
    other = opponent(side)
    turned = []
    for dx, dy in DIRECTIONS:
        x, y = square[0] + dx, square[1] + dy
        line = []
        while 1 <= x <= 9 and 1 <= y <= 9 and board[(x, y)] == other:
            line.append((x, y))
            x, y = x + dx, y + dy
        if line and 1 <= x <= 9 and 1 <= y <= 9 and board[(x, y)] == side:
            turned.extend(line)
    return turned


def legal_moves(board, side):
    return [sq for sq in sorted(board) if flips(board, sq, side)]


def play(board, square, side):
    turned = flips(board, square, side)
    if not turned:
        raise ValueError(f"{name(square)} is not legal for {side}")
    after = dict(board)
    for sq in turned + [square]:
        after[sq] = side
    return after


def count(board, side):
    return sum(1 for v in board.values() if v == side)


def name(square):
    return "abcdefghi"[square[0] - 1] + str(square[1])


def parse(text):
    """'d3' -> (4, 3)"""
    return ("abcdefghi".index(text[0]) + 1, int(text[1:]))


def render(board):
    return "\n".join("".join(board[(x, y)] for x in range(1, 10)) for y in range(1, 10))
