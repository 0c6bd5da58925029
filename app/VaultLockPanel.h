#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class VaultStore;

// Stands in the password pages' place while their vault is locked: the
// master password, never shown, and why the last try did not open it.
// There is no limit to the tries.
class VaultLockPanel : public QWidget
{
    Q_OBJECT

public:
    explicit VaultLockPanel(QWidget *parent);

    void setLanguage(int languageIndex);
    void setColors(const QColor &back, const QColor &text);
    // An empty field, ready for the password; message says why the last
    // one failed, or what is under way.
    void reset(const QString &message = QString());
    void focusField();
    // Opens store with password, saying meanwhile that it takes a while
    // and afterwards why it did not open.
    bool unlock(VaultStore &store, const QString &password, int languageIndex);

signals:
    // Enter in the field; the field is empty again.
    void unlockRequested(const QString &password);

private:
    QLabel *m_prompt;
    QLineEdit *m_field;
    QLabel *m_message;
};
