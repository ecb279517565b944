// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppSetup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace quillet::ui {

void prepareApplication() { QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar); }

bool installJapanese(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

QString chooseTextFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : {"IPAPMincho", "IPA P明朝", "IPAMincho", "IPA明朝"})
        if (families.contains(QString::fromUtf8(wanted))) return QString::fromUtf8(wanted);
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

}  // namespace quillet::ui
