#include "passwords/PassCellField.h"

#include "passwords/PassCellRules.h"
#include "passwords/PassPageRecord.h"

#include <QKeyEvent>
#include <QProxyStyle>
#include <QValidator>

namespace {

// The mask character the grid paints, rather than the style's bullet.
class AsteriskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Sees every change of the field, typed, pasted, dropped or composed. The
// field undoes an edit found Invalid; the refusal is told once the edit
// has ended, not from inside it.
class CellValidator : public QValidator
{
public:
    explicit CellValidator(PassCellField *field)
        : QValidator(field), m_field(field)
    {
    }

    State validate(QString &input, int &position) const override
    {
        const QString kept = PassCellRules::withoutControls(input);
        if (kept.size() != input.size()) {
            position = int(PassCellRules::withoutControls(input.left(position)).size());
            input = kept;
        }
        const QString why = PassCellRules::refusal(m_field->column(), input, m_field->languageIndex());
        if (why.isEmpty())
            return Acceptable;
        QMetaObject::invokeMethod(m_field, [field = m_field, why] { emit field->refused(why); },
                                  Qt::QueuedConnection);
        return Invalid;
    }

private:
    PassCellField *m_field;
};

} // namespace

PassCellField::PassCellField(QWidget *parent)
    : QLineEdit(parent)
{
    auto *style = new AsteriskStyle;
    style->setParent(this);
    setStyle(style);
    setMaxLength(PassCellRules::FieldLength);
    setValidator(new CellValidator(this));
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void PassCellField::showCell(const QString &text, int column, bool masked)
{
    m_column = column;
    setMasked(masked);
    setText(text);
}

void PassCellField::setMasked(bool masked)
{
    setEchoMode(masked && m_column == PassPasswordColumn ? Password : Normal);
}

QString PassCellField::markedText() const
{
    return isMasked() ? QString() : selectedText();
}

void PassCellField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit rowStepRequested(-1);
        return;
    case Qt::Key_Down:
        emit rowStepRequested(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        emit gridRequested();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void PassCellField::mouseDoubleClickEvent(QMouseEvent *)
{
    selectAll();
}
