// The program: the application, the window and the event loop.
#include "app_icons.h"
#include "form1.h"

#include <QApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    application.setWindowIcon(icons::game());
    // data.ini and picture/ sit beside the executable.
    window::Form1 form(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    form.show();
    return application.exec();
}
