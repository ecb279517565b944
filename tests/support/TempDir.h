// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary folders for tests that need real files.

#include <filesystem>
#include <string>

namespace quillet::testing {

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "quillet-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes the bytes to a file of that name in the folder; its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// The folder as the working directory while this lives (the game opens its files by bare name).
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace quillet::testing
