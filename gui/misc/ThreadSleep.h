#pragma once

#include <QThread>

namespace Utils
{

// Reaches QThread's protected sleep from code that is not a thread.
class ThreadSleep : public QThread
{
public:
    static void Sleep(unsigned long nMilliseconds) { QThread::msleep(nMilliseconds); }
};

}  // namespace Utils
