#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

class QWidget;

namespace rolvik {

// How the work and the window tell each other how far it is and whether to stop.
struct WorkControl {
    std::atomic<double> done{0.0};  // 0 to 1
    std::atomic<bool> cancelled{false};
};

// Long work (an audio export, a folder conversion) on a thread of its own, so that the window goes
// on scrolling, playing and editing meanwhile. A progress dialog that does not block the window
// shows how far it is; its Cancel asks the work to stop. `finished` runs on the GUI thread once the
// work has ended. The object deletes itself then; closing its owner first stops the work.
class BackgroundWork : public QObject {
  public:
    static void Start(QWidget* owner, const QString& label, std::function<void(WorkControl&)> work,
                      std::function<void()> finished);
    ~BackgroundWork() override;

  private:
    BackgroundWork(QWidget* owner, const QString& label, std::function<void()> finished);
    void Poll();

    WorkControl control_;
    std::atomic<bool> ended_{false};
    std::function<void()> finished_;
    // The owner may delete the dialog first, as it deletes all its children.
    QPointer<QProgressDialog> dialog_;
    QTimer poll_;
    std::thread thread_;
};

}  // namespace rolvik
