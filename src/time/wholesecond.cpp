#include "time/wholesecond.h"

QTime wholeSecond(QTime time)
{
    return QTime(time.hour(), time.minute(), time.second());
}

QDateTime wholeSecond(const QDateTime &moment)
{
    QDateTime second = moment;
    second.setTime(wholeSecond(moment.time()));
    return second;
}
