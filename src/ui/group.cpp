#include "ui/group.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShowEvent>

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
#include "ui/qt_path.h"

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

template <typename Control>
void copyFrame(const Control& from, Control& to) {
    to.setGeometry(from.geometry());
    to.setFont(from.font());
    to.hide();
}

// Room kept around the title and the button, and the window's least height below the top band.
constexpr int32_t kMargin = 120;
constexpr int32_t kLeastDiagramHeight = 1500;
// Borders left and right of the client area when the window system cannot tell yet.
constexpr int32_t kFrameWidthEstimate = 120;
// Where the title "Tierwise          16 NOV 2025" is designed to start.
constexpr int32_t kTitleLeft = 8880;
constexpr int32_t kTitleWidth = 4095;

// "Schedule Drawing" stands left of "Send To Excel", the same size, a margin apart.
constexpr int32_t drawingButtonLeft(int32_t excelButtonLeft, int32_t buttonWidth) {
    return excelButtonLeft - diagram::kButtonMargin - buttonWidth;
}

}  // namespace

Group::Group(Desktop desktop, QWidget* parent) : QWidget(parent), desktop_(std::move(desktop)) {
    setObjectName(QStringLiteral("Group"));
    // The window's own font is the labels' default.
    setFont(designFont("MS Sans Serif", 8));
    createDesignedControls();
    // Designed client area; the diagram is laid out again whenever the window changes size.
    resize(pixelsAcross(diagram::kClientWidth), pixelsDown(diagram::kClientHeight));
}

int Group::pixelsAcross(double twips) const { return diagram::twipsToPixels(twips, logicalDpiX()); }

int Group::pixelsDown(double twips) const { return diagram::twipsToPixels(twips, logicalDpiY()); }

int Group::canvasDown(double twips) const { return pixelsDown(twips) - pixelsDown(diagram::kTopBandHeight); }

void Group::placeTwips(QWidget& control, double left, double top, double width, double height) const {
    control.setGeometry(pixelsAcross(left), pixelsDown(top), pixelsAcross(width), pixelsDown(height));
}

void Group::placeOnCanvas(QWidget& control, double left, double top, double width, double height) const {
    // Both edges from twips, so that rows a box height apart never share a pixel.
    const int y = canvasDown(top);
    control.setGeometry(pixelsAcross(left), y, pixelsAcross(width), canvasDown(top + height) - y);
}

void Group::placeLineOnCanvas(LineControl& line, double x1, double y1, double x2, double y2) const {
    line.setLine(QLine(pixelsAcross(x1), canvasDown(y1), pixelsAcross(x2), canvasDown(y2)));
}

