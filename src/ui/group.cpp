#include "ui/group.h"

#include <QFile>
#include <QFont>

#include <exception>
#include <system_error>
#include <utility>

#include "grid/grid.h"
#include "model/rejection.h"
#include "platform/anl_file.h"
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

}  // namespace

Group::Group(Desktop desktop, QWidget* parent) : QWidget(parent), desktop_(std::move(desktop)) {
    setObjectName(QStringLiteral("Group"));
    // The window's own font is the labels' default.
    setFont(designFont("MS Sans Serif", 8));
    // Designed client area; the diagram is laid out once, so later resizing moves nothing.
    resize(pixelsAcross(diagram::kClientWidth), pixelsDown(diagram::kClientHeight));
    createDesignedControls();
}

int Group::pixelsAcross(double twips) const { return diagram::twipsToPixels(twips, logicalDpiX()); }

int Group::pixelsDown(double twips) const { return diagram::twipsToPixels(twips, logicalDpiY()); }

void Group::placeTwips(QWidget& control, double left, double top, double width, double height) const {
    control.setGeometry(pixelsAcross(left), pixelsDown(top), pixelsAcross(width), pixelsDown(height));
}

void Group::placeLineTwips(LineControl& line, double x1, double y1, double x2, double y2) const {
    line.setLine(QLine(pixelsAcross(x1), pixelsDown(y1), pixelsAcross(x2), pixelsDown(y2)));
}

void Group::createDesignedControls() {
    Command1_ = new QPushButton(QStringLiteral("Send To Excel"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setFont(designFont("Arial", 12));
    placeTwips(*Command1_, 14400, 240, 1815, 495);
    connect(Command1_, &QPushButton::clicked, this, &Group::Command1_Click);

    Label2_ = new QLabel(QStringLiteral("Tierwise          16 NOV 2025"), this);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setTextFormat(Qt::PlainText);  // keeps the ten blanks before the date
    Label2_->setFont(designFont("MS Sans Serif", 12));
    Label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(*Label2_, 8880, 240, 4095, 375);

    Shape1_ = new QFrame(this);
    Shape1_->setObjectName(QStringLiteral("Shape1"));
    Shape1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1_->setLineWidth(1);
    placeTwips(*Shape1_, 7200, 4680, 255, 4455);

    // Templates of the level families, element 0, hidden.
    auto* check = new QCheckBox(this);
    check->setObjectName(QStringLiteral("Check1_0"));
    check->setFont(designFont("Arial Narrow", 12, QFont::Condensed));
    check->setChecked(true);
    placeTwips(*check, 7920, 9000, 975, 300);
    check->hide();
    Check1_.push_back(check);

    auto* tick = new LineControl(this);
    tick->setObjectName(QStringLiteral("Line1_0"));
    placeLineTwips(*tick, 7440, 9000, 7800, 9000);
    tick->hide();
    Line1_.push_back(tick);

    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("LabHoc_0"));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font());
    placeTwips(*label, 6360, 8880, 615, 255);
    label->hide();
    LabHoc_.push_back(label);

    auto* leftTick = new LineControl(this);
    leftTick->setObjectName(QStringLiteral("Line2_0"));
    placeLineTwips(*leftTick, 7200, 8760, 6840, 8760);
    leftTick->hide();
    Line2_.push_back(leftTick);
}

bool Group::Form_Load(const std::optional<std::filesystem::path>& analysisFile) {
    // 1. The workbook with its three worksheets; it stays in memory until "Send To Excel".
    book_ = RecordedWorkbook{};

    // 2. readAnl: the file from the command line, or the one chosen in the dialog.
    std::optional<std::filesystem::path> chosen = analysisFile;
    if (!chosen) chosen = desktop_.chooseAnalysisFile();
    if (!chosen || chosen->empty()) return false;  // cancelled: end without a word
    std::error_code error;
    analysisFile_ = std::filesystem::absolute(*chosen, error);
    if (error) analysisFile_ = *chosen;
    setWindowTitle(fromPath(analysisFile_));

    const char* step = "Reading the analysis file";
    try {
        model_ = readAnlFile(analysisFile_);
        // 3. makeCube, and the column lines. A model the schedule cannot be made from is refused
        // now, before the engineer ticks levels.
        step = "Finding the grid of the frame";
        schedule_ = prepareSchedule(model_);
        step = "Checking the frame";
        checkTicks(schedule_, LevelTicks{});
        // 4. The diagram, then 5. the storey height labels.
        step = "Laying out the levels";
        layOutDiagram();
        displtyHoc();
    } catch (const Rejection& refusal) {
        tell(fromUtf8(refusal.what()));
        return false;
    } catch (const std::exception& failure) {
        tell(failedStep(step, failure));
        return false;
    }
    return true;
}

