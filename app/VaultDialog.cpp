#include "app/VaultDialog.h"

#include "app/Environment.h"
#include "options/LanguageTables.h"
#include "platform/KladdoError.h"
#include "vault/VaultMigration.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLineEdit *passwordField(QWidget *parent, const char *name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1StringView(name));
    field->setEchoMode(QLineEdit::Password);
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    return field;
}

// The derivation is meant to take about a second.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

VaultDialog::VaultDialog(VaultStore &store, QString dataFolder, int languageIndex, Environment &environment,
                         QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_store(store), m_dataFolder(std::move(dataFolder)),
      m_language(languageIndex), m_environment(environment)
{
    setObjectName(QStringLiteral("VaultDialog"));
    setWindowTitle(text("Master-Kennwort", "Master password"));
    build();
    showState();
}

QString VaultDialog::text(const char *german, const char *english) const
{
    return QString::fromUtf8(m_language == LanguageTables::German ? german : english);
}

void VaultDialog::build()
{
    m_state = new QLabel(this);
    m_state->setWordWrap(true);
    m_current = passwordField(this, "CurrentPassword");
    m_fresh = passwordField(this, "FreshPassword");
    m_repeated = passwordField(this, "RepeatedPassword");
    m_dropOldBackups = new QCheckBox(
        text("Auch die älteren Sicherungen der Kennwortseiten löschen, die jeder lesen kann, der die Dateien hat",
             "Also wipe the older backups of the password pages, which anyone who has the files can read"),
        this);
    m_dropOldBackups->setObjectName(QStringLiteral("DropOldBackups"));
    m_lockMinutes = new QSpinBox(this);
    m_lockMinutes->setObjectName(QStringLiteral("LockMinutes"));
    m_lockMinutes->setRange(1, MaxLockMinutes);
    m_set = new QPushButton(text("Master-Kennwort setzen", "Set master password"), this);
    m_change = new QPushButton(text("Master-Kennwort ändern", "Change master password"), this);
    m_remove = new QPushButton(text("Master-Kennwort entfernen …", "Remove master password …"), this);
    auto *close = new QPushButton(QStringLiteral("OK"), this);
    for (QPushButton *button : {m_set, m_change, m_remove, close})
        button->setAutoDefault(false);

    auto *form = new QFormLayout;
    form->addRow(text("Jetziges Master-Kennwort:", "Current master password:"), m_current);
    form->addRow(text("Neues Master-Kennwort:", "New master password:"), m_fresh);
    form->addRow(text("Noch einmal:", "Once more:"), m_repeated);
    form->addRow(text("Sperren nach Minuten ohne Eingabe:", "Lock after minutes without input:"), m_lockMinutes);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addLayout(form);
    layout->addWidget(m_dropOldBackups);
    for (QPushButton *button : {m_set, m_change, m_remove, close})
        layout->addWidget(button);

    connect(m_set, &QPushButton::clicked, this, &VaultDialog::setPassword);
    connect(m_change, &QPushButton::clicked, this, &VaultDialog::changePassword);
    connect(m_remove, &QPushButton::clicked, this, &VaultDialog::removePassword);
    connect(m_lockMinutes, &QSpinBox::editingFinished, this, &VaultDialog::storeLockMinutes);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void VaultDialog::showState()
{
    const bool vault = m_store.exists();
    m_state->setText(vault ? text("Die Kennwortseiten liegen verschlüsselt im Tresor passwords.kdbx, den auch "
                                  "KeePass-Programme öffnen.",
                                  "The password pages are enciphered in the vault passwords.kdbx, which KeePass "
                                  "programs open too.")
                           : text("Die Kennwortseiten liegen in pass0.dat … pass9.dat, mit einem Schlüssel, den "
                                  "das Programm selbst enthält: wer die Dateien hat, kann sie lesen. Ein "
                                  "Master-Kennwort verschlüsselt sie im Tresor passwords.kdbx.",
                                  "The password pages are in pass0.dat … pass9.dat, under a key the program "
                                  "itself holds: anyone who has the files can read them. A master password "
                                  "enciphers them in the vault passwords.kdbx."));
    m_current->setEnabled(vault && !m_store.isUnlocked());
    m_dropOldBackups->setVisible(!vault);
    m_set->setVisible(!vault);
    m_change->setVisible(vault);
    m_remove->setVisible(vault);
    // A lock time typed but not yet stored stays.
    if (m_store.isUnlocked() && !m_lockMinutes->isEnabled()) {
        const QSignalBlocker quiet(m_lockMinutes);
        m_lockMinutes->setValue(m_store.lockMinutes());
    }
    m_lockMinutes->setEnabled(vault && m_store.isUnlocked());
    for (QLineEdit *field : {m_current, m_fresh, m_repeated})
        field->clear();
}

void VaultDialog::fail(const QString &why)
{
    m_environment.showError(this, why);
}

QString VaultDialog::freshPassword()
{
    const QString password = m_fresh->text();
    if (password.isEmpty())
        fail(text("Ein leeres Master-Kennwort schützt nichts.", "An empty master password protects nothing."));
    else if (m_repeated->text() != password)
        fail(text("Die beiden neuen Kennwörter sind verschieden.", "The two new passwords differ."));
    else
        return password;
    return QString();
}

bool VaultDialog::unlocked()
{
    if (m_store.isUnlocked())
        return true;
    try {
        const WaitCursor waiting;
        if (m_store.unlock(m_current->text()))
            return true;
        fail(text("Das jetzige Master-Kennwort ist falsch.", "The current master password is wrong."));
    } catch (const KladdoError &error) {
        fail(error.message());
    }
    return false;
}

// The pass files go only once the vault gives their pages back.
void VaultDialog::setPassword()
{
    const QString password = freshPassword();
    if (password.isEmpty())
        return;
    try {
        const WaitCursor waiting;
        VaultMigration::create(m_dataFolder, KdbxKey::create(password, calibratedArgon2()));
        if (m_dropOldBackups->isChecked())
            VaultMigration::wipe(VaultMigration::weakCopies(m_dataFolder));
        if (!m_store.unlock(password))
            throw KladdoError(QStringLiteral("the new vault does not open with its password"));
    } catch (const KladdoError &error) {
        fail(error.message());
    }
    showState();
}

void VaultDialog::changePassword()
{
    const QString password = freshPassword();
    if (password.isEmpty() || !unlocked())
        return;
    try {
        const WaitCursor waiting;
        m_store.changeKey(KdbxKey::create(password, calibratedArgon2()));
    } catch (const KladdoError &error) {
        fail(error.message());
    }
    showState();
}

void VaultDialog::removePassword()
{
    if (!unlocked())
        return;
    if (!m_environment.confirm(this, text("Die Kennwortseiten werden wieder in pass0.dat … pass9.dat gespeichert, "
                                          "wo jeder sie lesen kann, der die Dateien hat. Fortfahren?",
                                          "The password pages are stored again in pass0.dat … pass9.dat, where "
                                          "anyone who has the files can read them. Go on?")))
        return;
    try {
        VaultMigration::remove(m_dataFolder, m_store.pages());
        m_store.lock();
    } catch (const KladdoError &error) {
        fail(error.message());
    }
    showState();
}

void VaultDialog::done(int result)
{
    storeLockMinutes();
    QDialog::done(result);
}

void VaultDialog::storeLockMinutes()
{
    if (!m_store.isUnlocked() || m_lockMinutes->value() == m_store.lockMinutes())
        return;
    try {
        m_store.setLockMinutes(m_lockMinutes->value());
    } catch (const KladdoError &error) {
        fail(error.message());
    }
}
