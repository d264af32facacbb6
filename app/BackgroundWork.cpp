#include "BackgroundWork.h"

#include <QProgressDialog>

namespace rolvik {
namespace {

constexpr int kSteps = 1000;
constexpr int kPollMs = 100;

}  // namespace

BackgroundWork::BackgroundWork(QWidget* owner, const QString& label, std::function<void()> finished)
    : QObject(owner),
      finished_(std::move(finished)),
      dialog_(new QProgressDialog(label, QStringLiteral("Cancel"), 0, kSteps, owner)) {
    dialog_->setWindowModality(Qt::NonModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
    connect(&poll_, &QTimer::timeout, this, &BackgroundWork::Poll);
    poll_.start(kPollMs);
}

BackgroundWork::~BackgroundWork() {
    control_.cancelled = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    delete dialog_;
}

void BackgroundWork::Start(QWidget* owner, const QString& label,
                           std::function<void(WorkControl&)> work, std::function<void()> finished) {
    auto* background = new BackgroundWork(owner, label, std::move(finished));
    background->thread_ = std::thread([background, work = std::move(work)] {
        work(background->control_);
        background->ended_ = true;
    });
}

void BackgroundWork::Poll() {
    if (dialog_->wasCanceled()) {
        control_.cancelled = true;
    }
    dialog_->setValue(static_cast<int>(control_.done.load() * kSteps));
    if (!ended_) {
        return;
    }
    poll_.stop();
    thread_.join();
    dialog_->hide();
    finished_();
    deleteLater();
}

}  // namespace rolvik
