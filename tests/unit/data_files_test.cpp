// SPDX-License-Identifier: GPL-3.0-or-later
// The files beside the game as a user may leave them: the book and the sounds found in the
// current directory first and in the installed data folder otherwise, and whatever stands in
// their place (a named pipe, a folder, a link to an endless device, a huge file) met at once
// as a file that cannot be read.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/DataFile.h"
#include "tests/support/Fixture.h"
#include "tests/support/TempDir.h"

namespace quillet::testing {
namespace {

namespace fs = std::filesystem;

const std::string kBook = "Quillet.定石";
const char* const kSounds[] = {"その他.wav", "禁止.wav", "駒打音.wav", "BGM.wav"};

// Kills the test (SIGALRM) if what it checks blocks or spins: reading a named pipe or an
// endless device would otherwise never return. Far above the milliseconds these reads take.
struct Watchdog {
    Watchdog() { ::alarm(60); }
    ~Watchdog() { ::alarm(0); }
};

// The ways a name can be there without being a file that can be read.
enum class Odd { fifo, folder, endless_device, huge };
const Odd kOdd[] = {Odd::fifo, Odd::folder, Odd::endless_device, Odd::huge};
const char* oddName(Odd odd) {
    switch (odd) {
        case Odd::fifo: return "a named pipe";
        case Odd::folder: return "a folder";
        case Odd::endless_device: return "a link to /dev/zero";
        case Odd::huge: return "a huge file";
    }
    return "";
}

struct DataFiles : GameFixture {
    TempDir current{"quillet-files-here"};
    TempDir installed{"quillet-files-installed"};
    WorkingDirectory workingDirectory{current.path()};
    Watchdog watchdog;

