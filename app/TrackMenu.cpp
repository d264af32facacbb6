#include "TrackMenu.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>
#include <algorithm>

#include "CommandTable.h"
#include "EntryKey.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr int kRowsPerColumn = 10;
constexpr int kColumnGap = 3;  // room for the line that starts the second column
const QColor kHighlightFrame(128, 0, 128);

QColor ToColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

}  // namespace

TrackMenuGrid::TrackMenuGrid(QMenu* menu) : QWidget(menu), menu_(menu) {
    setMouseTracking(true);
    setFont(menu->font());
    menu->installEventFilter(this);
    Layout();
}

QString TrackMenuGrid::TrackItemText(int track) {
    const std::string_view name = TrackColourTable()[static_cast<std::size_t>(track)].name;
    return QStringLiteral("%1:Track%2(%3)")
        .arg(QChar(TrackKey(track)))
        .arg(track + 1)
        .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

QSize TrackMenuGrid::sizeHint() const {
    return size_;
}

std::optional<int> TrackMenuGrid::highlighted() const {
    if (highlighted_ < 0) {
        return std::nullopt;
    }
    return cells_[static_cast<std::size_t>(highlighted_)].track;
}

// Rows of both columns hold the same kinds of item, so they line up; each column is as wide as
// its widest item.
void TrackMenuGrid::Layout() {
    const QFontMetrics metrics(font());
    QStyleOptionMenuItem option;
    option.initFrom(menu_);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("Visible Track Only:");
    const QSize labelSize = style()->sizeFromContents(
        QStyle::CT_MenuItem, &option,
        QSize(metrics.horizontalAdvance(option.text), metrics.height()), menu_);
    option.menuItemType = QStyleOptionMenuItem::Separator;
    const int separatorHeight =
        style()->sizeFromContents(QStyle::CT_MenuItem, &option, QSize(0, 0), menu_).height();
    const int trackHeight = metrics.height() + 4;

    std::array<int, 2> widths{labelSize.width(), labelSize.width()};
    for (int track = 0; track < kTrackCount; ++track) {
        int& width = widths[static_cast<std::size_t>(track / 8)];
        width = std::max(width, metrics.horizontalAdvance(TrackItemText(track)) + 4);
    }

    cells_.clear();
    int x = 0;
    for (int column = 0; column < 2; ++column) {
        const int width = widths[static_cast<std::size_t>(column)];
        int y = 0;
        cells_.push_back(
            {column == 0 ? Kind::Label : Kind::All, -1, QRect(x, y, width, labelSize.height())});
        y += labelSize.height();
        cells_.push_back({Kind::Separator, -1, QRect(x, y, width, separatorHeight)});
        y += separatorHeight;
        for (int row = 0; row < 8; ++row) {
            cells_.push_back({Kind::Track, column * 8 + row, QRect(x, y, width, trackHeight)});
            y += trackHeight;
        }
        size_ = QSize(x + width, y);
        x += width + kColumnGap;
    }
    setFixedSize(size_);
}

int TrackMenuGrid::CellAt(QPoint position) const {
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        if (cells_[i].choosable() && cells_[i].rect.contains(position)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TrackMenuGrid::Highlight(int cell) {
    if (cell != highlighted_) {
        highlighted_ = cell;
        update();
    }
}

void TrackMenuGrid::Choose(int cell) {
    if (cell < 0) {
        return;
    }
    const int track = cells_[static_cast<std::size_t>(cell)].track;
    Highlight(-1);
    menu_->hide();
    emit TrackChosen(track);
}

// Up and down walk a column's items, left and right jump to the same row of the other column.
void TrackMenuGrid::MoveHighlight(int key) {
    const int current = highlighted_ < 0 ? kRowsPerColumn : highlighted_;
    const int column = current / kRowsPerColumn;
    int row = current % kRowsPerColumn;
    int next = current;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        next = (1 - column) * kRowsPerColumn + row;
    } else {
        const int step = key == Qt::Key_Up ? -1 : 1;
        do {
            row = (row + step + kRowsPerColumn) % kRowsPerColumn;
            next = column * kRowsPerColumn + row;
        } while (!cells_[static_cast<std::size_t>(next)].choosable());
    }
    if (cells_[static_cast<std::size_t>(next)].kind == Kind::Label) {
        next += 2;
    }
    Highlight(next);
}

bool TrackMenuGrid::HandleKey(const QKeyEvent& event) {
    const int key = event.key();
    if (const std::optional<int> track = TrackOfKey(EntryKeyOf(event))) {
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (cells_[i].choosable() && cells_[i].track == *track) {
                Choose(static_cast<int>(i));
                return true;
            }
        }
    }
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            MoveHighlight(key);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (highlighted_ < 0) {
                return false;  // the menu bar moves on to the neighbouring menu
            }
            MoveHighlight(key);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (highlighted_ >= 0) {
                Choose(highlighted_);
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool TrackMenuGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menu_ && event->type() == QEvent::KeyPress) {
        return HandleKey(*static_cast<QKeyEvent*>(event));
    }
    if (watched == menu_ && event->type() == QEvent::Hide) {
        Highlight(-1);
    }
    return QWidget::eventFilter(watched, event);
}

void TrackMenuGrid::mouseMoveEvent(QMouseEvent* event) {
    Highlight(CellAt(event->position().toPoint()));
}

void TrackMenuGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Choose(CellAt(event->position().toPoint()));
    }
}

