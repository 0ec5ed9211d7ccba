#include "pooltask.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

QFuture<void> runOnPool(void (*fn)(void *), void *arg)
{
    return QtConcurrent::run(QThreadPool::globalInstance(), fn, arg);
}
