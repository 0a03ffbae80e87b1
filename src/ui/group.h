// The window Group: the elevation diagram of the levels with their boxes, the storey height
// labels, and "Send To Excel". It computes nothing itself: the geometry comes from diagram.h,
// the schedule from the schedule pipeline.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
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

class Group : public QWidget {
    Q_OBJECT
public:
    // Builds the designed controls; nothing is read and nothing is shown yet.
    explicit Group(Desktop desktop, QWidget* parent = nullptr);

    // The start-up: the workbook, the analysis file (`analysisFile`, or the one the engineer chooses
    // when empty), makeCube, the diagram and the storey height labels. False when the program is
    // to end instead of showing the window: the dialog was cancelled, or a message has been shown.
    bool Form_Load(const std::optional<std::filesystem::path>& analysisFile);

    // The tick state of the level boxes, element i - 1 for level i.
    [[nodiscard]] LevelTicks levelTicks() const;
    [[nodiscard]] const Model& model() const { return model_; }

    // Twips to the window's pixels, across and down.
    [[nodiscard]] int pixelsAcross(double twips) const;
    [[nodiscard]] int pixelsDown(double twips) const;

signals:
    // The program is to end: after "Send To Excel", or when the report could not be made.
    void ended();

private:
    void createDesignedControls();
    void layOutDiagram();
    void displtyHoc();
    void Check1_Click(int index);
    void Command1_Click();

    // The outer height the diagram is laid out for, in twips.
    [[nodiscard]] int32_t outerHeight() const;
    void placeTwips(QWidget& control, double left, double top, double width, double height) const;
    void placeLineTwips(LineControl& line, double x1, double y1, double x2, double y2) const;
    // Shows the text of a refusal; an empty text ends silently.
    void tell(const QString& text) const;
    void end();

    Desktop desktop_;
    std::filesystem::path analysisFile_;
    RecordedWorkbook book_;
    Model model_;
    Schedule schedule_;  // the column lines of model_, found once at start-up
    // Set by the layout, read again by displtyHoc.
    int32_t diagBottom_ = 0;
    float diagScale_ = 0;

    QPushButton* Command1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QFrame* Shape1_ = nullptr;
    // Control families: element 0 is the hidden template, 1 to n the levels.
    std::vector<QCheckBox*> Check1_;
    std::vector<LineControl*> Line1_;
    std::vector<QLabel*> LabHoc_;
    std::vector<LineControl*> Line2_;
};

}  // namespace tierwise::ui
