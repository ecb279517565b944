// SPDX-License-Identifier: GPL-3.0-or-later
// The game on the desktop: the Qt window, the real clock and the sound library around Form1.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/DataFile.h"
#include "game/Form1.h"
#include "game/Notice.h"
#include "sound/sdl/SdlSoundLibrary.h"
#include "ui/AppSetup.h"
#include "ui/FormWiring.h"
#include "ui/QtWindow.h"
#include "ui/SteadyClock.h"

namespace {

// Where the installed book and sounds lie, found from where the program lies: a prefix install
// and the Debian package alike put them at this path from the programs' folder.
std::string installedDataFolder() { return quillet::installedDataFolder(QUILLET_DATA_FROM_PROGRAM); }

// --help and --version answer without a display, before the window system starts; the game
// itself takes no arguments. Returns the exit code, or -1 to go on and start the game.
int handleArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            const std::string folder = installedDataFolder();
            std::printf(
                "Usage: quillet [--help | --version]\n"
                "Reversi on a nine-by-nine shogi board with shogi pawns, against the computer or a friend.\n"
                "\n"
                "  -h, --help     show this help and exit\n"
                "      --version  show the version and exit\n"
                "\n"
                "The game reads its opening book (Quillet.定石) and its four sounds (*.wav) from the\n"
                "current directory; a file that is not there it reads from the folder where they are\n"
                "installed, %s.\n"
                "See quillet(6).\n",
                folder.empty() ? "beside the program" : folder.c_str());
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("quillet " QUILLET_VERSION "\n%s", quillet::licence_notice);
            return 0;
        }
        std::fprintf(stderr, "quillet: %s '%s'\nUsage: quillet [--help | --version]\n",
                     arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
        return 2;
    }
    return -1;
}

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt aborts when it cannot open a display; say why in plain words first.
bool displayAvailable() { return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"); }

}  // namespace

int main(int argc, char** argv) {
    if (const int code = handleArguments(argc, argv); code >= 0) return code;
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "quillet: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "run it on a desktop or set QT_QPA_PLATFORM\n");
        return 1;
    }
    quillet::ui::prepareApplication();
    quillet::ui::holdStartMessages();
    QApplication app(argc, argv);
    quillet::ui::releaseStartMessages();
    quillet::ui::installJapanese(app);

    QString family = quillet::ui::chooseTextFamily();
    if (family.isEmpty()) {
        family = QApplication::font().family();
        std::fprintf(stderr, "quillet: no Japanese font found (install fonts-ipafont-mincho); using %s\n",
                     qPrintable(family));
    }

    quillet::ui::QtWindow window;
    window.setTextFamily(family);
    quillet::SteadyClock clock(&window.waitPump());
    quillet::SdlSoundLibrary sound;
    quillet::Form1 form(window, clock, sound);
    form.data_folder = installedDataFolder();
    quillet::ui::connectForm(window, form);

    window.run([&form] { form.Form_Load(); });
    window.show();
    return app.exec();
}
