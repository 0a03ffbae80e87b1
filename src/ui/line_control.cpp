#include "ui/line_control.h"

#include <QPainter>

namespace tierwise::ui {
namespace {

// Room around the line on every side. At a fractional scale a widget's edges fall between
// device pixels and are rounded inwards; a line drawn on the widget's very edge could then be
// cut away altogether.
constexpr int kPad = 1;

}  // namespace

LineControl::LineControl(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void LineControl::setLine(const QLine& line) {
    line_ = line;
    setGeometry(QRect(line.p1(), line.p2()).normalized().adjusted(-kPad, -kPad, kPad, kPad));
    update();
}

void LineControl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // One logical pixel wide, so that at any scale it covers at least one whole device pixel.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(line_.translated(-pos()));
}

}  // namespace tierwise::ui
