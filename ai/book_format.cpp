// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cstring>

#include "ai/BookFormat.h"

namespace quillet::book_format {

namespace {

constexpr std::size_t kept_length = longest_line + 1;

// Value of the leading decimal digits of text (0 when it starts with none); text is at most a
// few characters, so the value stays small.
int leadingNumber(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return value;
}

// How many characters stand before the group number's comma: 3 or 4, or 0 when neither the 4th
// nor the 5th character is a comma.
std::size_t groupLength(std::string_view text) {
    if (text.size() >= 4 && text[3] == ',') return 3;
    if (text.size() >= 5 && text[4] == ',') return 4;
    return 0;
}

}  // namespace

std::string Line::text() const { return key + "," + std::to_string(column) + "," + std::to_string(row); }

void writeBook(std::ostream& out, const std::vector<Line>& lines) {
    for (const Line& line : lines) out << line.text() << '\n';
}

void readLines(std::istream& in, const std::function<bool(const std::string&)>& take) {
    static constexpr std::size_t block_size = 1 << 16;
    std::string block(block_size, '\0');
    std::string line;
    bool inLine = false;   // characters have been seen since the last line end
    bool afterCR = false;  // the last line ended with CR; an LF right after it belongs to it
    bool atStart = true;
    while (in) {
        in.read(block.data(), block_size);
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        const char* const begin = block.data();
        const char* const end = begin + got;
        const char* p = begin;
        if (atStart) {
            atStart = false;
            // A UTF-8 byte order mark written by some editors is not part of the first entry.
            if (got >= 3 && block.compare(0, 3, "\xEF\xBB\xBF") == 0) p += 3;
        }
        if (afterCR && p < end && *p == '\n') ++p;
        afterCR = false;
        // Next LF and CR at or after p; each is searched again only once p has passed it.
        const char* lf = nullptr;
        const char* cr = nullptr;
        while (p < end) {
            if (lf == nullptr || lf < p) lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (lf == nullptr) lf = end;
            if (cr == nullptr || cr < p) cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
            if (cr == nullptr) cr = end;
            const char* const stop = std::min(lf, cr);
            const std::size_t room = kept_length - std::min(kept_length, line.size());
            line.append(p, std::min(room, static_cast<std::size_t>(stop - p)));
            if (stop > p) inLine = true;
            if (stop == end) break;
            inLine = false;
            if (!take(line)) return;
            line.clear();
            p = stop + 1;
            if (*stop == '\r') {
                if (p == end)
                    afterCR = true;
                else if (*p == '\n')
                    ++p;
            }
        }
    }
    if (inLine) take(line);
}

std::size_t keyLength(std::string_view line) {
    const std::size_t last = line.rfind(',');
    if (last == std::string_view::npos || last == 0) return std::string_view::npos;
    return line.rfind(',', last - 1);
}

std::optional<int> lenientGroup(std::string_view text) {
    const std::size_t length = groupLength(text);
    if (length == 0) return std::nullopt;
    return leadingNumber(text.substr(0, length));
}

bool lenientMove(std::string_view moveText, int& a, int& b) {
    if (moveText.size() >= 3 && moveText[2] == ',') {
        a = leadingNumber(moveText.substr(1, 1));
        b = leadingNumber(moveText.substr(3, 2));
    } else if (moveText.size() >= 4 && moveText[3] == ',') {
        a = leadingNumber(moveText.substr(1, 2));
        b = leadingNumber(moveText.substr(4, 2));
    } else {
        return false;
    }
    return true;
}

int groupNumber(std::string_view text) {
    const std::size_t length = groupLength(text);
    if (length == 0) return -1;
    int n = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        n = n * 10 + (text[i] - '0');
    }
    return n;
}

std::optional<KeyBoard> readKey(std::string_view key, std::string& error) {
    const int group = groupNumber(key);
    if (group < 0) {
        error = "no group number of three or four digits before the first comma";
        return std::nullopt;
    }
    KeyBoard board;
    board.digits.fill('0');
    int ones = 0, twos = 0;
    std::size_t at = key.find(',');
    for (int r = 1; r <= 9; ++r) {
        if (at >= key.size() || key[at] != ',') {
            error = "row " + std::to_string(r) + " does not start with a comma";
            return std::nullopt;
        }
        const std::size_t end = std::min(key.find(',', at + 1), key.size());
        const std::string_view cells = key.substr(at + 1, end - at - 1);
        if (cells.size() > 9) {
            error = "row " + std::to_string(r) + " has more than nine cells";
            return std::nullopt;
        }
        if (!cells.empty() && cells[0] == '0') {
            error = "row " + std::to_string(r) + " does not start at its first piece";
            return std::nullopt;
        }
        const int skipped = 9 - static_cast<int>(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const char c = cells[i];
            if (c != '0' && c != '1' && c != '2') {
                error = "row " + std::to_string(r) + " holds '" + std::string(1, c) + "' (only 0, 1, 2)";
                return std::nullopt;
            }
            board.digits[(r - 1) * 9 + skipped + static_cast<int>(i)] = c;
            ones += c == '1';
            twos += c == '2';
        }
        at = end;
    }
    if (at != key.size()) {
        error = "more than nine rows";
        return std::nullopt;
    }
    if (group != ones * 100 + twos) {
        error = "group number " + std::to_string(group) + " does not count the pieces";
        return std::nullopt;
    }
    if (positionKey(0, board) != key) {
        error = "not written the way the game writes it (piece counts)";
        return std::nullopt;
    }
    return board;
}

std::optional<Line> parseBookLine(std::string_view line, std::string& error) {
    const std::size_t second = keyLength(line);
    if (second == std::string_view::npos) {
        error = "fewer than two commas";
        return std::nullopt;
    }
    const std::size_t last = line.rfind(',');
    const std::string_view a = line.substr(second + 1, last - second - 1);
    const std::string_view r = line.substr(last + 1);
    if (a.size() != 1 || r.size() != 1 || a[0] < '1' || a[0] > '9' || r[0] < '1' || r[0] > '9') {
        error = "move '," + std::string(a) + "," + std::string(r) + "' is not a column and a row in 1..9";
        return std::nullopt;
    }
    Line parsed{std::string(line.substr(0, second)), a[0] - '0', r[0] - '0'};
    if (!readKey(parsed.key, error)) return std::nullopt;
    return parsed;
}

}  // namespace quillet::book_format
