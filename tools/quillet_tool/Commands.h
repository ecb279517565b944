#pragma once
// quillet-tool's subcommands. Each file registers its own with a static Registrar, so adding a
// subcommand never touches main.cpp.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/Form1.h"
#include "tools/headless/Headless.h"

namespace quillet::tool {

using Args = std::vector<std::string>;
// Returns the exit code; throws UsageError for bad arguments (exit 2) and InputError for a file
// that cannot be read or written or does not hold what it should (exit 1).
using CommandFn = std::function<int(const Args& args)>;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Registrar {
    Registrar(const std::string& name, const std::string& usage, CommandFn fn);
};

// A Form1 on the headless doubles.
struct HeadlessGame {
    NullWindow window;
    VirtualClock clock;
    SilentSoundLibrary sound;
    Form1 form{window, clock, sound};
};

// Reads a position file (9 rows of 9 of x o ., then "computer x|o") into form's board and
// sides. Throws InputError naming the file and line on malformed input.
void loadPositionFile(const std::string& path, Form1& form);
// Square as text: column letter and row digit, "e6".
std::string squareName(int column, int row);
// A whole number argument in [min, max], or UsageError.
long parseNumber(const std::string& text, const std::string& what, long min, long max);

}  // namespace quillet::tool
