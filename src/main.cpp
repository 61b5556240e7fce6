#include "app/application.h"
#include "startup/startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zelvora::setupApplication(app);
    zelvora::Startup startup;
    if (!startup.start())
        return startup.exitCode();
    return QApplication::exec();
}
