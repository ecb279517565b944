// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A command's arguments and options, declared once: the usage line of --help and help COMMAND,
// the reading of the arguments (CLI11) and the messages for wrong ones all come from it, and
// man/check_pages.sh holds the manual page's entry to the same usage line.

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quillet::tool {

using Args = std::vector<std::string>;

// Wrong arguments: the executable prints the message and the command's usage, and exits 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole number argument in [min, max], or UsageError naming it `what`.
long parseNumber(const std::string& text, const std::string& what, long min, long max);

// The arguments of one call as a CommandLine read them, looked up by their declared names.
class ParsedArgs {
public:
    // The text given for the argument or option, or `fallback` when it was not given.
    std::string text(const std::string& name, const std::string& fallback = "") const;
    // The same for a declared number.
    long number(const std::string& name, long fallback = 0) const;
    bool flag(const std::string& name) const;

private:
    friend class CommandLine;
    std::set<std::string> declared_;
    std::map<std::string, std::string> texts_;
    std::map<std::string, long> numbers_;
    std::set<std::string> flags_;
};

class CommandLine {
public:
    // `summary` says what the command does; each '\n' in it starts a continuation line.
    explicit CommandLine(std::string summary) : summary_(std::move(summary)) {}

    // An argument in its place; `missing` is the message when it is not given.
    CommandLine& argument(const std::string& name, const std::string& missing);
    // The same, a whole number in [min, max] that messages call `what`.
    CommandLine& number(const std::string& name, const std::string& what, long min, long max,
                        const std::string& missing);
    // An option with a value, written NAME VALUE in the usage line ("--out FILE").
    CommandLine& option(const std::string& name, const std::string& value);
    // The same, a whole number in [min, max] that messages call `what`.
    CommandLine& numberOption(const std::string& name, const std::string& value, const std::string& what,
                              long min, long max);
    CommandLine& flag(const std::string& name);

    // The arguments in their places, then the options in their order: "N [--seed S] [--book FILE]".
    std::string synopsis() const;
    const std::string& summary() const { return summary_; }

    // Reads args. Throws UsageError for an unknown option, an option without its value, an
    // argument too many or too few, or a number that is not one or out of its range.
    ParsedArgs parse(const Args& args) const;

private:
    enum class Kind { argument, option, flag };
    struct Item {
        Kind kind = Kind::argument;
        std::string name = {};
        std::string value = {};    // an option's value in the usage line
        std::string missing = {};  // an argument's message when it is not given
        bool isNumber = false;
        std::string what = {};  // a number's name in messages
        long min = 0;
        long max = 0;
    };
    CommandLine& add(Item item);

    std::string summary_;
    std::vector<Item> items_;
};

}  // namespace quillet::tool
