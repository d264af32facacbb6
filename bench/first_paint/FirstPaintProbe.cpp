// Loaded into the window program with LD_PRELOAD: measures how long after the application object
// exists the piano roll finishes its first paint, writes that (in ms, and how long the paint itself
// took) to the file named by ROLVIK_FIRST_PAINT_LOG, and ends the program.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class FirstPaintProbe : public QObject {
  public:
    FirstPaintProbe() : start_(Clock::now()) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (painting_ || done_ || event->type() != QEvent::Paint || !IsPianoRollViewport(watched)) {
            return false;
        }
        // Deliver the paint now, through the scroll area's own filter, so that its end is known
        // when this returns; the original delivery is then swallowed.
        const double beginMs = MillisecondsSince(start_);
        painting_ = true;
        QCoreApplication::sendEvent(watched, event);
        painting_ = false;
        const double endMs = MillisecondsSince(start_);
        done_ = true;
        Report(endMs, endMs - beginMs);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return true;
    }

  private:
    static bool IsPianoRollViewport(QObject* object) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(object->parent());
        return area && area->objectName() == QStringLiteral("RolvikPRollWC") &&
               area->viewport() == object;
    }

    static void Report(double firstPaintMs, double paintMs) {
        const char* path = std::getenv("ROLVIK_FIRST_PAINT_LOG");
        if (std::FILE* file = path ? std::fopen(path, "w") : nullptr) {
            std::fprintf(file, "%.1f %.1f\n", firstPaintMs, paintMs);
            std::fclose(file);
        }
    }

    Clock::time_point start_;
    bool painting_ = false;
    bool done_ = false;
};

void InstallProbe() {
    qApp->installEventFilter(new FirstPaintProbe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
