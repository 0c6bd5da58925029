#include "app/SystemEnvironment.h"
#include "app/TForm1.h"
#include "resources/Bitmaps.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Kladdo"));
    app.setWindowIcon(Bitmaps::programIcon());
    SystemEnvironment environment;
    // No arguments are taken: everything lives in DATA/ beside the program.
    TForm1 form(environment, QCoreApplication::applicationDirPath());
    QObject::connect(&form, &TForm1::closed, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
