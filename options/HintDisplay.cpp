#include "options/HintDisplay.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QWidget>

namespace HintDisplay {
namespace {

constexpr const char *kShowHintProperty = "ShowHint";

class ImmediateToolTipStyle : public QProxyStyle
{
public:
    ImmediateToolTipStyle()
        : QProxyStyle(QStringLiteral("Fusion"))
    {
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Swallows the tooltip of a control whose ShowHint is off.
class ShowHintFilter : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return event->type() == QEvent::ToolTip
               && !watched->property(kShowHintProperty).toBool();
    }
};

ShowHintFilter &showHintFilter()
{
    static ShowHintFilter filter;
    return filter;
}

} // namespace

void setProgramStyle()
{
    if (!dynamic_cast<ImmediateToolTipStyle *>(QApplication::style()))
        QApplication::setStyle(new ImmediateToolTipStyle);
}

void setHint(QWidget *control, const QString &hint)
{
    const QString text = QString(hint).replace(u'\r', u'\n');
    control->setToolTip(text);
    // Screen readers and test tools find a picture button by what it does.
    control->setAccessibleName(text);
}

void setShowHint(QWidget *control, bool show)
{
    control->setProperty(kShowHintProperty, show);
    control->installEventFilter(&showHintFilter());
}

} // namespace HintDisplay
