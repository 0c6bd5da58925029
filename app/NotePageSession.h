#pragma once

#include "app/PageSession.h"

class Environment;

#include <memory>

class QTextDocument;

// The note page shown: DATA/note<N>.rtf.
class NotePageSession : public PageSession
{
public:
    // shown gives the document the user sees, and environment the clock
    // for the name of a version someone else saved.
    NotePageSession(QString dataFolder, RecoveryWriter &writer, RecoveryNotices &notices,
                    std::function<const QTextDocument *()> shown,
                    const Environment &environment);

    // A page read from its file, not yet the one held.
    struct Read
    {
        int page = 0;
        QString path;
        std::unique_ptr<QTextDocument> document;
        QByteArray version;
    };
    // Throws KladdoError when the file is there but cannot be read.
    Read read(int page) const;

    // What to show of a page that is now the one held.
    struct Opened
    {
        std::unique_ptr<QTextDocument> document;
        // Changes the last run left unsaved: the next save writes them.
        bool recovered = false;
    };
    Opened open(Read read, int languageIndex);

    // Writes the page held, when it changed, keeping a version someone
    // else saved meanwhile beside it; throws KladdoError when it cannot,
    // the page staying as it is.
    void save(const QTextDocument *document, int languageIndex);

private:
    QString m_dataFolder;
};
