// A line of the diagram (a level's tick, a leader): a straight line between two points of its
// parent's client area.
#pragma once

#include <QLine>
#include <QWidget>

namespace tierwise::ui {

class LineControl : public QWidget {
    Q_OBJECT
public:
    explicit LineControl(QWidget* parent);

    // End points in the parent's pixels; the widget covers just the line.
    void setLine(const QLine& line);
    [[nodiscard]] QLine line() const { return line_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine line_;
};

}  // namespace tierwise::ui
