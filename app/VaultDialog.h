#pragma once

#include <QDialog>

class Environment;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class VaultStore;

// Sets, changes and removes the master password of the password pages,
// and how long they stay open without input. Each step is done, or told
// why not, before the dialog goes on; nothing waits for its close.
class VaultDialog : public QDialog
{
    Q_OBJECT

public:
    // store must be the one of dataFolder and outlive the dialog.
    VaultDialog(VaultStore &store, QString dataFolder, int languageIndex, Environment &environment,
                QWidget *parent);

    // The lock time typed is stored however the dialog closes.
    void done(int result) override;

private:
    void build();
    void showState();
    // The fresh password typed twice; empty, told why, when it cannot be.
    QString freshPassword();
    // Opens a locked vault with the current password; false, told why, when it does not.
    bool unlocked();
    void setPassword();
    void changePassword();
    void removePassword();
    void storeLockMinutes();
    void fail(const QString &why);
    QString text(const char *german, const char *english) const;

    VaultStore &m_store;
    const QString m_dataFolder;
    const int m_language;
    Environment &m_environment;

    QLabel *m_state = nullptr;
    QLineEdit *m_current = nullptr;
    QLineEdit *m_fresh = nullptr;
    QLineEdit *m_repeated = nullptr;
    QCheckBox *m_dropOldBackups = nullptr;
    QSpinBox *m_lockMinutes = nullptr;
    QPushButton *m_set = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_remove = nullptr;
};
