#include "RingtoneDialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace rolvik {
namespace {

QDoubleSpinBox* SecondsBox(QWidget* parent, double low, double high) {
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(3);
    box->setRange(low, high);
    box->setSuffix(QStringLiteral(" s"));
    return box;
}

class RingtoneDialog : public QDialog {
  public:
    RingtoneDialog(QWidget* owner, const RingtoneChoice& last)
        : QDialog(owner), fadeSet_(last.fadeSeconds.has_value()) {
        setWindowTitle(QStringLiteral("Export"));
        loops_->setRange(kMinRingtoneLoops, kMaxRingtoneLoops);
        loops_->setValue(last.loops.value_or(kMinRingtoneLoops));
        length_->setValue(last.lengthSeconds.value_or(30));
        fade_->setValue(FadeSecondsOf(last));
        (last.loops           ? loopsChoice_
         : last.lengthSeconds ? lengthChoice_
                              : onceChoice_)
            ->setChecked(true);
        LayOut();
        Connect();
        FollowChoice();
    }

    RingtoneChoice Choice() const {
        RingtoneChoice choice;
        if (loopsChoice_->isChecked()) {
            choice.loops = loops_->value();
        } else if (lengthChoice_->isChecked()) {
            choice.lengthSeconds = length_->value();
        }
        if (fadeSet_) {
            choice.fadeSeconds = fade_->value();
        }
        return choice;
    }

  private:
    void LayOut() {
        auto* grid = new QGridLayout(this);
        grid->addWidget(onceChoice_, 0, 0, 1, 2);
        grid->addWidget(loopsChoice_, 1, 0);
        grid->addWidget(loops_, 1, 1);
        grid->addWidget(lengthChoice_, 2, 0);
        grid->addWidget(length_, 2, 1);
        grid->addWidget(new QLabel(QStringLiteral("Fade:"), this), 3, 0);
        grid->addWidget(fade_, 3, 1);
        grid->addWidget(buttons_, 4, 0, 1, 2);
        auto* group = new QButtonGroup(this);
        for (QRadioButton* choice : {onceChoice_, loopsChoice_, lengthChoice_}) {
            group->addButton(choice);
        }
    }

    void Connect() {
        connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
        for (QRadioButton* choice : {onceChoice_, loopsChoice_, lengthChoice_}) {
            connect(choice, &QRadioButton::toggled, this, [this] { FollowChoice(); });
        }
        connect(fade_, &QDoubleSpinBox::valueChanged, this, [this] { fadeSet_ = true; });
    }

    // Only the chosen way's number can be changed, and a fade the user has not set shows the
    // default of that way.
    void FollowChoice() {
        loops_->setEnabled(loopsChoice_->isChecked());
        length_->setEnabled(lengthChoice_->isChecked());
        if (!fadeSet_) {
            const QSignalBlocker quiet(fade_);
            fade_->setValue(FadeSecondsOf(Choice()));
        }
    }

    QRadioButton* onceChoice_ = new QRadioButton(QStringLiteral("Play the song once"), this);
    QRadioButton* loopsChoice_ = new QRadioButton(QStringLiteral("Loops:"), this);
    QRadioButton* lengthChoice_ = new QRadioButton(QStringLiteral("Length:"), this);
    QSpinBox* loops_ = new QSpinBox(this);
    QDoubleSpinBox* length_ = SecondsBox(this, kMinRingtoneSeconds, kMaxRingtoneSeconds);
    QDoubleSpinBox* fade_ = SecondsBox(this, 0, kMaxRingtoneFadeSeconds);
    QDialogButtonBox* buttons_ =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bool fadeSet_;
};

}  // namespace

std::optional<RingtoneChoice> AskRingtone(QWidget* owner, const RingtoneChoice& last) {
    RingtoneDialog dialog(owner, last);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

}  // namespace rolvik
