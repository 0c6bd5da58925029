#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class LocalListener;

// Keeps a data folder to one running copy of the program, since two would
// write over each other's pages. The copy that takes the folder's lock
// listens for later starts; a later start finds the lock taken and asks the
// running copy to come out instead of opening a window of its own.
class SingleCopy : public QObject
{
    Q_OBJECT

public:
    enum class Claim {
        // This copy holds the folder; listen() lets later starts reach it.
        First,
        // Another copy holds the folder and was asked to come out.
        HandedOver,
        // Another copy holds the folder but could not be reached.
        Unanswered,
        // No lock can be made here, so no copy is kept out: this one runs.
        Unguarded,
    };

    // Named as RunningCopy names them for the folder.
    explicit SingleCopy(const QString &dataFolder);
    SingleCopy(const QString &lockPath, const QString &serverName);
    ~SingleCopy() override;

    // Needs no application object, so that a second start costs next to
    // nothing. Waits a moment for a copy that is just starting or ending.
    [[nodiscard]] Claim claim();
    // Listens for later starts when this copy holds the folder; needs the
    // application object. A name that cannot be listened on is left:
    // the lock still keeps other copies out.
    void listen();

signals:
    // A later start on the same folder asked this copy to come out.
    void comeOutRequested();

private:
    bool askToComeOut() const;

    QLockFile m_lock;
    const QString m_serverName;
    // Declared after the lock so that it closes first: a copy that starts
    // while this one ends waits for the lock rather than finding nobody.
    std::unique_ptr<LocalListener> m_listener;
};
