#include "ui/level_window.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QStringList>

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>
#include <vector>

#include "drawing/schedule_drawing.h"
#include "grid/grid.h"
#include "model/rejection.h"
#include "platform/anl_file.h"
#include "platform/calendar.h"
#include "platform/drawing_files.h"
#include "platform/native_file.h"
#include "reader/anl_reader.h"
#include "tierwise/version.h"
#include "ui/qt_path.h"
#include "ui/window_layout.h"

namespace tierwise::ui {
namespace {

// Designed fonts; where a family is missing the platform substitutes its closest sans serif,
// and Arial Narrow asks for a condensed face.
QFont designFont(const char* family, int points, QFont::Stretch stretch = QFont::Unstretched) {
    QFont font(QString::fromLatin1(family));
    font.setPointSize(points);
    font.setStyleHint(QFont::SansSerif);
    font.setStretch(stretch);
    return font;
}

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

// A message for a failure that is not one of the refusals Tierwise words itself.
QString failedStep(const char* step, const std::exception& failure) {
    return QStringLiteral("%1 failed:\n%2").arg(QString::fromLatin1(step), QString::fromLocal8Bit(failure.what()));
}

// "FOLDER\nas A and B": where the files of a report are, the folder's whole path on a line of its own.
QString savedAs(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files) {
    QStringList names;
    for (const std::filesystem::path& file : files) names << fromPath(file.filename());
    return fromPath(folder) + QStringLiteral("\nas ") + names.join(QStringLiteral(" and "));
}

// Removes `folder` if it is there and empty; a folder with anything in it stays as it is.
void removeEmptyFolder(const std::filesystem::path& folder) {
    std::error_code ignored;  // not there, or not empty
    if (!folder.empty()) std::filesystem::remove(folder, ignored);
}

using Layout = WindowLayout;

// "Schedule Drawing" stands left of "Send To Excel", the same size, a margin apart.
constexpr int32_t drawingButtonLeft(int32_t excelButtonLeft, int32_t buttonWidth) {
    return excelButtonLeft - Layout::buttonMargin - buttonWidth;
}

}  // namespace

LevelWindow::LevelWindow(Desktop desktop, QWidget* parent) : QWidget(parent), desktop_(std::move(desktop)) {
    setObjectName(QStringLiteral("LevelWindow"));
    // The window's own font is the labels' default.
    setFont(designFont("MS Sans Serif", 8));
    createFixedControls();
    // Designed client area; the diagram is laid out again whenever the window changes size.
    resize(pixelsAcross(Layout::clientWidth), pixelsDown(Layout::clientHeight));
}

int LevelWindow::pixelsAcross(double twips) const { return diagram::twipsToPixels(twips, logicalDpiX()); }

int LevelWindow::pixelsDown(double twips) const { return diagram::twipsToPixels(twips, logicalDpiY()); }

int LevelWindow::canvasDown(double twips) const { return pixelsDown(twips) - pixelsDown(Layout::topBandHeight); }

void LevelWindow::placeTwips(QWidget& control, double left, double top, double width, double height) const {
    control.setGeometry(pixelsAcross(left), pixelsDown(top), pixelsAcross(width), pixelsDown(height));
}

void LevelWindow::placeOnCanvas(QWidget& control, double left, double top, double width, double height) const {
    // Both edges from twips, so that rows a box height apart never share a pixel.
    const int y = canvasDown(top);
    control.setGeometry(pixelsAcross(left), y, pixelsAcross(width), canvasDown(top + height) - y);
}

void LevelWindow::placeLineOnCanvas(LineControl& line, double x1, double y1, double x2, double y2) const {
    line.setLine(QLine(pixelsAcross(x1), canvasDown(y1), pixelsAcross(x2), canvasDown(y2)));
}

void LevelWindow::createFixedControls() {
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Diagram"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->viewport()->setAutoFillBackground(false);
    canvas_ = new QWidget;
    canvas_->setObjectName(QStringLiteral("Canvas"));
    canvas_->setAutoFillBackground(false);
    scroll_->setWidget(canvas_);  // the scroll area owns the canvas from here on

    sendButton_ = new QPushButton(QStringLiteral("Send To Excel"), this);
    sendButton_->setObjectName(QStringLiteral("SendToExcel"));
    sendButton_->setFont(designFont("Arial", 12));
    // Enter and keypad Enter press the focused button, as Space does.
    sendButton_->setAutoDefault(true);
    placeTwips(*sendButton_, Layout::buttonLeft, Layout::buttonTop, Layout::buttonWidth, Layout::buttonHeight);
    connect(sendButton_, &QPushButton::clicked, this, &LevelWindow::sendToExcel);

    drawingButton_ = new QPushButton(QStringLiteral("Schedule Drawing"), this);
    drawingButton_->setObjectName(QStringLiteral("ScheduleDrawing"));
    drawingButton_->setFont(sendButton_->font());
    drawingButton_->setAutoDefault(true);
    placeTwips(*drawingButton_, drawingButtonLeft(Layout::buttonLeft, Layout::buttonWidth), Layout::buttonTop,
               Layout::buttonWidth, Layout::buttonHeight);
    connect(drawingButton_, &QPushButton::clicked, this, &LevelWindow::drawSchedule);
    ductileBox_ = new QCheckBox(QStringLiteral("Ductile detailing (IS 13920)"), this);
    ductileBox_->setObjectName(QStringLiteral("Ductile"));
    ductileBox_->setFont(sendButton_->font());
    ductileBox_->setChecked(false);  // the engineer knows the zone
    setTabOrder(ductileBox_, drawingButton_);
    setTabOrder(drawingButton_, sendButton_);  // Tab goes left to right

    caption_ = new QLabel(QStringLiteral("Tierwise          16 NOV 2025"), this);
    caption_->setObjectName(QStringLiteral("Caption"));
    caption_->setTextFormat(Qt::PlainText);  // keeps the ten blanks before the date
    caption_->setFont(designFont("MS Sans Serif", 12));
    caption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(*caption_, Layout::captionLeft, Layout::captionTop, Layout::captionWidth, Layout::captionHeight);

    // Placed with the levels, by layOutDiagram.
    elevationBar_ = new QFrame(canvas_);
    elevationBar_->setObjectName(QStringLiteral("ElevationBar"));
    elevationBar_->setFrameStyle(QFrame::Box | QFrame::Plain);
    elevationBar_->setLineWidth(1);
}

StartUp LevelWindow::start(const std::optional<std::filesystem::path>& analysisFile) {
    // 1. The workbook with its worksheets; it stays in memory until "Send To Excel".
    book_ = RecordedWorkbook{};

    // 2. readAnl: the file from the command line, or the one chosen in the dialog.
    std::optional<std::filesystem::path> chosen = analysisFile;
    if (!chosen) chosen = desktop_.chooseAnalysisFile();
    if (!chosen || chosen->empty()) return StartUp::Cancelled;  // cancelled: end without a word
    std::error_code error;
    analysisFile_ = std::filesystem::absolute(*chosen, error);
    if (error) analysisFile_ = *chosen;
    // The file's full path, then the program and its version.
    setWindowTitle(
        QStringLiteral("%1 \u2014 %2 %3")
            .arg(fromPath(analysisFile_), QString::fromLatin1(kProgramTitle), QString::fromLatin1(kVersion)));

    const char* step = "Reading the analysis file";
    try {
        model_ = readAnlFile(analysisFile_);
        // A cut-off file gives a schedule with lines or columns missing; the engineer decides.
        if (const std::string cutOff = cutOffMessage(model_, utf8Name(analysisFile_)); !cutOff.empty()) {
            const QString question = fromUtf8(cutOff) + QStringLiteral("\n\nMake the schedule all the same?");
            if (!desktop_.askToGoOn(question, isVisible() ? this : nullptr)) return StartUp::Refused;
        }
        // 3. buildPlanGrid, and the column lines. A model the schedule cannot be made from is refused
        // now, before the engineer ticks levels.
        step = "Finding the grid of the frame";
        lines_ = prepareColumnLines(model_);
        step = "Checking the frame";
        checkTicks(lines_, LevelTicks{});
        // 4. The diagram, then 5. the storey height labels.
        step = "Laying out the levels";
        createLevelControls();
        layOutDiagram();
        labelTicks_ = levelTicks();
        showStoreyHeights();
    } catch (const Rejection& refusal) {
        tell(MessageKind::Error, fromUtf8(refusal.what()));
        return StartUp::Refused;
    } catch (const std::exception& failure) {
        tell(MessageKind::Error, failedStep(step, failure));
        return StartUp::Refused;
    }
    loaded_ = true;
    sendButton_->setFocus();
    // Columns the schedule leaves out are named once, without holding the engineer up.
    const std::vector<std::string> leftOut = leftOutWarnings(model_, leftOutColumns(model_));
    if (!leftOut.empty() && desktop_.showNotice) {
        QString text;
        for (const std::string& line : leftOut)
            text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + fromUtf8(line);
        desktop_.showNotice(text, this);
    }
    return StartUp::Ready;
}

void LevelWindow::fitInto(const QRect& available) {
    const int frameWidth = pixelsAcross(Layout::frameWidthEstimate);
    const int frameHeight = pixelsDown(Layout::frameHeightEstimate);
    const int roomWidth = std::max(1, available.width() - frameWidth);
    const int roomHeight = std::max(1, available.height() - frameHeight);
    // The least size still holds the caption and both buttons side by side and a few rows of the diagram.
    const int captionWidth = caption_->fontMetrics().horizontalAdvance(caption_->text());
    const int leastWidth =
        pixelsAcross(Layout::margin) + captionWidth +
        pixelsAcross(2 * Layout::margin + 2 * buttonWidth() + ductileBoxWidth() + 3 * Layout::buttonMargin);
    const int leastHeight = pixelsDown(Layout::topBandHeight + Layout::leastDiagramHeight);
    setMinimumSize(std::min(leastWidth, roomWidth), std::min(leastHeight, roomHeight));
    resize(std::min(width(), roomWidth), std::min(height(), roomHeight));
}

void LevelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void LevelWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window system may have given the window another size than it asked for.
    arrange();
    // The focus on "Send To Excel" shows from the start, not only after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void LevelWindow::arrange() {
    const int32_t clientWidth = diagram::pixelsToTwips(width(), logicalDpiX());
    const int32_t wide = buttonWidth();
    const int32_t left = std::min(diagram::buttonLeft(clientWidth), clientWidth - wide - Layout::buttonMargin);
    placeTwips(*sendButton_, left, Layout::buttonTop, wide, Layout::buttonHeight);
    const int32_t drawingLeft = drawingButtonLeft(left, wide);
    placeTwips(*drawingButton_, drawingLeft, Layout::buttonTop, wide, Layout::buttonHeight);
    const int32_t boxWide = ductileBoxWidth();
    const int32_t boxLeft = drawingLeft - Layout::buttonMargin - boxWide;
    placeTwips(*ductileBox_, boxLeft, Layout::buttonTop, boxWide, Layout::buttonHeight);
    // The caption keeps its place unless the box and buttons would cover it; then it moves left, as far as the margin.
    const int32_t captionText =
        diagram::pixelsToTwips(caption_->fontMetrics().horizontalAdvance(caption_->text()), logicalDpiX());
    const int32_t captionLeft =
        std::max(Layout::margin, std::min(Layout::captionLeft, boxLeft - Layout::margin - captionText));
    placeTwips(*caption_, captionLeft, Layout::captionTop,
               std::min(Layout::captionWidth, std::max(0, boxLeft - Layout::margin - captionLeft)),
               Layout::captionHeight);

