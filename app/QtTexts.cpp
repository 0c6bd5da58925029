#include "app/QtTexts.h"

#include "options/LanguageTables.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace QtTexts {

void follow(int languageIndex)
{
    static QTranslator german;
    if (languageIndex != LanguageTables::German) {
        QCoreApplication::removeTranslator(&german);
        return;
    }
    // Linux's Qt keeps them in a folder of its own; the Windows build,
    // whose Qt has none, carries them inside.
    if (german.isEmpty()
        && !german.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && !german.load(QStringLiteral("qtbase_de"), QStringLiteral(":/qt-translations")))
        return;
    QCoreApplication::installTranslator(&german);
}

} // namespace QtTexts
