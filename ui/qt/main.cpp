// The game on the desktop: the Qt window, the real clock and the sound library around Form1.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "game/Form1.h"
#include "sound/sdl/SdlSoundLibrary.h"
#include "ui/qt/AppSetup.h"
#include "ui/qt/FormWiring.h"
#include "ui/qt/QtWindow.h"
#include "ui/qt/SteadyClock.h"

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt aborts when it cannot open a display; say why in plain words first.
bool displayAvailable() { return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"); }

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "quillet: no display (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "run it on a desktop or set QT_QPA_PLATFORM\n");
        return 1;
    }
    quillet::ui::prepareApplication();
    QApplication app(argc, argv);
    quillet::ui::installJapanese(app);

    QString family = quillet::ui::chooseTextFamily();
    if (family.isEmpty()) {
        family = QApplication::font().family();
        std::fprintf(stderr, "quillet: no Japanese font found (install fonts-ipafont-mincho); using %s\n",
                     qPrintable(family));
    }

    quillet::ui::QtWindow window;
    window.setTextFamily(family);
    quillet::SteadyClock clock;
    quillet::SdlSoundLibrary sound;
    quillet::Form1 form(window, clock, sound);
    quillet::ui::connectForm(window, form);

    window.run([&form] { form.Form_Load(); });
    window.show();
    return app.exec();
}
