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
    if (german.isEmpty()
        && !german.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(&german);
}

} // namespace QtTexts
