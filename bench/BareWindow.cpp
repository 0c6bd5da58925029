// The floors for Kladdo's start: the least a Qt program does to show a window
// like Kladdo's, empty or with the same note in it. One frameless,
// always-on-top tool window of Kladdo's size at Kladdo's rolled-in place;
// given a text file, filled by a text edit set up as Kladdo's editor.
//
// The note comes as the plain text of the same content. Qt has no rich-text
// reader of its own, and its HTML one is many times slower than Kladdo's
// reader (see rtf_bench), so an HTML twin would raise the floor above what
// it measures; setPlainText is the cheapest way to put the same characters
// on screen. It leaves out only the formats, whose bare insertion through a
// cursor (rtf_bench) takes about 2 ms for a note of this size.
#include "app/TForm1.h"
#include "app/WindowFrame.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTextEdit>

#include <cstdio>

namespace {

QTextEdit *createEditor(QWidget *window, const QString &text)
{
    auto *editor = new QTextEdit(window);
    editor->setGeometry(window->rect());
    editor->setFrameShape(QFrame::NoFrame);
    editor->setLineWrapMode(QTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setPlainText(text);
    return editor;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool isNumber = false;
    const bool filled = arguments.size() == 3;
    const int top = arguments.size() >= 2 ? arguments.last().toInt(&isNumber) : 0;
    if (!isNumber || arguments.size() > 3) {
        std::fputs("Usage: bare_window [TEXT_FILE] TOP\n"
                   "Shows a window like Kladdo's, rolled in at the right screen edge with its\n"
                   "top edge at TOP: empty, or holding the UTF-8 TEXT_FILE.\n",
                   stderr);
        return 2;
    }

    QWidget window(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(TForm1::FormWidth, TForm1::FormHeight);
    if (filled) {
        QFile file(arguments[1]);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bare_window: %s: %s\n", qPrintable(arguments[1]), qPrintable(file.errorString()));
            return 1;
        }
        createEditor(&window, QString::fromUtf8(file.readAll()));
    }
    window.move(QGuiApplication::primaryScreen()->geometry().right() + 1 - WindowFrame::RolledInOffset, top);
    window.show();
    return app.exec();
}