    // Replaces whatever is at path (writing into a named pipe would wait for a reader).
    static void write(const fs::path& path, const std::string& bytes) {
        fs::remove_all(path);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Puts `odd` at path; a huge file is sparse, one byte over limit.
    static void place(Odd odd, const fs::path& path, std::uintmax_t limit) {
        fs::remove_all(path);
        switch (odd) {
            case Odd::fifo: ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
            case Odd::folder: fs::create_directory(path); break;
            case Odd::endless_device: fs::create_symlink("/dev/zero", path); break;
            case Odd::huge:
                write(path, "");
                fs::resize_file(path, limit + 1);
                break;
        }
    }
    // A wave-like file the recording library tells apart by its size.
    static std::string sized(std::size_t bytes) { return "RIFF" + std::string(bytes - 4, 'x'); }
    std::vector<std::string> warnings() const { return filtered(log, "warning"); }
};

TEST_F(DataFiles, ABookThatCannotBeReadIsNoBookAndOneLineSaysWhy) {
    for (Odd odd : kOdd) {
        SCOPED_TRACE(oddName(odd));
        write(current.path() / kBook, "202,,,,210000,120000,,,,,3,4\n");
        form.定石ファイル読込();
        ASSERT_EQ(form.book_line_count, 1);  // a good book first, so that loading must empty it

        place(odd, current.path() / kBook, Form1::book_size_limit);
        ::testing::internal::CaptureStderr();
        form.定石ファイル読込();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(form.book_line_count, 0);
        int column = -1, row = -1;
        setBoard(kStartBoard);
        EXPECT_EQ(form.調査_定石有無(column, row), Form1::no);
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(kBook), std::string::npos) << err;
        EXPECT_NE(err.find(odd == Odd::huge ? "larger than 64 MiB" : "not a regular file"), std::string::npos)
            << err;
        EXPECT_TRUE(window.messages.empty());
    }
    // A missing book says nothing.
    fs::remove_all(current.path() / kBook);
    ::testing::internal::CaptureStderr();
    form.定石ファイル読込();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(DataFiles, SoundsThatCannotBeReadAreWarnedOnceEachAndTheGameStarts) {
    // In each run, one kind of odd file stands for three of the sounds and a good one for the
    // fourth, turn by turn.
    for (std::size_t k = 0; k < std::size(kOdd); ++k) {
        SCOPED_TRACE(oddName(kOdd[k]));
        log.clear();
        window.messages.clear();
        for (std::size_t s = 0; s < 4; ++s)
            if (s != k)
                place(kOdd[k], current.path() / kSounds[s], Form1::sound_size_limit);
            else
                write(current.path() / kSounds[s], sized(100));
        form.Form_Load();
        const auto w = warnings();
        ASSERT_EQ(w.size(), 3u);
        std::size_t i = 0;
        for (std::size_t s = 0; s < 4; ++s) {
            if (s == k) continue;
            EXPECT_EQ(w[i].rfind("warning Quillet.dll|" + std::string(kSounds[s]) + " を読めません: ", 0), 0u)
                << w[i];
            EXPECT_NE(w[i].find(kOdd[k] == Odd::huge ? "大きすぎます" : "通常のファイルではありません"),
                      std::string::npos)
                << w[i];
            ++i;
        }
        EXPECT_EQ(filtered(log, "dsCreateDSB"),
                  (Log{"dsCreateDSB 1 100 bytes flags " + std::string(k == 3 ? "1" : "3") + " -> " +
                       std::to_string(sound.nextBuffer - 1)}));
        EXPECT_NE(std::find(log.begin(), log.end(), "pic RABERU @5500,300"), log.end()) << "start-up went on";
    }
}

TEST_F(DataFiles, FilesNotInTheCurrentDirectoryAreReadFromTheDataFolder) {
    form.data_folder = installed.path().string();
    const std::size_t sizes[] = {60, 70, 80, 90};
    for (std::size_t s = 0; s < 4; ++s) write(installed.path() / kSounds[s], sized(sizes[s]));
    write(installed.path() / kBook, "202,,,,210000,120000,,,,,3,4\n202,,,,210000,120000,,,,,3,4\n");
    // The current directory's own file comes first; a link to nothing there is no file there.
    write(current.path() / "禁止.wav", sized(500));
    fs::create_symlink(current.path() / "no-such-file", current.path() / "BGM.wav");
    form.Form_Load();
    EXPECT_EQ(filtered(log, "dsCreateDSB"),
              (Log{"dsCreateDSB 1 60 bytes flags 3 -> 11", "dsCreateDSB 1 500 bytes flags 3 -> 12",
                   "dsCreateDSB 1 80 bytes flags 3 -> 13", "dsCreateDSB 1 90 bytes flags 1 -> 14"}));
    EXPECT_EQ(form.book_line_count, 2);
    EXPECT_TRUE(window.messages.empty());

    write(current.path() / kBook, "202,,,,210000,120000,,,,,3,4\n");
    form.定石ファイル読込();
    EXPECT_EQ(form.book_line_count, 1);

    // Missing from both: silence and no book, without a word.
    for (const char* name : kSounds) fs::remove(installed.path() / name);
    fs::remove(installed.path() / kBook);
    fs::remove(current.path() / kBook);
    fs::remove(current.path() / "禁止.wav");
    log.clear();
    ::testing::internal::CaptureStderr();
    form.Form_Load();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(filtered(log, "dsCreateDSB").empty());
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(form.book_line_count, 0);
}

TEST_F(DataFiles, ANameInTheCurrentDirectoryThatCannotBeReadIsNotLookedForElsewhere) {
    form.data_folder = installed.path().string();
    write(installed.path() / "BGM.wav", sized(90));
    write(installed.path() / kBook, "202,,,,210000,120000,,,,,3,4\n");
    fs::create_directory(current.path() / "BGM.wav");
    ASSERT_EQ(::mkfifo((current.path() / kBook).c_str(), 0600), 0);
    ::testing::internal::CaptureStderr();
    form.Form_Load();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(warnings(), (Log{"warning Quillet.dll|BGM.wav を読めません: 通常のファイルではありません。"}));
    EXPECT_EQ(form.sound_bgm, 0);
    EXPECT_EQ(form.book_line_count, 0);
    EXPECT_NE(err.find(kBook + ": not a regular file"), std::string::npos) << err;
}

TEST(DataFile, ReadsARegularFileWholeAndTellsTheRestApart) {
    TempDir dir{"quillet-datafile"};
    const fs::path file = dir.path() / "f";
    std::ofstream(file, std::ios::binary) << std::string("ab\0c", 4);
    DataFile d = readDataFileAt(file.string(), 4);
    EXPECT_EQ(d.status, DataFile::Status::read);
    EXPECT_EQ(d.bytes, (std::vector<std::uint8_t>{'a', 'b', 0, 'c'}));
    EXPECT_EQ(readDataFileAt(file.string(), 3).status, DataFile::Status::too_big);  // one byte over
    EXPECT_EQ(readDataFileAt((dir.path() / "none").string(), 10).status, DataFile::Status::missing);
    EXPECT_EQ(readDataFileAt((file / "below-a-file").string(), 10).status, DataFile::Status::missing);
    EXPECT_EQ(readDataFileAt(dir.path().string(), 10).status, DataFile::Status::not_regular);
    EXPECT_EQ(readDataFileAt("/dev/null", 10).status, DataFile::Status::not_regular);
    if (::geteuid() != 0) {  // root reads anything
        fs::permissions(file, fs::perms::none);
        d = readDataFileAt(file.string(), 10);
        EXPECT_EQ(d.status, DataFile::Status::open_failed);
        EXPECT_EQ(describeProblem(d), "cannot be opened: Permission denied");
    }
}

}  // namespace
}  // namespace quillet::testing
