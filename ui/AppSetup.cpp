// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppSetup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace quillet::ui {
namespace {

std::mutex heldMutex;
QStringList held;
QtMessageHandler previousHandler = nullptr;

QByteArray shown(const char* name) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QByteArray("unset") : value;
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Qt says this, then aborts, when every platform it tried (the session's, then X11) failed.
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        // Its list of the plugins there names Wayland's only where qt6-wayland is installed.
        const bool wayland =
            qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("QT_QPA_PLATFORM").startsWith("wayland");
        std::fprintf(
            stderr,
            "quillet: cannot open a window: no display answered (DISPLAY=%s, WAYLAND_DISPLAY=%s, QT_QPA_PLATFORM=%s)%s\n",
            shown("DISPLAY").constData(), shown("WAYLAND_DISPLAY").constData(),
            shown("QT_QPA_PLATFORM").constData(),
            wayland && !message.contains(QLatin1String("wayland"))
                ? "; Qt's Wayland platform is not installed (package qt6-wayland)"
                : "");
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        releaseStartMessages();
        previousHandler(type, context, message);
        return;
    }
    const std::lock_guard<std::mutex> lock(heldMutex);
    held.append(qFormatLogMessage(type, context, message));
}

}  // namespace

void prepareApplication() { QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar); }

void holdStartMessages() { previousHandler = qInstallMessageHandler(holdMessage); }

void releaseStartMessages() {
    qInstallMessageHandler(previousHandler);
    const std::lock_guard<std::mutex> lock(heldMutex);
    for (const QString& message : std::as_const(held)) std::fprintf(stderr, "%s\n", qPrintable(message));
    held.clear();
}

bool installJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

bool onWayland() { return QGuiApplication::platformName().startsWith("wayland"); }

QString chooseTextFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : {"IPAPMincho", "IPA P明朝", "IPAMincho", "IPA明朝"})
        if (families.contains(QString::fromUtf8(wanted))) return QString::fromUtf8(wanted);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

}  // namespace quillet::ui
