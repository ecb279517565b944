// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ToolRun.h"

#include <cstdio>
#include <cstdlib>

#include "tests/support/Fixture.h"

namespace quillet::testing {

namespace {

// A FILE* whose contents end up in a string.
class Capture {
public:
    Capture() : file_(open_memstream(&buffer_, &size_)) {
        if (!file_) std::abort();
    }
    ~Capture() {
        if (file_) std::fclose(file_);
        std::free(buffer_);
    }
    std::FILE* file() const { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

}  // namespace

CommandRun runCommand(Command command, const tool::Args& args) {
    Capture out, err;
    CommandRun run;
    try {
        run.status = command(args, tool::Output{out.file(), err.file()});
    } catch (const tool::UsageError& e) {
        run.status = 2;
        std::fprintf(err.file(), "%s\n", e.what());
    } catch (const std::exception& e) {
        run.status = 1;
        std::fprintf(err.file(), "%s\n", e.what());
    }
    run.out = out.text();
    run.err = err.text();
    return run;
}

CommandRun runToolProgram(const std::string& args) {
    const std::string cmd = buildDir() + "/quillet-tool " + args + " 2>&1";
    CommandRun run;
    std::FILE* p = popen(cmd.c_str(), "r");
    char buf[256];
    while (p && std::fgets(buf, sizeof buf, p)) run.out += buf;
    const int status = p ? pclose(p) : -1;
    run.status = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace quillet::testing
