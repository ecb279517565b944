#pragma once
// A Form1 wired to the recording doubles, with helpers to set up positions.

#include <gtest/gtest.h>

#include <string>

#include "game/Form1.h"
#include "tests/doubles/Recording.h"

namespace quillet::testing {

struct GameFixture : ::testing::Test {
    Log log;
    RecordingWindow window{log};
    RecordingClock clock{log};
    RecordingSound sound{log};
    Form1 form{window, clock, sound};

    // Sets the 9 x 9 play area from nine rows of nine characters ('x' と, 'o' 歩, '.' empty),
    // row 1 first; the ring stays empty.
    void setBoard(const std::string& rows);
    // The play area as nine lines, same letters.
    std::string boardText() const;
};

// Free helpers usable without the fixture.
void setBoard(Form1& form, const std::string& rows);
std::string boardText(const Form1& form);

}  // namespace quillet::testing
