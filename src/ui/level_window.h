// The level window: the elevation diagram of the levels with their boxes, the storey height
// labels, "Schedule Drawing" and "Send To Excel". It computes nothing itself: the geometry comes from diagram.h,
// the schedule from the schedule pipeline.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <vector>

#include "model/model.h"
#include "report/schedule.h"
#include "ui/desktop.h"
#include "ui/diagram.h"
#include "ui/line_control.h"
#include "ui/recorded_workbook.h"

namespace tierwise::ui {

// How the start-up ended.
enum class StartUp {
    Ready,      // the window is ready to be shown
    Cancelled,  // the engineer cancelled the file dialog: end without a word
    Refused,    // the file was refused and the message shown: end with a failure status
};

// The window in which the engineer ticks the levels where the schedule is split into storey
// ranges, and asks for the workbook or the drawing.
class LevelWindow : public QWidget {
    Q_OBJECT
public:
    // Builds the caption, the buttons and the bar; nothing is read and nothing is shown yet.
    explicit LevelWindow(Desktop desktop, QWidget* parent = nullptr);

    // The start-up: the workbook, the analysis file (`analysisFile`, or the one the engineer chooses
    // when empty), the schedule's column lines, the diagram and the storey height labels.
    StartUp start(const std::optional<std::filesystem::path>& analysisFile);

    // Shrinks the window, where it is larger, to fit `available` (a screen's free area, frame
    // included), and keeps the smallest size it can be resized to within it.
    void fitInto(const QRect& available);

    // True when "Send To Excel" could not write or save the schedule.
    [[nodiscard]] bool reportFailed() const { return reportFailed_; }

    // The tick state of the level boxes, element i - 1 for level i.
    [[nodiscard]] LevelTicks levelTicks() const;
    [[nodiscard]] const Model& model() const { return model_; }

    // Twips to the window's pixels, across and down.
    [[nodiscard]] int pixelsAcross(double twips) const;
    [[nodiscard]] int pixelsDown(double twips) const;

signals:
    // The program is to end: after "Send To Excel", or when the report could not be made.
    void ended();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createFixedControls();
    void createLevelControls();
    // Places the caption, the buttons and the diagram for the window's present size.
    void arrange();
    void layOutDiagram();
    // Places and shows the storey height labels for the ticks at start-up.
    void showStoreyHeights();
    // Level box `index` (1 = lowest) was clicked: the lowest and highest boxes stay ticked.
    void levelBoxClicked(int index);
    // "Send To Excel": the workbook for the present ticks, opened, and the program ends.
    void sendToExcel();
    // "Schedule Drawing": the PDF and DXF for the present ticks; the window stays open for more.
    void drawSchedule();

    // Both buttons' width in twips: the designed one, or what the longer caption needs.
    [[nodiscard]] int32_t buttonWidth() const;
    // The check box's width in twips: the designed one, or what its caption needs.
    [[nodiscard]] int32_t ductileBoxWidth() const;
    // The detailing choices: the defaults, ductile when the check box is ticked.
    [[nodiscard]] DetailOptions detailOptions() const;
    // The outer height the diagram is laid out for, in twips: the client height and the designed frame.
    [[nodiscard]] int32_t outerHeight() const;
    // Places a control of the window itself, in twips from the client area's top left corner.
    void placeTwips(QWidget& control, double left, double top, double width, double height) const;
    // Places a control of the diagram: the same twips, on the canvas that scrolls below the top band.
    void placeOnCanvas(QWidget& control, double left, double top, double width, double height) const;
    void placeLineOnCanvas(LineControl& line, double x1, double y1, double x2, double y2) const;
    [[nodiscard]] int canvasDown(double twips) const;
    // Shows a message over the window; an empty text ends silently.
    void tell(MessageKind kind, const QString& text);
    void end();

    Desktop desktop_;
    std::filesystem::path analysisFile_;
    RecordedWorkbook book_;
    Model model_;
    ColumnLines lines_;  // the column lines of model_, found once at start-up
    bool loaded_ = false;
    bool reportFailed_ = false;
    // Set by the layout, read again by showStoreyHeights.
    diagram::DiagramLayout layout_;
    // The ticks the storey height labels were worked out for: those at start-up.
    LevelTicks labelTicks_;

    QPushButton* sendButton_ = nullptr;     // "Send To Excel"
    QPushButton* drawingButton_ = nullptr;  // "Schedule Drawing", left of it
    QCheckBox* ductileBox_ = nullptr;       // "Ductile detailing (IS 13920)", left of both; off at start
    QLabel* caption_ = nullptr;             // "Tierwise          16 NOV 2025" above the diagram
    // The diagram's controls lie on the canvas, which scrolls where the diagram is taller than the window.
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    QFrame* elevationBar_ = nullptr;  // from the lowest to the highest level
    // Per level, element i - 1 for level i:
    std::vector<QCheckBox*> levelBoxes_;       // a box captioned with the level in metres
    std::vector<LineControl*> tickLines_;      // a tick on the right of the bar
    std::vector<LineControl*> leaders_;        // from the tick to the box where the box was spread off its line
    std::vector<QLabel*> storeyHeightLabels_;  // the storey height left of the bar, between ticked levels
};

}  // namespace tierwise::ui
