#include "options/ControlTexts.h"

#include "options/HintDisplay.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>

namespace ControlTexts {
namespace {

QWidget *findControl(QWidget *root, QStringView name)
{
    if (root->objectName() == name)
        return root;
    return root->findChild<QWidget *>(name.toString());
}

// A tab page sits in the tab widget's stack, two levels below it.
QTabWidget *tabWidgetOf(QWidget *page)
{
    QWidget *stack = page->parentWidget();
    if (!qobject_cast<QStackedWidget *>(stack) || !stack->parentWidget())
        return nullptr;
    return qobject_cast<QTabWidget *>(stack->parentWidget());
}

void setCaption(QWidget *control, const QString &text)
{
    if (control->isWindow())
        control->setWindowTitle(text);
    else if (auto *group = qobject_cast<QGroupBox *>(control))
        group->setTitle(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (QTabWidget *tabs = tabWidgetOf(control))
        tabs->setTabText(tabs->indexOf(control), text);
    else
        control->setProperty("Caption", text);
}

} // namespace

void applyHints(QWidget *root, std::span<const LanguageTables::ControlText> texts,
                int languageIndex)
{
    for (const LanguageTables::ControlText &entry : texts) {
        if (QWidget *control = findControl(root, entry.name))
            HintDisplay::setHint(control, entry.text.in(languageIndex));
    }
}

void applyCaptions(QWidget *root, std::span<const LanguageTables::ControlText> texts,
                   int languageIndex)
{
    for (const LanguageTables::ControlText &entry : texts) {
        if (QWidget *control = findControl(root, entry.name))
            setCaption(control, entry.text.in(languageIndex));
    }
}

QStringList missingControls(const QWidget *root, std::span<const LanguageTables::ControlText> texts)
{
    QStringList missing;
    for (const LanguageTables::ControlText &entry : texts) {
        const QString name = QString::fromUtf16(entry.name);
        if (root->objectName() != name && !root->findChild<const QWidget *>(name))
            missing.append(name);
    }
    return missing;
}

} // namespace ControlTexts
