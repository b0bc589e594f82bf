#include "platform/Beep.h"

#include <QApplication>

namespace {
int beeps = 0;
}

void beep()
{
    ++beeps;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

int beepCount()
{
    return beeps;
}

void resetBeepCount()
{
    beeps = 0;
}
