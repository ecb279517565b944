// The game on the desktop: the Qt window, the real clock and the sound library around Form1.

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

#include "game/Form1.h"
#include "ui/FormWiring.h"
#include "ui/QtWindow.h"
#include "view/Clock.h"

#ifdef QUILLET_HAVE_SDL_SOUND
#include "sound/sdl/SdlSoundLibrary.h"
using GameSound = quillet::SdlSoundLibrary;
#else
#include "tools/headless/Headless.h"
using GameSound = quillet::SilentSoundLibrary;
#endif

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt aborts when it cannot open a display; say why in plain words first.
bool displayAvailable() { return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"); }

// The board's texts need a Mincho face with Japanese glyphs; any Japanese font will do.
QString chooseFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : {"IPAPMincho", "IPA P明朝", "IPAMincho", "IPA明朝"})
        if (families.contains(QString::fromUtf8(wanted))) return QString::fromUtf8(wanted);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    if (!japanese.isEmpty()) return japanese.first();
    return QString();
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "quillet: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "run it on a desktop or set QT_QPA_PLATFORM\n");
        return 1;
    }
    // The menu bar belongs inside the window, where the game's layout expects it.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);

    QTranslator qtJapanese;
    if (qtJapanese.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    QString family = chooseFont();
    if (family.isEmpty()) {
        family = QApplication::font().family();
        std::fprintf(stderr, "quillet: no Japanese font found (install fonts-ipafont-mincho); using %s\n",
                     qPrintable(family));
    }

    quillet::ui::QtWindow window;
    window.setTextFamily(family);
    quillet::SteadyClock clock;
    GameSound sound;
    quillet::Form1 form(window, clock, sound);
    quillet::ui::connectForm(window, form);

    window.run([&form] { form.Form_Load(); });
    window.show();
    return app.exec();
}
