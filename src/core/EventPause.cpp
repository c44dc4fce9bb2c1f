#include "core/EventPause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void EventPause::letEventsRun() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventPause::pause(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
