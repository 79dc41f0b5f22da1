#pragma once
// For the start-up benchmark (bench/bench_all): with
// Q51_EXIT_AFTER_FIRST_PAINT=1 in the environment the program prints
// "first paint" as soon as the main window has painted once, then its peak
// resident size (the VmHWM line of /proc/self/status), and quits. A
// message box shown on the way (the keyboard-port warning where port I/O is
// not allowed) is answered with OK as it shows. Without the variable it
// does nothing.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace q51 {

class FirstPaintProbe final : public QObject {
public:
    static void InstallIfAsked(QWidget &window)
    {
        // Its children cover the window, so they are the ones painted.
        if (qEnvironmentVariableIntValue("Q51_EXIT_AFTER_FIRST_PAINT") == 1)
            qApp->installEventFilter(new FirstPaintProbe(&window));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (auto *box = qobject_cast<QMessageBox *>(watched); box && event->type() == QEvent::Show)
            QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        if (event->type() == QEvent::Paint && !seen_ && widget && widget->window() == parent()) {
            seen_ = true;
            // After this paint has finished.
            QTimer::singleShot(0, this, [] {
                std::printf("first paint\n");
                QFile status(QStringLiteral("/proc/self/status"));
                if (status.open(QIODevice::ReadOnly))
                    for (const QByteArray &line : status.readAll().split('\n'))
                        if (line.startsWith("VmHWM:"))
                            std::printf("%s\n", line.constData());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
    bool seen_ = false;
};

} // namespace q51
