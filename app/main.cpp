#include "app/KladdoApplication.h"
#include "app/TForm1.h"

int main(int argc, char *argv[])
{
    KladdoApplication app(argc, argv);
    // No arguments are taken: everything lives in DATA/ beside the program.
    TForm1 form(QCoreApplication::applicationDirPath());
    form.show();
    return app.exec();
}