int32_t Group::outerHeight() const {
    std::optional<int32_t> frame;
    // Before the window is shown the window system knows no frame; frameGeometry is then the client.
    if (isVisible() && frameGeometry().height() > height()) {
        frame = diagram::pixelsToTwips(frameGeometry().height(), logicalDpiY());
    }
    return diagram::outerHeightForLayout(frame, diagram::kClientHeight);
}

void Group::layOutDiagram() {
    const diagram::DiagramLayout layout = diagram::layOutDiagram(outerHeight(), model_.gridY);
    diagBottom_ = layout.diagBottom;
    diagScale_ = layout.diagScale;
    placeLineTwips(*Line1_[0], 7440, 8000, 7800, 8000);
    placeTwips(*Shape1_, 7200, layout.barTop(), 255, layout.barHeight());

    const int n = model_.levelCount();
    for (int i = 1; i <= n; ++i) {
        const diagram::LevelMark& mark = layout.levels[static_cast<std::size_t>(i - 1)];
        const QString suffix = QStringLiteral("_%1").arg(i);

        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check1") + suffix);
        copyFrame(*Check1_[0], *box);
        box->setChecked(Check1_[0]->isChecked());
        placeTwips(*box, 7920, mark.boxTop, 975, 300);
        box->setText(fromUtf8(mark.caption));
        connect(box, &QCheckBox::clicked, this, [this, i] { Check1_Click(i); });
        box->show();
        Check1_.push_back(box);

        auto* tick = new LineControl(this);
        tick->setObjectName(QStringLiteral("Line1") + suffix);
        tick->setLine(Line1_[0]->line());
        tick->hide();
        Line1_.push_back(tick);
        auto* leftTick = new LineControl(this);
        leftTick->setObjectName(QStringLiteral("Line2") + suffix);
        leftTick->setLine(Line2_[0]->line());
        leftTick->hide();
        Line2_.push_back(leftTick);
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("LabHoc") + suffix);
        copyFrame(*LabHoc_[0], *label);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(LabHoc_[0]->alignment());
        LabHoc_.push_back(label);

        placeLineTwips(*tick, 7440, mark.lineY, 7800, mark.lineY);
        tick->show();
    }
}

void Group::displtyHoc() {
    const std::vector<diagram::StoreyLabel> labels =
        diagram::displtyHoc(model_.gridY, diagBottom_, diagScale_, levelTicks());
    for (std::size_t i = 2; i <= labels.size(); ++i) {
        QLabel& label = *LabHoc_[i];
        label.hide();
        const diagram::StoreyLabel& placed = labels[i - 1];
        if (!placed.visible) continue;
        label.setText(fromUtf8(placed.caption));
        placeTwips(label, 6360, placed.top, 615, 255);
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
        writeSchedule(schedule_, levelTicks(), book_);
        step = "Saving the workbook";
        const std::filesystem::path file = desktop_.newReportFolder() / workbookFileName(analysisFile_);
        desktop_.saveWorkbook(book_, file);
        if (!desktop_.openFile(QUrl::fromLocalFile(fromPath(file)))) {
            // The workbook is saved but nothing shows it: tell where it is, so the work is not lost.
            tell(QStringLiteral("No application could open the schedule. It is saved as\n%1").arg(fromPath(file)));
        }
    } catch (const Rejection& refusal) {
        tell(fromUtf8(refusal.what()));
    } catch (const std::exception& failure) {
        tell(failedStep(step, failure));
    }
    end();
}

void Group::tell(const QString& text) const {
    if (!text.isEmpty()) desktop_.showMessage(text);
}

void Group::end() {
    emit ended();
    close();
}

}  // namespace tierwise::ui
