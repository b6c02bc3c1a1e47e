// The floor for the game's first frame: the smallest Qt window with Chinese
// text, shown and closed as soon as its first frame is on screen; with
// --stay it stays up until closed, for a script that waits to see it mapped.
#include "first_frame.h"

#include <QApplication>
#include <QLabel>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QLabel label(QStringLiteral("试试手气"));
    label.setWindowTitle(QStringLiteral("开奖"));
    const bool stay = application.arguments().contains(QStringLiteral("--stay"));
    bench::FirstFrame firstFrame([stay] {
        if (!stay)
            QCoreApplication::quit();
    });
    label.installEventFilter(&firstFrame);
    label.show();
    const int status = application.exec();
    std::printf("first_frame_realtime_ns %lld\n", firstFrame.atNs);
    return status;
}
