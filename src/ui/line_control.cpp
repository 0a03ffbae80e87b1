#include "ui/line_control.h"

#include <QPainter>

namespace tierwise::ui {

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setLine(const QLine& line) {
    line_ = line;
    // One pixel more than the span each way, so that a horizontal or vertical line has room.
    const QRect box = QRect(line.p1(), line.p2()).normalized();
    setGeometry(box.adjusted(0, 0, 1, 1));
    update();
}

void LineControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    painter.drawLine(line_.translated(-pos()));
}

}  // namespace tierwise::ui
