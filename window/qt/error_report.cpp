// The run-time error report.
#include "error_report.h"

#include "runtime_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>

#include <cstdio>
#include <cstdlib>

namespace window {

bool hasVisibleDisplay()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && !platform.startsWith(QLatin1String("minimal")) &&
           QGuiApplication::primaryScreen() != nullptr;
}

void reportRunTimeError(int number, const std::string &text)
{
    const QString line = QString::fromStdString(catalogue::runTimeErrorLine(number, text));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    if (!QCoreApplication::instance())
        std::exit(kRunTimeErrorExitStatus);

    if (hasVisibleDisplay()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Run-time error"),
                        QString::fromStdString(catalogue::runTimeErrorHeading(number) + "\n\n" + text),
                        QMessageBox::Ok);
        // Closing the report must not end the program with status 0 as
        // the last window closed would.
        box.setAttribute(Qt::WA_QuitOnClose, false);
        box.exec();
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(kRunTimeErrorExitStatus); }, Qt::QueuedConnection);
}

} // namespace window
