// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TempDir.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace quillet::testing {

TempDir::TempDir(const std::string& prefix) {
    std::string name = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder " + name);
    path_ = name;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

}  // namespace quillet::testing