    const int band = pixelsDown(Layout::topBandHeight);
    scroll_->setGeometry(0, band, width(), std::max(0, height() - band));
    if (loaded_) {
        layOutDiagram();
        showStoreyHeights();
    }
}

int32_t LevelWindow::buttonWidth() const {
    // "Schedule Drawing" is longer than the designed button holds in most fonts.
    const int needed = std::max(sendButton_->sizeHint().width(), drawingButton_->sizeHint().width());
    return std::max(Layout::buttonWidth, diagram::pixelsToTwips(needed, logicalDpiX()) + 1);
}

int32_t LevelWindow::ductileBoxWidth() const {
    return std::max(Layout::ductileBoxWidth,
                    diagram::pixelsToTwips(ductileBox_->sizeHint().width(), logicalDpiX()) + 1);
}

DetailOptions LevelWindow::detailOptions() const {
    DetailOptions options;
    options.ductile = ductileBox_->isChecked();
    return options;
}

int32_t LevelWindow::outerHeight() const {
    // The designed frame, not the one of this desktop's window manager: the diagram then looks the
    // same on every desktop, and the same before the window is shown as after.
    return diagram::outerHeightForLayout(std::nullopt, diagram::pixelsToTwips(height(), logicalDpiY()));
}

void LevelWindow::createLevelControls() {
    const QFont boxFont = designFont("Arial Narrow", 12, QFont::Condensed);
    const int n = model_.levelCount();
    for (int i = 1; i <= n; ++i) {
        auto* box = new QCheckBox(canvas_);
        box->setObjectName(QStringLiteral("LevelBox%1").arg(i));
        box->setFont(boxFont);
        box->setChecked(true);
        box->setToolTip(fromUtf8(diagram::levelToolTip(model_.gridY, static_cast<std::size_t>(i))));
        connect(box, &QCheckBox::clicked, this, [this, i] { levelBoxClicked(i); });
        box->show();
        levelBoxes_.push_back(box);

        auto* tick = new LineControl(canvas_);
        tick->setObjectName(QStringLiteral("TickLine%1").arg(i));
        tick->show();
        tickLines_.push_back(tick);
        auto* leader = new LineControl(canvas_);
        leader->setObjectName(QStringLiteral("Leader%1").arg(i));
        leader->hide();
        leaders_.push_back(leader);
        auto* label = new QLabel(canvas_);
        label->setObjectName(QStringLiteral("StoreyHeight%1").arg(i));
        label->setFont(font());
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->hide();
        storeyHeightLabels_.push_back(label);
    }
}

