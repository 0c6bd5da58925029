#include "app/ConflictNotices.h"

#include "options/LanguageTables.h"
#include "sync/ConflictCopies.h"

#include <QStringList>

namespace {

LanguageTables::CopyOf copyOf(const ConflictCopies::DataFile &file)
{
    using Kind = ConflictCopies::DataFile::Kind;
    return file.kind == Kind::Note       ? LanguageTables::CopyOf::NotePage
           : file.kind == Kind::Password ? LanguageTables::CopyOf::PasswordPage
           : file.kind == Kind::Vault    ? LanguageTables::CopyOf::Vault
                                         : LanguageTables::CopyOf::Settings;
}

} // namespace

QString ConflictNotices::takeNew(int languageIndex)
{
    QStringList lines;
    for (const ConflictCopies::Copy &copy : ConflictCopies::list(m_dataFolder)) {
        if (m_told.contains(copy.fileName))
            continue;
        m_told.insert(copy.fileName);
        lines << LanguageTables::conflictCopyLine(copy.fileName, ConflictCopies::toolName(copy.tool),
                                                  copyOf(copy.of), copy.of.page, languageIndex);
    }
    return lines.isEmpty() ? QString() : LanguageTables::conflictCopiesText(lines, m_dataFolder, languageIndex);
}
