#include "notes/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <typename Control>
Control *named(Control *control, const char *name)
{
    control->setObjectName(QLatin1StringView(name));
    return control;
}

} // namespace

FindReplaceDialog::FindReplaceDialog(Kind kind, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint)
{
    setObjectName(kind == Kind::Find ? QStringLiteral("FindDialog1") : QStringLiteral("ReplaceDialog1"));
    setModal(false);
    auto *grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    createFields(kind);
    createButtons(kind);
    enableButtons();
}

void FindReplaceDialog::createFields(Kind kind)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    auto addField = [this, grid](const char *labelName, const char *fieldName) {
        auto *field = named(new QLineEdit(this), fieldName);
        field->setMinimumWidth(180);
        auto *label = named(new QLabel(this), labelName);
        label->setBuddy(field);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        return field;
    };
    m_findWhat = addField("FindWhatLabel", "FindWhat");
    if (kind == Kind::Replace)
        m_replaceWith = addField("ReplaceWithLabel", "ReplaceWith");
    m_wholeWord = named(new QCheckBox(this), "MatchWholeWord");
    m_matchCase = named(new QCheckBox(this), "MatchCase");
    grid->addWidget(m_wholeWord, grid->rowCount(), 0, 1, 2);
    grid->addWidget(m_matchCase, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_findWhat, &QLineEdit::textChanged, this, &FindReplaceDialog::enableButtons);
}

void FindReplaceDialog::createButtons(Kind kind)
{
    auto *column = new QVBoxLayout;
    auto addButton = [this, column](const char *name) {
        auto *button = named(new QPushButton(this), name);
        column->addWidget(button);
        return button;
    };
    QPushButton *findNext = addButton("FindNextButton");
    findNext->setDefault(true);
    connect(findNext, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    m_searchButtons = {findNext};
    if (kind == Kind::Replace) {
        for (const bool all : {false, true}) {
            QPushButton *button = addButton(all ? "ReplaceAllButton" : "ReplaceButton");
            connect(button, &QPushButton::clicked, this, [this, all] {
                m_replaceAll = all;
                emit replaceRequested();
            });
            m_searchButtons.append(button);
        }
    }
    connect(addButton("CancelButton"), &QPushButton::clicked, this, &QDialog::reject);
    column->addStretch();
    static_cast<QGridLayout *>(layout())->addLayout(column, 0, 2, -1, 1);
}

// An empty find text would match nowhere; its buttons wait for a text.
void FindReplaceDialog::enableButtons()
{
    for (QPushButton *button : std::as_const(m_searchButtons))
        button->setEnabled(!m_findWhat->text().isEmpty());
}

QString FindReplaceDialog::findText() const
{
    return m_findWhat->text();
}

QString FindReplaceDialog::replaceText() const
{
    return m_replaceWith ? m_replaceWith->text() : QString();
}

SearchOptions FindReplaceDialog::options() const
{
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void FindReplaceDialog::showAt(QPoint position)
{
    move(position);
    show();
    raise();
    activateWindow();
    m_findWhat->setFocus();
    m_findWhat->selectAll();
}
