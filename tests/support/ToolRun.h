// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running quillet-tool's commands from a test: called directly through the library, or, for the
// executable's own argument handling, as the built program.

#include <string>

#include "tools/quillet_tool/Commands.h"

namespace quillet::testing {

struct CommandRun {
    int status = 0;   // the command's exit code; 2 for a usage error, 1 for another failure
    std::string out;  // what it wrote as its answer
    std::string err;  // progress, and the message of a failure
};

using Command = int (*)(const tool::Args&, const tool::Output&);

// Calls the command with the arguments, catching what it writes; a usage error or another
// failure is caught as the executable does, its message in `err`.
CommandRun runCommand(Command command, const tool::Args& args);

// Runs the built quillet-tool with the arguments (a shell word list); `out` holds both streams.
CommandRun runToolProgram(const std::string& args);

}  // namespace quillet::testing
