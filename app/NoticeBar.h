#pragma once

#include <QFrame>
#include <QString>

class QLabel;

namespace rolvik {

// The bar across the top of the main window that shows the Notices of the last open without
// blocking the window: the information icon, the notices' own texts one below the other, and a
// button that closes the bar. It stays hidden while it holds nothing.
class NoticeBar : public QFrame {
    Q_OBJECT

  public:
    explicit NoticeBar(QWidget* parent);

    // Adds a notice below those already shown and shows the bar.
    void Add(const QString& text);
    // Empties and hides the bar, as the close button does.
    void Clear();
    QString text() const;

  private:
    QLabel* text_ = nullptr;
};

}  // namespace rolvik