void LevelWindow::layOutDiagram() {
    layout_ = diagram::layOutDiagram(outerHeight(), model_.gridY);
    placeOnCanvas(*elevationBar_, Layout::barLeft, layout_.barTop(), Layout::barWidth, layout_.barHeight());

    for (std::size_t i = 0; i < levelBoxes_.size() && i < layout_.levels.size(); ++i) {
        const diagram::LevelMark& mark = layout_.levels[i];
        QCheckBox& box = *levelBoxes_[i];
        placeOnCanvas(box, layout_.boxLeft, mark.boxTop, Layout::levelBoxWidth, Layout::levelBoxHeight);
        box.setText(fromUtf8(mark.caption));
        placeLineOnCanvas(*tickLines_[i], Layout::tickLeft, mark.lineY, Layout::tickRight, mark.lineY);
        LineControl& leader = *leaders_[i];
        // Once any box is spread, every box stands off the bar: each tick then needs its leader.
        leader.setVisible(layout_.anySpread());
        placeLineOnCanvas(leader, Layout::tickRight, mark.lineY, layout_.boxLeft, mark.rowY());
    }

    // The canvas holds the whole diagram; the scroll area shows as much of it as the window has room for.
    const QSize room = scroll_->maximumViewportSize();
    const int contentHeight = canvasDown(layout_.contentHeight()) + 1;
    int roomWidth = room.width();
    if (contentHeight > room.height()) roomWidth -= scroll_->verticalScrollBar()->sizeHint().width();
    const int contentWidth = pixelsAcross(layout_.boxLeft + Layout::levelBoxWidth + Layout::margin);
    canvas_->resize(std::max(roomWidth, contentWidth), std::max(room.height(), contentHeight));
}

