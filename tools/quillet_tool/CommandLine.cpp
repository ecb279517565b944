// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/quillet_tool/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>

namespace quillet::tool {

long parseNumber(const std::string& text, const std::string& what, long min, long max) {
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::exception&) {
        throw UsageError(what + " must be a whole number, not '" + text + "'");
    }
    if (used != text.size()) throw UsageError(what + " must be a whole number, not '" + text + "'");
    if (value < min || value > max)
        throw UsageError(what + " must lie in " + std::to_string(min) + ".." + std::to_string(max));
    return value;
}

namespace {

const std::string& declared(const std::set<std::string>& names, const std::string& name) {
    // A name the command never declared is a slip in the command's own code, not in its arguments.
    if (!names.count(name)) throw std::logic_error("no argument or option '" + name + "' is declared");
    return name;
}

}  // namespace

std::string ParsedArgs::text(const std::string& name, const std::string& fallback) const {
    const auto it = texts_.find(declared(declared_, name));
    return it == texts_.end() ? fallback : it->second;
}

long ParsedArgs::number(const std::string& name, long fallback) const {
    const auto it = numbers_.find(declared(declared_, name));
    return it == numbers_.end() ? fallback : it->second;
}

bool ParsedArgs::flag(const std::string& name) const { return flags_.count(declared(declared_, name)) > 0; }

CommandLine& CommandLine::add(Item item) {
    for (const Item& other : items_)
        if (other.name == item.name) throw std::logic_error("'" + item.name + "' is declared twice");
    items_.push_back(std::move(item));
    return *this;
}

CommandLine& CommandLine::argument(const std::string& name, const std::string& missing) {
    return add({.kind = Kind::argument, .name = name, .missing = missing});
}

CommandLine& CommandLine::number(const std::string& name, const std::string& what, long min, long max,
                                 const std::string& missing) {
    return add({.kind = Kind::argument,
                .name = name,
                .missing = missing,
                .isNumber = true,
                .what = what,
                .min = min,
                .max = max});
}

CommandLine& CommandLine::option(const std::string& name, const std::string& value) {
    return add({.kind = Kind::option, .name = name, .value = value});
}

CommandLine& CommandLine::numberOption(const std::string& name, const std::string& value,
                                       const std::string& what, long min, long max) {
    return add({.kind = Kind::option,
                .name = name,
                .value = value,
                .isNumber = true,
                .what = what,
                .min = min,
                .max = max});
}

CommandLine& CommandLine::flag(const std::string& name) { return add({.kind = Kind::flag, .name = name}); }

std::string CommandLine::synopsis() const {
    std::string arguments, options;
    for (const Item& item : items_) {
        if (item.kind == Kind::argument)
            arguments += (arguments.empty() ? "" : " ") + item.name;
        else
            options += (options.empty() ? "[" : " [") + item.name +
                       (item.kind == Kind::option ? " " + item.value : "") + "]";
    }
    return arguments + (arguments.empty() || options.empty() ? "" : " ") + options;
}

ParsedArgs CommandLine::parse(const Args& args) const {
    // What CLI11 fills in: an argument's or option's text, or whether a flag was given.
    struct Slot {
        std::string text;
        bool set = false;
        CLI::Option* option = nullptr;
    };
    std::vector<Slot> slots(items_.size());
    CLI::App app;
    // `quillet-tool help COMMAND` is the help; a command's own --help is an unknown option.
    app.set_help_flag();
    // Unknown options and arguments too many are kept, to be named one at a time below.
    app.allow_extras();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        if (item.kind == Kind::flag)
            slots[i].option = app.add_flag(item.name, slots[i].set);
        else
            slots[i].option = app.add_option(item.name, slots[i].text);
        // Given twice, the last one counts.
        slots[i].option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch&) {
        // An option takes whatever follows it as its value, so only the last one can lack it.
        throw UsageError(args.back() + " needs a value");
    } catch (const CLI::ParseError& e) {
        throw UsageError(e.what());
    }
    std::vector<std::string> extra = app.remaining();
    // CLI11 keeps the "--" that ends the options among them; the first one left is that mark.
    const auto mark = std::find(extra.begin(), extra.end(), "--");
    if (mark != extra.end()) extra.erase(mark);
    if (!extra.empty()) throw UsageError("unexpected argument '" + extra.front() + "'");

    ParsedArgs parsed;
    for (const Item& item : items_) parsed.declared_.insert(item.name);
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].kind == Kind::argument && slots[i].option->count() == 0)
            throw UsageError(items_[i].missing);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        if (slots[i].option->count() == 0) continue;
        if (item.kind == Kind::flag) {
            if (slots[i].set) parsed.flags_.insert(item.name);
        } else if (item.isNumber) {
            parsed.numbers_[item.name] = parseNumber(slots[i].text, item.what, item.min, item.max);
        } else {
            parsed.texts_[item.name] = slots[i].text;
        }
    }
    return parsed;
}

}  // namespace quillet::tool
