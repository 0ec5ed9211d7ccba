// romwriter: writes the firmware image "data.bin" that lies beside it into
// the keyboard. gearpanel starts it without arguments.
#include "startup.h"
#include "window.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    romwriter::useGb18030AsLocalEncoding();
    // "./data.bin" is meant beside the program, wherever it was started from.
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    romwriter::Widget window;
    window.show();
    return app.exec();
}
