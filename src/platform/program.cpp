#include "platform/program.h"

#include <QCoreApplication>

void QtProgram::quit()
{
    QCoreApplication::exit(0);
}
