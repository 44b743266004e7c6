// A Qt generic plugin that the start-up bench loads into the program it
// times (QT_QPA_GENERIC_PLUGINS=firstpaintprobe), so that the editor and
// the bare window are timed the same way and neither carries code for it.
// At the first paint of a main window (not a dialog: the splash does not
// count) it prints, once that paint has been carried out, the wall-clock
// time, the processor time the process has used and the part of it the
// interface thread used, all in nanoseconds, and ends the process at once.
#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class FirstPaintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!reported_ && event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->windowType() == Qt::Window) {
                reported_ = true;
                // Queued: it runs once the whole window has been painted and
                // put on the screen, which happens within this event.
                QMetaObject::invokeMethod(
                    this, [] { Report(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    static long long Nanoseconds(clockid_t clock) {
        timespec now{};
        clock_gettime(clock, &now);
        return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    }
    static void Report() {
        const long long cpu = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
        const long long mainThread = Nanoseconds(CLOCK_THREAD_CPUTIME_ID);
        std::printf("%lld %lld %lld\n", Nanoseconds(CLOCK_REALTIME), cpu, mainThread);
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool reported_ = false;
};

}  // namespace

class FirstPaintProbe : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QGenericPluginFactoryInterface" FILE "first_paint_probe.json")
public:
    QObject* create(const QString& /*name*/, const QString& /*parameters*/) override {
        auto* filter = new FirstPaintFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
        return filter;
    }
};

#include "first_paint_probe.moc"