void LevelWindow::showStoreyHeights() {
    const LevelTicks& ticks = labelTicks_.empty() ? levelTicks() : labelTicks_;
    const std::vector<diagram::StoreyLabel> labels = diagram::storeyLabels(model_.gridY, layout_, ticks);
    // The lowest level has no storey below it: its label is never shown.
    for (std::size_t i = 1; i < labels.size() && i < storeyHeightLabels_.size(); ++i) {
        QLabel& label = *storeyHeightLabels_[i];
        label.hide();
        const diagram::StoreyLabel& placed = labels[i];
        if (!placed.visible) continue;
        label.setText(fromUtf8(placed.caption));
        placeOnCanvas(label, Layout::storeyLabelLeft, placed.top, Layout::storeyLabelWidth, Layout::storeyLabelHeight);
        label.show();
    }
}

LevelTicks LevelWindow::levelTicks() const {
    LevelTicks ticks;
    for (const QCheckBox* box : levelBoxes_) ticks.push_back(box->isChecked());
    return ticks;
}

void LevelWindow::levelBoxClicked(int index) {
    QCheckBox& box = *levelBoxes_[static_cast<std::size_t>(index) - 1];
    box.setChecked(diagram::tickAfterClick(index, model_.levelCount(), box.isChecked()));
}