void Group::createDesignedControls() {
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Diagram"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->viewport()->setAutoFillBackground(false);
    canvas_ = new QWidget;
    canvas_->setObjectName(QStringLiteral("Canvas"));
    canvas_->setAutoFillBackground(false);
    scroll_->setWidget(canvas_);  // the scroll area owns the canvas from here on

    Command1_ = new QPushButton(QStringLiteral("Send To Excel"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setFont(designFont("Arial", 12));
    // Enter and keypad Enter press the focused button, as Space does.
    Command1_->setAutoDefault(true);
    placeTwips(*Command1_, diagram::kButtonLeft, 240, diagram::kButtonWidth, 495);
    connect(Command1_, &QPushButton::clicked, this, &Group::Command1_Click);

    Command2_ = new QPushButton(QStringLiteral("Schedule Drawing"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    Command2_->setFont(Command1_->font());
    Command2_->setAutoDefault(true);
    placeTwips(*Command2_, drawingButtonLeft(diagram::kButtonLeft, diagram::kButtonWidth), 240, diagram::kButtonWidth,
               495);
    connect(Command2_, &QPushButton::clicked, this, &Group::Command2_Click);
    setTabOrder(Command2_, Command1_);  // Tab goes left to right

    Label2_ = new QLabel(QStringLiteral("Tierwise          16 NOV 2025"), this);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setTextFormat(Qt::PlainText);  // keeps the ten blanks before the date
    Label2_->setFont(designFont("MS Sans Serif", 12));
    Label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(*Label2_, kTitleLeft, 240, kTitleWidth, 375);

    Shape1_ = new QFrame(canvas_);
    Shape1_->setObjectName(QStringLiteral("Shape1"));
    Shape1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1_->setLineWidth(1);
    placeOnCanvas(*Shape1_, 7200, 4680, 255, 4455);

    // Templates of the level families, element 0, hidden.
    auto* check = new QCheckBox(canvas_);
    check->setObjectName(QStringLiteral("Check1_0"));
    check->setFont(designFont("Arial Narrow", 12, QFont::Condensed));
    check->setChecked(true);
    placeOnCanvas(*check, diagram::kBoxLeft, 9000, diagram::kLevelBoxWidth, diagram::kLevelBoxHeight);
    check->hide();
    Check1_.push_back(check);

    auto* tick = new LineControl(canvas_);
    tick->setObjectName(QStringLiteral("Line1_0"));
    placeLineOnCanvas(*tick, 7440, 9000, diagram::kTickRight, 9000);
    tick->hide();
    Line1_.push_back(tick);

    auto* label = new QLabel(canvas_);
    label->setObjectName(QStringLiteral("LabHoc_0"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font());
    placeOnCanvas(*label, 6360, 8880, 615, diagram::kStoreyLabelHeight);
    label->hide();
    LabHoc_.push_back(label);

    auto* leftTick = new LineControl(canvas_);
    leftTick->setObjectName(QStringLiteral("Line2_0"));
    placeLineOnCanvas(*leftTick, 7200, 8760, 6840, 8760);
    leftTick->hide();
    Line2_.push_back(leftTick);
    Leader_.push_back(nullptr);  // no template: leaders are the window's own
}

StartUp Group::Form_Load(const std::optional<std::filesystem::path>& analysisFile) {
    // 1. The workbook with its three worksheets; it stays in memory until "Send To Excel".
    book_ = RecordedWorkbook{};

    // 2. readAnl: the file from the command line, or the one chosen in the dialog.
    std::optional<std::filesystem::path> chosen = analysisFile;
    if (!chosen) chosen = desktop_.chooseAnalysisFile();
    if (!chosen || chosen->empty()) return StartUp::Cancelled;  // cancelled: end without a word
    std::error_code error;
    analysisFile_ = std::filesystem::absolute(*chosen, error);
    if (error) analysisFile_ = *chosen;
    setWindowTitle(fromPath(analysisFile_));

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
        schedule_ = prepareColumnLines(model_);
        step = "Checking the frame";
        checkTicks(schedule_, LevelTicks{});
        // 4. The diagram, then 5. the storey height labels.
        step = "Laying out the levels";
        createLevelControls();
        layOutDiagram();
        labelTicks_ = levelTicks();
        displtyHoc();
    } catch (const Rejection& refusal) {
        tell(MessageKind::Error, fromUtf8(refusal.what()));
        return StartUp::Refused;
    } catch (const std::exception& failure) {
        tell(MessageKind::Error, failedStep(step, failure));
        return StartUp::Refused;
    }
    loaded_ = true;
    Command1_->setFocus();
    return StartUp::Ready;
}

void Group::fitInto(const QRect& available) {
    const int frameWidth = pixelsAcross(kFrameWidthEstimate);
    const int frameHeight = pixelsDown(diagram::kFrameEstimate);
    const int roomWidth = std::max(1, available.width() - frameWidth);
    const int roomHeight = std::max(1, available.height() - frameHeight);
    // The least size still holds the title and both buttons side by side and a few rows of the diagram.
    const int titleWidth = Label2_->fontMetrics().horizontalAdvance(Label2_->text());
    const int leastWidth =
        pixelsAcross(kMargin) + titleWidth + pixelsAcross(2 * kMargin + 2 * buttonWidth() + 2 * diagram::kButtonMargin);
    const int leastHeight = pixelsDown(diagram::kTopBandHeight + kLeastDiagramHeight);
    setMinimumSize(std::min(leastWidth, roomWidth), std::min(leastHeight, roomHeight));
    resize(std::min(width(), roomWidth), std::min(height(), roomHeight));
}

void Group::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void Group::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window system may have given the window another size than it asked for.
    arrange();
    // The focus on "Send To Excel" shows from the start, not only after the first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void Group::arrange() {
    const int32_t clientWidth = diagram::pixelsToTwips(width(), logicalDpiX());
    const int32_t wide = buttonWidth();
    const int32_t left = std::min(diagram::buttonLeft(clientWidth), clientWidth - wide - diagram::kButtonMargin);
    placeTwips(*Command1_, left, 240, wide, 495);
    const int32_t drawingLeft = drawingButtonLeft(left, wide);
    placeTwips(*Command2_, drawingLeft, 240, wide, 495);
    // The title keeps its place unless the buttons would cover it; then it moves left, as far as the margin.
    const int32_t titleText =
        diagram::pixelsToTwips(Label2_->fontMetrics().horizontalAdvance(Label2_->text()), logicalDpiX());
    const int32_t titleLeft = std::max(kMargin, std::min(kTitleLeft, drawingLeft - kMargin - titleText));
    placeTwips(*Label2_, titleLeft, 240, std::min(kTitleWidth, std::max(0, drawingLeft - kMargin - titleLeft)), 375);

    const int band = pixelsDown(diagram::kTopBandHeight);
    scroll_->setGeometry(0, band, width(), std::max(0, height() - band));
    if (loaded_) {
        layOutDiagram();
        displtyHoc();
    }
}

int32_t Group::buttonWidth() const {
    // "Schedule Drawing" is longer than the designed button holds in most fonts.
    const int needed = std::max(Command1_->sizeHint().width(), Command2_->sizeHint().width());
    return std::max(diagram::kButtonWidth, diagram::pixelsToTwips(needed, logicalDpiX()) + 1);
}

int32_t Group::outerHeight() const {
    // The designed frame, not the one of this desktop's window manager: the diagram then looks the
    // same on every desktop, and the same before the window is shown as after.
    return diagram::outerHeightForLayout(std::nullopt, diagram::pixelsToTwips(height(), logicalDpiY()));
}

void Group::createLevelControls() {
    const int n = model_.levelCount();
    for (int i = 1; i <= n; ++i) {
        const QString suffix = QStringLiteral("_%1").arg(i);

        auto* box = new QCheckBox(canvas_);
        box->setObjectName(QStringLiteral("Check1") + suffix);
        copyFrame(*Check1_[0], *box);
        box->setChecked(Check1_[0]->isChecked());
        box->setToolTip(fromUtf8(diagram::levelToolTip(model_.gridY, static_cast<std::size_t>(i))));
        connect(box, &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        box->show();
        Check1_.push_back(box);

        auto* tick = new LineControl(canvas_);
        tick->setObjectName(QStringLiteral("Line1") + suffix);
        tick->setLine(Line1_[0]->line());
        tick->show();
        Line1_.push_back(tick);
        auto* leftTick = new LineControl(canvas_);
        leftTick->setObjectName(QStringLiteral("Line2") + suffix);
        leftTick->setLine(Line2_[0]->line());
        leftTick->hide();
        Line2_.push_back(leftTick);
        auto* leader = new LineControl(canvas_);
        leader->setObjectName(QStringLiteral("Leader") + suffix);
        leader->hide();
        Leader_.push_back(leader);
        auto* label = new QLabel(canvas_);
        label->setObjectName(QStringLiteral("LabHoc") + suffix);
        copyFrame(*LabHoc_[0], *label);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(LabHoc_[0]->alignment());
        LabHoc_.push_back(label);
    }
}

void Group::layOutDiagram() {
    layout_ = diagram::layOutDiagram(outerHeight(), model_.gridY);
    placeLineOnCanvas(*Line1_[0], 7440, 8000, diagram::kTickRight, 8000);
    placeOnCanvas(*Shape1_, 7200, layout_.barTop(), 255, layout_.barHeight());

    const std::size_t n = Check1_.size() - 1;
    for (std::size_t i = 1; i <= n && i <= layout_.levels.size(); ++i) {
        const diagram::LevelMark& mark = layout_.levels[i - 1];
        QCheckBox& box = *Check1_[i];
        placeOnCanvas(box, layout_.boxLeft, mark.boxTop, diagram::kLevelBoxWidth, diagram::kLevelBoxHeight);
        box.setText(fromUtf8(mark.caption));
        placeLineOnCanvas(*Line1_[i], 7440, mark.lineY, diagram::kTickRight, mark.lineY);
        LineControl& leader = *Leader_[i];
        // Once any box is spread, every box stands off the bar: each tick then needs its leader.
        leader.setVisible(layout_.anySpread());
        placeLineOnCanvas(leader, diagram::kTickRight, mark.lineY, layout_.boxLeft, mark.rowY());
    }

    // The canvas holds the whole diagram; the scroll area shows as much of it as the window has room for.
    const QSize room = scroll_->maximumViewportSize();
    const int contentHeight = canvasDown(layout_.contentHeight()) + 1;
    int roomWidth = room.width();
    if (contentHeight > room.height()) roomWidth -= scroll_->verticalScrollBar()->sizeHint().width();
    const int contentWidth = pixelsAcross(layout_.boxLeft + diagram::kLevelBoxWidth + kMargin);
    canvas_->resize(std::max(roomWidth, contentWidth), std::max(room.height(), contentHeight));
}

void Group::displtyHoc() {
    const LevelTicks& ticks = labelTicks_.empty() ? levelTicks() : labelTicks_;
    const std::vector<diagram::StoreyLabel> labels = diagram::displtyHoc(model_.gridY, layout_, ticks);
    for (std::size_t i = 2; i <= labels.size() && i < LabHoc_.size(); ++i) {
        QLabel& label = *LabHoc_[i];
        label.hide();
        const diagram::StoreyLabel& placed = labels[i - 1];
        if (!placed.visible) continue;
        label.setText(fromUtf8(placed.caption));
        placeOnCanvas(label, 6360, placed.top, 615, diagram::kStoreyLabelHeight);
        label.show();
    }
}

LevelTicks Group::levelTicks() const {
    LevelTicks ticks;
    for (std::size_t i = 1; i < Check1_.size(); ++i) ticks.push_back(Check1_[i]->isChecked());
    return ticks;
}

void Group::Check1_Click(int index) {
    QCheckBox& box = *Check1_[static_cast<std::size_t>(index)];
    box.setChecked(diagram::tickAfterClick(index, model_.levelCount(), box.isChecked()));
}

void Group::Command1_Click() {
    Command1_->setEnabled(false);  // the report is made once
    const char* step = "Writing the schedule";
    try {
        writeWorkbook(schedule_, levelTicks(), book_);
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

void Group::Command2_Click() {
    const char* step = "Detailing the schedule";
    try {
        const DetailOptions options;
        const ColumnDetailing detailed = detailColumns(schedule_, levelTicks(), options);
        step = "Drawing the schedule";
        const Drawing drawing = scheduleDrawing(detailed, model_, schedule_.lines,
                                                {utf8Name(analysisFile_.filename()), today(), options.cover});
        step = "Saving the drawing";
        const std::filesystem::path folder = desktop_.newReportFolder();
        const std::filesystem::path pdf = folder / reportFileName(analysisFile_, ".pdf");
        const std::filesystem::path dxf = folder / reportFileName(analysisFile_, ".dxf");
        // A build without cairo (so far the Windows builds) draws the DXF alone.
        const bool withPdf = drawsPdfAndSvg();
        std::vector<std::filesystem::path> files{dxf};
        if (withPdf) files.insert(files.begin(), pdf);
        for (const std::filesystem::path& file : files) {
            desktop_.saveDrawing(drawing, file);
            desktop_.announceFile(file);
        }
        if (!withPdf) {
            tell(MessageKind::Information, QStringLiteral("The schedule drawing is saved in\n%1\nas %2")
                                               .arg(fromPath(folder), fromPath(dxf.filename())));
            return;
        }
        // Where the files are, in every case: the DXF is for the engineer's CAD program, which
        // nothing opens for them.
        const QString lead = desktop_.openFile(QUrl::fromLocalFile(fromPath(pdf)))
                                 ? QStringLiteral("The schedule drawing is saved in")
                                 : QStringLiteral("No application could open the drawing. It is saved in");
        tell(MessageKind::Information,
             QStringLiteral("%1\n%2\nas %3 and %4")
                 .arg(lead, fromPath(folder), fromPath(pdf.filename()), fromPath(dxf.filename())));
    } catch (const Rejection& refusal) {
        tell(MessageKind::Error, fromUtf8(refusal.what()));
    } catch (const std::exception& failure) {
        tell(MessageKind::Error, failedStep(step, failure));
    }
}

void Group::tell(MessageKind kind, const QString& text) {
    if (!text.isEmpty()) desktop_.showMessage(kind, text, isVisible() ? this : nullptr);
}

void Group::end() {
    emit ended();
    close();
}

}  // namespace tierwise::ui
