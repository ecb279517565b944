// SPDX-License-Identifier: GPL-3.0-or-later
// The executable's names for the commands of the library (Commands.h), with their command lines.

#include "tools/quillet_tool/Commands.h"

namespace quillet::tool {
namespace {

// The command writing to the standard streams.
CommandFn standard(int (*command)(const Args&, const Output&)) {
    return [command](const Args& args) { return command(args, Output{}); };
}

Registrar registrars[] = {
    {"bestmove", bestmoveLine(), standard(bestmoveCommand)},
    {"eval", evalLine(), standard(evalCommand)},
    {"safe", safeLine(), standard(safeCommand)},
    {"searchinfo", searchinfoLine(), standard(searchinfoCommand)},
    {"bench", benchLine(), standard(benchCommand)},
    {"book", bookLine(), standard(bookCommand)},
    {"bookgain", bookgainLine(), standard(bookgainCommand)},
    {"string", stringLine(), standard(stringCommand)},
    {"lookup", lookupLine(), standard(lookupCommand)},
    {"match", matchLine(), standard(matchCommand)},
    {"perft", perftLine(), standard(perftCommand)},
    {"selfplay", selfplayLine(), standard(selfplayCommand)},
};

}  // namespace
}  // namespace quillet::tool