void TrackMenuGrid::leaveEvent(QEvent*) {
    Highlight(-1);
}

void TrackMenuGrid::PaintStandardItem(QPainter& painter, const Cell& cell, bool selected) const {
    QStyleOptionMenuItem option;
    option.initFrom(menu_);
    option.rect = cell.rect;
    option.menuRect = rect();
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.maxIconWidth = 0;
    if (cell.kind == Kind::Separator) {
        option.menuItemType = QStyleOptionMenuItem::Separator;
    } else {
        option.menuItemType = QStyleOptionMenuItem::Normal;
        option.text = cell.kind == Kind::Label ? QStringLiteral("Visible Track Only:")
                                               : QStringLiteral("All\t&0");
        option.reservedShortcutWidth =
            cell.kind == Kind::All ? fontMetrics().horizontalAdvance(QLatin1Char('0')) : 0;
        option.state.setFlag(QStyle::State_Enabled, cell.kind == Kind::All);
        // Styles draw a disabled item's text in the palette's current colours: the label takes
        // the disabled ones, so that it is greyed as a disabled menu item is.
        if (cell.kind == Kind::Label) {
            option.palette.setCurrentColorGroup(QPalette::Disabled);
        }
        option.state.setFlag(QStyle::State_Selected, selected);
    }
    style()->drawControl(QStyle::CE_MenuItem, &option, &painter, menu_);
}

void TrackMenuGrid::PaintTrackItem(QPainter& painter, const Cell& cell, bool selected) const {
    const QRect text = cell.rect.adjusted(2, 0, 0, 0);
    if (selected) {
        painter.fillRect(cell.rect, kHighlightFrame);
        painter.fillRect(
            cell.rect.adjusted(1, 1, -1, -1),
            ToColor(CurrentSettings().trackColours[static_cast<std::size_t>(cell.track)]));
        painter.setPen(cell.track < 8 ? Qt::black : Qt::white);
    } else {
        painter.fillRect(cell.rect, menu_->palette().color(QPalette::Button));
        painter.setPen(menu_->palette().color(QPalette::Text));
    }
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     TrackItemText(cell.track));
}

void TrackMenuGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        const bool selected = static_cast<int>(i) == highlighted_;
        if (cells_[i].kind == Kind::Track) {
            PaintTrackItem(painter, cells_[i], selected);
        } else {
            PaintStandardItem(painter, cells_[i], selected);
        }
    }
    const int lineX = cells_[kRowsPerColumn].rect.left() - kColumnGap / 2 - 1;
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(lineX, 0, lineX, height());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(lineX + 1, 0, lineX + 1, height());
}

TrackMenuGrid* FillViewMenu(QMenu& menu) {
    auto* grid = new TrackMenuGrid(&menu);
    auto* action = new QWidgetAction(&menu);
    action->setDefaultWidget(grid);
    menu.addAction(action);
    return grid;
}

}  // namespace rolvik
