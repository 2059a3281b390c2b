#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs the event loop until `done` holds or `ms` pass. The loop blocks in the event
// dispatcher, so port and timer events flow as in the real program; QTest::qWaitFor
// sleeps between its rounds and would hold every tick back by up to 10 ms.
inline bool waitInEventLoop(const std::function<bool()> &done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || waited.elapsed() > ms)
            loop.quit();
    });
    check.start(2);
    loop.exec();
    return done();
}
