#include "app/VaultLockPanel.h"

#include "options/LanguageTables.h"
#include "platform/KladdoError.h"
#include "vault/VaultStore.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

bool isGerman(int languageIndex)
{
    return languageIndex == LanguageTables::German;
}

} // namespace

VaultLockPanel::VaultLockPanel(QWidget *parent)
    : QWidget(parent), m_prompt(new QLabel(this)), m_field(new QLineEdit(this)), m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("VaultLock"));
    setAutoFillBackground(true);
    const QFont font(QStringLiteral("Arial"), 10, QFont::Bold);
    m_prompt->setFont(font);
    m_message->setFont(font);
    m_message->setWordWrap(true);
    m_message->setTextFormat(Qt::PlainText);
    m_field->setObjectName(QStringLiteral("VaultPassword"));
    m_field->setEchoMode(QLineEdit::Password);
    // Nothing typed here is offered to an input method's history.
    m_field->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_field->setMaximumWidth(300);
    m_prompt->setBuddy(m_field);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(m_prompt, 0, Qt::AlignHCenter);
    layout->addWidget(m_field, 0, Qt::AlignHCenter);
    layout->addWidget(m_message, 0, Qt::AlignHCenter);
    layout->addStretch();
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        const QString password = m_field->text();
        m_field->clear();
        emit unlockRequested(password);
    });
}

void VaultLockPanel::setLanguage(int languageIndex)
{
    m_prompt->setText(isGerman(languageIndex) ? QStringLiteral("Master-Kennwort der Kennwortseiten:")
                                              : QStringLiteral("Master password of the password pages:"));
    m_field->setAccessibleName(m_prompt->text());
}

void VaultLockPanel::setColors(const QColor &back, const QColor &text)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::WindowText, text);
    setPalette(palette);
}

void VaultLockPanel::reset(const QString &message)
{
    m_field->clear();
    m_message->setText(message);
}

void VaultLockPanel::focusField()
{
    m_field->setFocus();
}

// The derivation takes about a second.
bool VaultLockPanel::unlock(VaultStore &store, const QString &password, int languageIndex)
{
    const bool german = isGerman(languageIndex);
    reset(german ? QStringLiteral("Der Tresor wird geöffnet …") : QStringLiteral("Opening the vault …"));
    repaint();
    try {
        if (store.unlock(password))
            return true;
        reset(german ? QStringLiteral("Das Master-Kennwort ist falsch.")
                     : QStringLiteral("The master password is wrong."));
    } catch (const KladdoError &error) {
        reset((german ? QStringLiteral("Der Tresor lässt sich nicht öffnen: %1")
                      : QStringLiteral("The vault cannot be opened: %1"))
                  .arg(error.message()));
    }
    return false;
}
