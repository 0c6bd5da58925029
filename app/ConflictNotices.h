#pragma once

#include <QSet>
#include <QString>

// The conflict copies of the data folder's files, as the user is told of
// them: each once in a run, at the start or when it appears.
class ConflictNotices
{
public:
    explicit ConflictNotices(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}

    // A copy told of already, such as one this program kept itself.
    void toldOf(const QString &fileName) { m_told.insert(fileName); }
    // What to tell of the copies not told of yet, in the language of
    // languageIndex; empty when there are none.
    QString takeNew(int languageIndex);

private:
    QString m_dataFolder;
    QSet<QString> m_told;
};