void LevelWindow::sendToExcel() {
    sendButton_->setEnabled(false);  // the report is made once
    const char* step = "Writing the schedule";
    try {
        writeWorkbook(lines_, levelTicks(), book_, detailOptions());
        step = "Saving the workbook";
        const std::filesystem::path file = desktop_.newReportFolder() / workbookFileName(analysisFile_);
        desktop_.saveWorkbook(book_, file);
        desktop_.announceFile(file);
        if (!desktop_.openFile(QUrl::fromLocalFile(fromPath(file)))) {
            // The workbook is saved but nothing shows it: tell where it is, so the work is not lost.
            tell(MessageKind::Information,
                 QStringLiteral("No application could open the schedule. It is saved as\n%1").arg(fromPath(file)));
        }
    } catch (const Rejection& refusal) {
        reportFailed_ = true;
        tell(MessageKind::Error, fromUtf8(refusal.what()));
    } catch (const std::exception& failure) {
        reportFailed_ = true;
        tell(MessageKind::Error, failedStep(step, failure));
    }
    end();
}

void LevelWindow::drawSchedule() {
    const char* step = "Detailing the schedule";
    std::filesystem::path folder;
    std::vector<std::filesystem::path> saved;
    // A failure names what was saved before it; a folder it leaves empty is removed.
    const auto fail = [&](const QString& why) {
        if (saved.empty()) {
            removeEmptyFolder(folder);
            tell(MessageKind::Error, why);
        } else {
            tell(MessageKind::Error,
                 why + QStringLiteral("\n\nOnly part of the schedule drawing is saved, in\n") + savedAs(folder, saved));
        }
    };
    try {
        const DetailOptions options = detailOptions();
        const ColumnDetailing detailed = detailColumns(lines_, levelTicks(), options);
        step = "Drawing the schedule";
        const Drawing drawing = scheduleDrawing(detailed, model_, lines_.lines,
                                                {utf8Name(analysisFile_.filename()), today(), options.cover});
        step = "Saving the drawing";
        folder = desktop_.newReportFolder();
        const std::filesystem::path pdf = folder / reportFileName(analysisFile_, ".pdf");
        const std::filesystem::path dxf = folder / reportFileName(analysisFile_, ".dxf");
        // A build without cairo (so far the Windows builds) draws the DXF alone.
        const bool withPdf = drawsPdfAndSvg();
        std::vector<std::filesystem::path> files{dxf};
        if (withPdf) files.insert(files.begin(), pdf);
        for (const std::filesystem::path& file : files) {
            desktop_.saveDrawing(drawing, file);
            saved.push_back(file);
            desktop_.announceFile(file);
        }
        if (!withPdf) {
            tell(MessageKind::Information,
                 QStringLiteral("The schedule drawing is saved in\n") + savedAs(folder, saved));
            return;
        }
        // Where the files are, in every case: the DXF is for the engineer's CAD program, which
        // nothing opens for them.
        const QString lead = desktop_.openFile(QUrl::fromLocalFile(fromPath(pdf)))
                                 ? QStringLiteral("The schedule drawing is saved in")
                                 : QStringLiteral("No application could open the drawing. It is saved in");
        tell(MessageKind::Information, lead + QLatin1Char('\n') + savedAs(folder, saved));
    } catch (const Rejection& refusal) {
        fail(fromUtf8(refusal.what()));
    } catch (const std::exception& failure) {
        fail(failedStep(step, failure));
    }
}

void LevelWindow::tell(MessageKind kind, const QString& text) {
    if (!text.isEmpty()) desktop_.showMessage(kind, text, isVisible() ? this : nullptr);
}

void LevelWindow::end() {
    emit ended();
    close();
}

}  // namespace tierwise::ui
