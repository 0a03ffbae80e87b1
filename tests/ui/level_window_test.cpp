// The level window on the bundled sample, headless: its level boxes and labels, the clicks on
// the boxes, "Send To Excel" and "Schedule Drawing" with the desktop replaced so that nothing
// real is launched.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "model/rejection.h"
#include "platform/drawing_files.h"
#include "support/memory_workbook.h"
#include "tierwise/version.h"
#include "ui/desktop.h"
#include "ui/level_window.h"
#include "ui/line_control.h"
#include "ui/qt_path.h"
#include "ui/window_layout.h"

using tierwise::MemoryWorkbook;
using tierwise::ui::Desktop;
using tierwise::ui::LevelWindow;
using tierwise::ui::LineControl;
using tierwise::ui::MessageKind;
using tierwise::ui::RecordedWorkbook;
using tierwise::ui::StartUp;
using Layout = tierwise::ui::WindowLayout;

namespace {

const std::filesystem::path kSample = std::filesystem::path(TIERWISE_SAMPLES_DIR) / "office-block.anl";

// The window's title for `file`: its full path, then the program and the project's version.
QString titleFor(const std::filesystem::path& file) {
    return tierwise::ui::fromPath(std::filesystem::absolute(file)) + QStringLiteral(" \u2014 Tierwise ") +
           QString::fromLatin1(tierwise::kVersion);
}

// What the window did to the desktop.
struct DesktopLog {
    std::optional<std::filesystem::path> chosenFile = kSample;
    int dialogs = 0;
    QStringList messages;
    QList<MessageKind> kinds;
    QList<QWidget*> messageWindows;  // what each message box opened over
    std::vector<std::filesystem::path> announced;
    QStringList questions;
    QStringList notices;
    bool goOn = false;                   // the answer to every question
    std::filesystem::path reportFolder;  // handed out by newReportFolder
    std::unique_ptr<MemoryWorkbook> saved;
    std::filesystem::path savedAs;
    QList<QUrl> opened;
    bool openerWorks = true;
    std::vector<std::filesystem::path> drawn;  // every drawing file, in the order written
    std::vector<tierwise::Drawing> drawings;
    std::string refusedDrawing;  // a file name ending so is refused, as a full disk would
};

// Throws as a full disk would where `file` ends as the log says a refused drawing does.
void refuseAsTold(const DesktopLog& log, const std::filesystem::path& file) {
    if (!log.refusedDrawing.empty() && file.string().ends_with(log.refusedDrawing)) {
        throw tierwise::Rejection("Cannot write " + file.string() + ": the disk is full");
    }
}

// A desktop that only records; the workbook is kept in memory unless `realSaving`.
Desktop fakeDesktop(DesktopLog& log, bool realSaving = false) {
    Desktop desktop;
    desktop.chooseAnalysisFile = [&log] {
        ++log.dialogs;
        return log.chosenFile;
    };
    desktop.showMessage = [&log](MessageKind kind, const QString& text, QWidget* window) {
        log.messages << text;
        log.kinds << kind;
        log.messageWindows << window;
    };
    desktop.showNotice = [&log](const QString& text, QWidget*) { log.notices << text; };
    desktop.announceFile = [&log](const std::filesystem::path& file) { log.announced.push_back(file); };
    desktop.askToGoOn = [&log](const QString& text, QWidget*) {
        log.questions << text;
        return log.goOn;
    };
    desktop.newReportFolder = [&log] { return log.reportFolder; };
    desktop.saveWorkbook = [&log](const RecordedWorkbook& book, const std::filesystem::path& file) {
        log.saved = std::make_unique<MemoryWorkbook>();
        book.replay(*log.saved);
        log.savedAs = file;
    };
    desktop.saveDrawing = [&log](const tierwise::Drawing& drawing, const std::filesystem::path& file) {
        refuseAsTold(log, file);
        log.drawn.push_back(file);
        log.drawings.push_back(drawing);
    };
    if (realSaving) {
        desktop.saveDrawing = [&log, save = tierwise::ui::systemDesktop().saveDrawing](
                                  const tierwise::Drawing& drawing, const std::filesystem::path& file) {
            refuseAsTold(log, file);
            save(drawing, file);
            log.drawn.push_back(file);
        };
        desktop.saveWorkbook = [&log, save = tierwise::ui::systemDesktop().saveWorkbook](
                                   const RecordedWorkbook& book, const std::filesystem::path& file) {
            save(book, file);
            log.savedAs = file;
        };
    }
    desktop.openFile = [&log](const QUrl& file) {
        log.opened << file;
        return log.openerWorks;
    };
    return desktop;
}

QString text(const tierwise::CellValue* value) {
    if (value == nullptr) return QStringLiteral("<empty>");
    return QString::fromStdString(tierwise::cellText(*value));
}

QCheckBox* levelBox(const LevelWindow& window, int index) {
    return window.findChild<QCheckBox*>(QStringLiteral("LevelBox%1").arg(index));
}

QPushButton* sendButton(const LevelWindow& window) {
    return window.findChild<QPushButton*>(QStringLiteral("SendToExcel"));
}
QPushButton* drawingButton(const LevelWindow& window) {
    return window.findChild<QPushButton*>(QStringLiteral("ScheduleDrawing"));
}

// Where a control of the window lies in the window's client area, wherever its parent is.
QRect placeIn(const QWidget& window, const QWidget& control) {
    return {control.mapTo(&window, QPoint(0, 0)), control.size()};
}

// A tick line's y in the window's client area.
int tickY(const QWidget& window, const LineControl& line) {
    return line.parentWidget()->mapTo(&window, line.line().p1()).y();
}

// A click where the style says the box takes it.
void clickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect target = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, target.center());
}

}  // namespace

class LevelWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        log_ = DesktopLog{};
        // A folder of its own per test, so that each can see what it alone wrote.
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        log_.reportFolder = tierwise::ui::toPath(folder_->path());
    }

    void windowShowsOneBoxPerLevel_data();
    void windowShowsOneBoxPerLevel();
    void barAndButtonsKeepTheirPlaces();
    void storeyLabels_data();
    void storeyLabels();
    void titleIsTheFullPath();
    void clickingBoxes_data();
    void clickingBoxes();
    void sendToExcelWritesTheChosenRanges_data();
    void sendToExcelWritesTheChosenRanges();
    void sendToExcelSavesAnXlsxFileAndOpensIt();
    void unopenedWorkbookIsNamedInAMessage();
    void cancelledDialogEndsSilently();
    void scheduleDrawingKeepsTheWindowOpen_data();
    void scheduleDrawingKeepsTheWindowOpen();
    void scheduleDrawingWritesRealFiles_data();
    void scheduleDrawingWritesRealFiles();
    void refusedFileIsExplained_data();
    void refusedFileIsExplained();
    void cutOffFileAsksFirst();
    void leftOutColumnsAreNoticed();
    void commandLineFileSkipsTheDialog();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void closeLevelsAreSpreadWithLeaders();
    void systemOpenerIsNotWaitedFor_data();
    void systemOpenerIsNotWaitedFor();
    void closingTheWindowWritesNothing();
    void reportFoldersAreNew();
    void reportFolderNamesWhereItWasTried();
    void ductileBoxChangesWhatIsWritten_data();
    void ductileBoxChangesWhatIsWritten();

private:
    std::unique_ptr<LevelWindow> loadSample(bool realSaving = false) {
        auto window = std::make_unique<LevelWindow>(fakeDesktop(log_, realSaving));
        if (window->start(std::nullopt) != StartUp::Ready) return nullptr;
        window->show();
        return window;
    }

    DesktopLog log_;
    std::unique_ptr<QTemporaryDir> folder_;
};

void LevelWindowTest::windowShowsOneBoxPerLevel_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("lineY");  // twips; the window's outer height is 8625 + 570 twips
    QTest::addColumn<QString>("tip");

    const QString locked = QStringLiteral("so this box stays ticked");
    QTest::newRow("ground") << 1 << "0" << 8276.0 << locked;
    QTest::newRow("first floor") << 2 << "4" << 6112.47 << "Level 4 m, storey height 4 m.";
    QTest::newRow("second floor") << 3 << "7.2" << 4381.65 << "Level 7.2 m, storey height 3.2 m.";
    QTest::newRow("third floor") << 4 << "10.4" << 2650.82 << "Level 10.4 m, storey height 3.2 m.";
    QTest::newRow("roof") << 5 << "13.6" << 920.0 << locked;
}

void LevelWindowTest::windowShowsOneBoxPerLevel() {
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(double, lineY);
    QFETCH(QString, tip);
    const auto window = loadSample();
    QVERIFY(window);
    QCOMPARE(window->model().levelCount(), 5);
    QVERIFY(!levelBox(*window, 6));

    QCheckBox* box = levelBox(*window, index);
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(box->isChecked());
    QCOMPARE(box->text(), caption);
    QVERIFY2(box->toolTip().contains(tip), qPrintable(box->toolTip()));
    // Pixels follow from twips independently rounded, so allow one pixel.
    const QRect placed = placeIn(*window, *box);
    QVERIFY(qAbs(placed.y() - window->pixelsDown(lineY - 150)) <= 1);
    QCOMPARE(placed.x(), window->pixelsAcross(Layout::levelBoxLeft));
    QCOMPARE(box->height(), window->pixelsDown(Layout::levelBoxHeight));

    const auto* tick = window->findChild<LineControl*>(QStringLiteral("TickLine%1").arg(index));
    QVERIFY(tick);
    QVERIFY(tick->isVisible());
    QVERIFY(qAbs(tickY(*window, *tick) - window->pixelsDown(lineY)) <= 1);
    QCOMPARE(tick->line().y2(), tick->line().y1());
    QCOMPARE(tick->line().x1(), window->pixelsAcross(Layout::tickLeft));
    QCOMPARE(tick->line().x2(), window->pixelsAcross(Layout::tickRight));
    // The box is centred on its level's tick, so no leader is drawn.
    QVERIFY(qAbs(placed.center().y() - tickY(*window, *tick)) <= 1);
    QVERIFY(window->findChild<LineControl*>(QStringLiteral("Leader%1").arg(index))->isHidden());
    // The whole diagram lies inside the client area.
    QVERIFY(window->rect().contains(placed));
}

void LevelWindowTest::barAndButtonsKeepTheirPlaces() {
    const auto window = loadSample();
    QVERIFY(window);
    QCOMPARE(window->size(),
             QSize(window->pixelsAcross(Layout::clientWidth), window->pixelsDown(Layout::clientHeight)));

    const auto* bar = window->findChild<QFrame*>(QStringLiteral("ElevationBar"));
    QVERIFY(bar);
    const QRect barPlace = placeIn(*window, *bar);
    QCOMPARE(barPlace.topLeft(), QPoint(window->pixelsAcross(Layout::barLeft), window->pixelsDown(920)));
    QCOMPARE(barPlace.width(), window->pixelsAcross(Layout::barWidth));
    QVERIFY(qAbs(barPlace.bottom() + 1 - window->pixelsDown(920 + 7356)) <= 1);

    // The buttons keep their designed top and height and at least the designed width (wider where
    // "Schedule Drawing" needs it); "Send To Excel" moved left just enough to lie wholly inside the
    // window, "Schedule Drawing" a margin to its left.
    const auto* button = sendButton(*window);
    const auto* drawing = drawingButton(*window);
    QVERIFY(button && drawing);
    QCOMPARE(button->text(), QStringLiteral("Send To Excel"));
    QVERIFY(button->width() >= window->pixelsAcross(Layout::buttonWidth));
    QCOMPARE(button->y(), window->pixelsDown(Layout::buttonTop));
    QCOMPARE(button->height(), window->pixelsDown(Layout::buttonHeight));
    QVERIFY(qAbs(button->geometry().right() + 1 - window->pixelsAcross(Layout::clientWidth - Layout::buttonMargin)) <=
            1);
    QCOMPARE(drawing->size(), button->size());
    QCOMPARE(drawing->y(), button->y());
    QVERIFY(qAbs(drawing->geometry().right() + 1 + window->pixelsAcross(Layout::buttonMargin) - button->x()) <= 1);
    QVERIFY(window->rect().contains(button->geometry()));
    const auto* caption = window->findChild<QLabel*>(QStringLiteral("Caption"));
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("Tierwise          16 NOV 2025"));
    // The lowest level has no storey below it.
    QVERIFY(window->findChild<QLabel*>(QStringLiteral("StoreyHeight1"))->isHidden());
}

void LevelWindowTest::storeyLabels_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("top");  // twips

    QTest::newRow("ground floor") << 2 << "4 M" << 7194;
    QTest::newRow("first floor") << 3 << "3.2 M" << 5247;
    QTest::newRow("second floor") << 4 << "3.2 M" << 3516;
    QTest::newRow("top floor") << 5 << "3.2 M" << 1785;
}

void LevelWindowTest::storeyLabels() {
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(int, top);
    const auto window = loadSample();
    QVERIFY(window);
    const auto* label = window->findChild<QLabel*>(QStringLiteral("StoreyHeight%1").arg(index));
    QVERIFY(label);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), caption);
    const QRect placed = placeIn(*window, *label);
    QCOMPARE(placed.topLeft(), QPoint(window->pixelsAcross(Layout::storeyLabelLeft), window->pixelsDown(top)));
    QCOMPARE(placed.width(), window->pixelsAcross(Layout::storeyLabelWidth));
    QVERIFY(qAbs(placed.height() - window->pixelsDown(Layout::storeyLabelHeight)) <= 1);
}

void LevelWindowTest::titleIsTheFullPath() {
    const auto window = loadSample();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), titleFor(kSample));
    QCOMPARE(log_.dialogs, 1);
}

void LevelWindowTest::clickingBoxes_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("afterOneClick");

    QTest::newRow("lowest stays ticked") << 1 << true;
    QTest::newRow("highest stays ticked") << 5 << true;
    QTest::newRow("second toggles") << 2 << false;
    QTest::newRow("third toggles") << 3 << false;
    QTest::newRow("below the highest toggles") << 4 << false;
}

void LevelWindowTest::clickingBoxes() {
    QFETCH(int, index);
    QFETCH(bool, afterOneClick);
    const auto window = loadSample();
    QVERIFY(window);
    QCheckBox* box = levelBox(*window, index);

    clickBox(box);
    QCOMPARE(box->isChecked(), afterOneClick);
    clickBox(box);
    QVERIFY(box->isChecked());
    // A click changes nothing else: the other boxes and the storey labels stay as they were.
    clickBox(box);
    for (int other = 1; other <= 5; ++other) {
        if (other != index) QVERIFY(levelBox(*window, other)->isChecked());
    }
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("StoreyHeight%1").arg(index == 1 ? 2 : index))->isVisible(),
             true);
}

void LevelWindowTest::sendToExcelWritesTheChosenRanges_data() {
    QTest::addColumn<QList<int>>("untick");
    QTest::addColumn<QStringList>("captions");  // worksheet 3, row 1, columns 7, 9, 11, ...

    QTest::newRow("all ticked") << QList<int>{}
                                << QStringList{"(0 to 4)", "(4 to 7.2)", "(7.2 to 10.4)", "(10.4 to 13.6)"};
    QTest::newRow("third unticked") << QList<int>{3} << QStringList{"(0 to 4)", "(4 to 10.4)", "(10.4 to 13.6)"};
    QTest::newRow("only the ends") << QList<int>{2, 3, 4} << QStringList{"(0 to 13.6)"};
    QTest::newRow("ends cannot be unticked")
        << QList<int>{1, 5, 2} << QStringList{"(0 to 7.2)", "(7.2 to 10.4)", "(10.4 to 13.6)"};
}

void LevelWindowTest::sendToExcelWritesTheChosenRanges() {
    QFETCH(QList<int>, untick);
    QFETCH(QStringList, captions);
    const auto window = loadSample();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    for (const int index : untick) clickBox(levelBox(*window, index));

    QTest::mouseClick(sendButton(*window), Qt::LeftButton);

    QVERIFY2(log_.messages.isEmpty(), qPrintable(log_.messages.join('\n')));
    QVERIFY(log_.saved);
    int column = 7;
    for (const QString& caption : captions) {
        QCOMPARE(text(log_.saved->cell(3, 1, column)), caption);
        QCOMPARE(text(log_.saved->cell(3, 1, column - 1)), QStringLiteral("<empty>"));
        column += 2;
    }
    QCOMPARE(text(log_.saved->cell(3, 1, column)), QStringLiteral("<empty>"));
    QCOMPARE(text(log_.saved->cell(1, 1, 1)), QStringLiteral(" Node "));

    QCOMPARE(log_.savedAs, log_.reportFolder / "office-block.xlsx");
    QCOMPARE(log_.opened, QList<QUrl>{QUrl::fromLocalFile(tierwise::ui::fromPath(log_.savedAs))});
    QCOMPARE(ended.count(), 1);
    QVERIFY(!window->isVisible());
}

void LevelWindowTest::sendToExcelSavesAnXlsxFileAndOpensIt() {
    const auto window = loadSample(true);
    QVERIFY(window);
    QTest::mouseClick(sendButton(*window), Qt::LeftButton);

    QVERIFY2(log_.messages.isEmpty(), qPrintable(log_.messages.join('\n')));
    QFile saved(tierwise::ui::fromPath(log_.savedAs));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.read(2), QByteArray("PK"));  // an .xlsx file is a zip archive
    // Only the workbook is left in its folder: no half-written temporary file.
    QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"office-block.xlsx"});
    QCOMPARE(log_.opened.size(), 1);
    QCOMPARE(log_.announced, std::vector<std::filesystem::path>{log_.savedAs});
}

void LevelWindowTest::unopenedWorkbookIsNamedInAMessage() {
    log_.openerWorks = false;
    const auto window = loadSample();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    QTest::mouseClick(sendButton(*window), Qt::LeftButton);

    QCOMPARE(log_.messages.size(), 1);
    QVERIFY2(log_.messages.first().contains(tierwise::ui::fromPath(log_.savedAs)), qPrintable(log_.messages.first()));
    QCOMPARE(log_.kinds, QList<MessageKind>{MessageKind::Information});
    QCOMPARE(log_.messageWindows, QList<QWidget*>{window.get()});
    QCOMPARE(log_.announced, std::vector<std::filesystem::path>{log_.savedAs});
    QCOMPARE(ended.count(), 1);
    QVERIFY(!window->reportFailed());
}

// The storey ranges the drawing's schedule sheet has rows for, by their captions "4 to 7.2".
int drawnRanges(const tierwise::Drawing& drawing) {
    static const QRegularExpression caption(QStringLiteral("^-?[0-9.]+ to -?[0-9.]+$"));
    int rows = 0;
    for (const tierwise::Text& text : drawing.sheets.front().texts)
        rows += caption.match(QString::fromStdString(text.text)).hasMatch();
    return rows;
}

void LevelWindowTest::scheduleDrawingKeepsTheWindowOpen_data() {
    QTest::addColumn<QList<int>>("untick");
    QTest::addColumn<bool>("openerWorks");
    QTest::addColumn<int>("ranges");
    QTest::addColumn<QString>("message");  // its first line

    QTest::newRow("all ticked, opened") << QList<int>{} << true << 4 << "The schedule drawing is saved in";
    QTest::newRow("third unticked, opener fails")
        << QList<int>{3} << false << 3 << "No application could open the drawing. It is saved in";
}

void LevelWindowTest::scheduleDrawingKeepsTheWindowOpen() {
    if (!tierwise::drawsPdfAndSvg()) QSKIP("this build draws the DXF alone (scheduleDrawingWritesRealFiles)");
    QFETCH(QList<int>, untick);
    QFETCH(bool, openerWorks);
    QFETCH(int, ranges);
    QFETCH(QString, message);
    log_.openerWorks = openerWorks;
    const auto window = loadSample();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    for (const int index : untick) clickBox(levelBox(*window, index));
    auto* button = drawingButton(*window);
    QCOMPARE(button->text(), QStringLiteral("Schedule Drawing"));

    QTest::mouseClick(button, Qt::LeftButton);

    const std::filesystem::path pdf = log_.reportFolder / "office-block.pdf";
    const std::filesystem::path dxf = log_.reportFolder / "office-block.dxf";
    QCOMPARE(log_.drawn, (std::vector<std::filesystem::path>{pdf, dxf}));
    QCOMPARE(drawnRanges(log_.drawings.front()), ranges);
    QCOMPARE(log_.announced, log_.drawn);
    QCOMPARE(log_.opened, QList<QUrl>{QUrl::fromLocalFile(tierwise::ui::fromPath(pdf))});
    QCOMPARE(log_.kinds, QList<MessageKind>{MessageKind::Information});
    QCOMPARE(log_.messageWindows, QList<QWidget*>{window.get()});
    QCOMPARE(log_.messages.first().section('\n', 0, 0), message);
    // The folder's whole path on a line of its own, to be copied.
    QCOMPARE(log_.messages.first().section('\n', 1, 1), tierwise::ui::fromPath(log_.reportFolder));
    // Unlike "Send To Excel", the window stays for another drawing or the workbook.
    QCOMPARE(ended.count(), 0);
    QVERIFY(window->isVisible());
    QVERIFY(button->isEnabled());
    QVERIFY(!log_.saved);
}

void LevelWindowTest::scheduleDrawingWritesRealFiles_data() {
    QTest::addColumn<QString>("refused");      // the end of the file name the disk refuses, if any
    QTest::addColumn<QStringList>("saved");    // what is left in the folder; none: the folder is gone
    QTest::addColumn<QStringList>("without");  // the same for a build without cairo, which draws the DXF alone

    QTest::newRow("both saved") << "" << QStringList{"office-block.dxf", "office-block.pdf"}
                                << QStringList{"office-block.dxf"};
    QTest::newRow("the DXF refused after the PDF") << ".dxf" << QStringList{"office-block.pdf"} << QStringList{};
    QTest::newRow("the PDF refused") << ".pdf" << QStringList{} << QStringList{"office-block.dxf"};
}

void LevelWindowTest::scheduleDrawingWritesRealFiles() {
    QFETCH(QString, refused);
    QFETCH(QStringList, saved);
    if (!tierwise::drawsPdfAndSvg()) {
        QFETCH(QStringList, without);
        saved = without;
    }
    log_.refusedDrawing = refused.toStdString();
    const auto window = loadSample(true);
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    QTest::mouseClick(drawingButton(*window), Qt::LeftButton);

    // Only the drawings are left in their folder: no half-written temporary file, and no empty folder.
    const QDir folder(folder_->path());
    QCOMPARE(folder.exists(), !saved.isEmpty());
    if (folder.exists()) QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), saved);
    QCOMPARE(log_.messages.size(), 1);
    const QString& message = log_.messages.first();
    const bool failed = saved.size() < (tierwise::drawsPdfAndSvg() ? 2 : 1);
    QCOMPARE(log_.kinds, QList<MessageKind>{failed ? MessageKind::Error : MessageKind::Information});
    // Whatever was saved is named, with its folder, even where the rest failed.
    for (const QString& file : saved) QVERIFY2(message.contains(file), qPrintable(message));
    if (!saved.isEmpty()) QVERIFY2(message.contains(folder.path()), qPrintable(message));
    if (failed) QVERIFY2(message.startsWith(QStringLiteral("Cannot write ")), qPrintable(message));
    if (saved.contains(QStringLiteral("office-block.pdf"))) {
        QFile pdf(folder.filePath(QStringLiteral("office-block.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    }
    QCOMPARE(ended.count(), 0);
    QVERIFY(drawingButton(*window)->isEnabled());
}

void LevelWindowTest::cancelledDialogEndsSilently() {
    log_.chosenFile.reset();
    LevelWindow window(fakeDesktop(log_));
    QVERIFY(window.start(std::nullopt) == StartUp::Cancelled);
    QCOMPARE(log_.dialogs, 1);
    QVERIFY(log_.messages.isEmpty());
    QVERIFY(!log_.saved);
    QVERIFY(log_.opened.isEmpty());
    QVERIFY(!window.isVisible());
}

const QString kCutAfter = QStringLiteral("(cut after)");

// A file without the end of the analysis run: the window says so and goes on only when told to.
void LevelWindowTest::cutOffFileAsksFirst() {
    QFile sample(tierwise::ui::fromPath(kSample));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray content = sample.readAll();
    content.truncate(content.indexOf("C O L U M N   N O.      12"));
    const QString cut = folder_->filePath(QStringLiteral("cut.anl"));
    QFile out(cut);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    for (const bool goOn : {false, true}) {
        log_.goOn = goOn;
        log_.questions.clear();
        LevelWindow window(fakeDesktop(log_));
        QCOMPARE(window.start(tierwise::ui::toPath(cut)), goOn ? StartUp::Ready : StartUp::Refused);
        QCOMPARE(log_.questions.size(), 1);
        QVERIFY2(log_.questions.first().contains(QStringLiteral("looks cut off")), qPrintable(log_.questions.first()));
        QVERIFY(log_.messages.isEmpty());
        if (goOn) QCOMPARE(window.model().designBlockCount(), 11);
    }
}

// Member 1 without its design block (the block names a beam instead): named once, the window ready.
void LevelWindowTest::leftOutColumnsAreNoticed() {
    QFile sample(tierwise::ui::fromPath(kSample));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QByteArray content = sample.readAll();
    content.replace("C O L U M N   N O.       1  D E S I G N", "C O L U M N   N O.     101  D E S I G N");
    const QString edited = folder_->filePath(QStringLiteral("left-out.anl"));
    QFile out(edited);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    LevelWindow window(fakeDesktop(log_));
    QCOMPARE(window.start(tierwise::ui::toPath(edited)), StartUp::Ready);
    QCOMPARE(
        log_.notices,
        QStringList{QStringLiteral("1 column without design results, left out of the schedule: member 1 (to 4 m)")});
    QVERIFY(log_.messages.isEmpty());
}

void LevelWindowTest::refusedFileIsExplained_data() {
    QTest::addColumn<QString>("from");     // text in the sample to replace, or kCutAfter
    QTest::addColumn<QString>("to");       // its replacement, or the line the file is cut after
    QTest::addColumn<QString>("message");  // expected message, or a part of it after "~"

    QTest::newRow("unit in feet") << "UNIT METER"
                                  << "UNIT FEET "
                                  << "Change the units to Meter Or mm ";
    QTest::newRow("every level the same") << ""
                                          << ""
                                          << "~level";
    QTest::newRow("cut off in the members") << kCutAfter << "24. 1 1 101"
                                            << "~cut off";
}

void LevelWindowTest::refusedFileIsExplained() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFile sample(tierwise::ui::fromPath(kSample));
    QVERIFY(sample.open(QIODevice::ReadOnly | QIODevice::Text));
    QString content = QString::fromLatin1(sample.readAll());
    if (from.isEmpty()) {
        // A frame on one level only: every Y of the joint block becomes 0.
        const qsizetype begin = content.indexOf(QStringLiteral("JOINT COORDINATES"));
        const qsizetype end = content.indexOf(QStringLiteral("MEMBER INCIDENCES"));
        QVERIFY(begin > 0 && end > begin);
        QString joints = content.mid(begin, end - begin);
        joints.replace(QRegularExpression(QStringLiteral("(\\d+ [\\d.]+ )[\\d.]+( [\\d.]+)")),
                       QStringLiteral("\\1") + QLatin1Char('0') + QStringLiteral("\\2"));
        content = content.left(begin) + joints + content.mid(end);
    } else if (from == kCutAfter) {
        const qsizetype at = content.indexOf(to);
        QVERIFY(at > 0);
        content.truncate(content.indexOf(QLatin1Char('\n'), at) + 1);
    } else {
        content.replace(from, to);
    }
    const QString changed = folder_->filePath(QStringLiteral("changed.anl"));
    QFile out(changed);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
    out.write(content.toLatin1());
    out.close();

    LevelWindow window(fakeDesktop(log_));
    QVERIFY(window.start(tierwise::ui::toPath(changed)) == StartUp::Refused);
    QCOMPARE(log_.messages.size(), 1);
    QCOMPARE(log_.kinds, QList<MessageKind>{MessageKind::Error});
    if (message.startsWith('~')) {
        QVERIFY2(log_.messages.first().contains(message.mid(1)), qPrintable(log_.messages.first()));
    } else {
        QCOMPARE(log_.messages.first(), message);
    }
    QVERIFY(!log_.saved);
    QVERIFY(!window.isVisible());
}

void LevelWindowTest::commandLineFileSkipsTheDialog() {
    const std::filesystem::path relative = std::filesystem::relative(kSample, std::filesystem::current_path());
    LevelWindow window(fakeDesktop(log_));
    QVERIFY(window.start(relative) == StartUp::Ready);
    QCOMPARE(log_.dialogs, 0);
    QCOMPARE(window.windowTitle(), titleFor(relative));
}

void LevelWindowTest::enterPressesTheFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
}

void LevelWindowTest::enterPressesTheFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const auto window = loadSample();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto* button = sendButton(*window);
    // The window opens with the focus on the button, drawn as keyboard focus.
    QCOMPARE(QApplication::focusWidget(), button);
    QStyleOptionButton option;
    option.initFrom(button);
    QVERIFY(option.state.testFlag(QStyle::State_KeyboardFocusChange));

    QTest::keyClick(button, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(log_.saved);
    QCOMPARE(ended.count(), 1);
}

// Four floors within 15 cm on a frame 4 m high: the real positions stay on the bar; the boxes
// are spread to a row each, joined to their ticks by leaders, and reachable when the window is short.
void LevelWindowTest::closeLevelsAreSpreadWithLeaders() {
    QFile sample(tierwise::ui::fromPath(kSample));
    QVERIFY(sample.open(QIODevice::ReadOnly | QIODevice::Text));
    QString content = QString::fromLatin1(sample.readAll());
    const qsizetype begin = content.indexOf(QStringLiteral("JOINT COORDINATES"));
    const qsizetype end = content.indexOf(QStringLiteral("MEMBER INCIDENCES"));
    QString joints = content.mid(begin, end - begin);
    joints.replace(QStringLiteral(" 7.2 "), QStringLiteral(" 4.05 "))
        .replace(QStringLiteral(" 10.4 "), QStringLiteral(" 4.1 "));
    joints.replace(QStringLiteral(" 13.6 "), QStringLiteral(" 4.15 "));
    const QString changed = folder_->filePath(QStringLiteral("close.anl"));
    QFile out(changed);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Text));
    out.write((content.left(begin) + joints + content.mid(end)).toLatin1());
    out.close();

    LevelWindow window(fakeDesktop(log_));
    QVERIFY(window.start(tierwise::ui::toPath(changed)) == StartUp::Ready);
    window.show();
    QCOMPARE(window.model().levelCount(), 5);
    for (const int height : {window.height(), window.pixelsDown(2400)}) {
        window.resize(window.width(), height);
        QCoreApplication::processEvents();
        const auto* button = sendButton(window);
        QVERIFY(window.rect().contains(button->geometry()));
        auto* scroll = window.findChild<QScrollArea*>();
        for (int i = 1; i <= 5; ++i) {
            const QCheckBox* box = levelBox(window, i);
            const auto* leader = window.findChild<LineControl*>(QStringLiteral("Leader%1").arg(i));
            QVERIFY(leader->isVisible());
            // The leader runs from the tick's end to the box's left edge, at the box's middle.
            const auto* tick = window.findChild<LineControl*>(QStringLiteral("TickLine%1").arg(i));
            QCOMPARE(leader->line().p1(), tick->line().p2());
            QCOMPARE(leader->line().p2().x(), box->x());
            QVERIFY(qAbs(leader->line().p2().y() - box->geometry().center().y()) <= 1);
            // Inside the scrolling canvas, below the band of the title and the button.
            QVERIFY(box->parentWidget()->rect().contains(box->geometry()));
            QVERIFY(placeIn(window, *box).top() >= button->geometry().bottom() ||
                    scroll->verticalScrollBar()->isVisible());
            if (i > 1) QVERIFY2(levelBox(window, i - 1)->y() >= box->geometry().bottom() + 1, qPrintable(box->text()));
        }
        if (height < window.pixelsDown(Layout::clientHeight)) {
            QVERIFY(scroll->verticalScrollBar()->isVisible());
            scroll->ensureWidgetVisible(levelBox(window, 1));
            QVERIFY(scroll->viewport()->rect().contains(
                levelBox(window, 1)->geometry().translated(scroll->widget()->pos())));
        }
    }
}

void LevelWindowTest::systemOpenerIsNotWaitedFor_data() {
    QTest::addColumn<bool>("installed");
    QTest::newRow("an opener that waits for its application") << true;
    QTest::newRow("no opener") << false;
}

// A desktop's opener may wait for the application it launched; the window does not wait with it.
void LevelWindowTest::systemOpenerIsNotWaitedFor() {
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
    QSKIP("xdg-open is the opener of Linux desktops only");
#endif
    QFETCH(bool, installed);
    const QDir folder(folder_->path());
    if (installed) {
        // Tells what it was given, then waits until the test lets it end.
        QFile opener(folder.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write(QStringLiteral("#!/bin/sh\ncd '%1' || exit 1\necho \"$1\" >told && mv told opened\n"
                                    "while [ ! -e released ]; do sleep 0.05; done\ntouch ended\n")
                         .arg(folder.path())
                         .toLocal8Bit());
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString file = folder.filePath(QStringLiteral("x.xlsx"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder.path()) + (installed ? QByteArray(":") + path : QByteArray()));
    const bool started = tierwise::ui::systemDesktop().openFile(QUrl::fromLocalFile(file));
    qputenv("PATH", path);
    QCOMPARE(started, installed);
    if (!installed) return;
    // Back while the opener still waits.
    QVERIFY(!folder.exists(QStringLiteral("ended")));
    QTRY_VERIFY(folder.exists(QStringLiteral("opened")));
    QFile opened(folder.filePath(QStringLiteral("opened")));
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLocal8Bit(opened.readAll()).trimmed(), file);
    QFile released(folder.filePath(QStringLiteral("released")));
    QVERIFY(released.open(QIODevice::WriteOnly));
    QTRY_VERIFY(folder.exists(QStringLiteral("ended")));
}

void LevelWindowTest::closingTheWindowWritesNothing() {
    const auto window = loadSample();
    QVERIFY(window);
    QSignalSpy ended(window.get(), &LevelWindow::ended);
    window->close();
    QVERIFY(!log_.saved);
    QVERIFY(log_.opened.isEmpty());
    QCOMPARE(ended.count(), 0);
    QVERIFY(QDir(folder_->path()).isEmpty());
}

void LevelWindowTest::reportFoldersAreNew() {
    const Desktop desktop = tierwise::ui::systemDesktop();
    const std::filesystem::path first = desktop.newReportFolder();
    const std::filesystem::path second = desktop.newReportFolder();
    QVERIFY(first != second);
    for (const auto& folder : {first, second}) {
        QVERIFY(std::filesystem::is_directory(folder));
        QVERIFY(std::filesystem::is_empty(folder));
        std::filesystem::remove(folder);
    }
    QCOMPARE(tierwise::ui::workbookFileName("/models/office-block.anl"), std::filesystem::path("office-block.xlsx"));
#ifdef Q_OS_UNIX
    // Where TMPDIR names a missing folder, in the system's temporary folder, not the current one.
    const QByteArray tmpdir = qgetenv("TMPDIR");
    const bool tmpdirSet = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(folder_->filePath(QStringLiteral("missing"))));
    const std::filesystem::path instead = desktop.newReportFolder();
    tmpdirSet ? qputenv("TMPDIR", tmpdir) : qunsetenv("TMPDIR");
    QCOMPARE(instead.parent_path(), std::filesystem::path("/tmp"));
    std::filesystem::remove(instead);
#endif
}

// Where no folder can be made, the message names every folder tried.
void LevelWindowTest::reportFolderNamesWhereItWasTried() {
    const QString missing = folder_->filePath(QStringLiteral("missing"));
    const QString alsoMissing = folder_->filePath(QStringLiteral("also missing"));
    try {
        tierwise::ui::newReportFolderIn({tierwise::ui::toPath(missing), tierwise::ui::toPath(alsoMissing)});
        QFAIL("a folder was made");
    } catch (const tierwise::Rejection& refusal) {
        const QString message = QString::fromStdString(refusal.what());
        QVERIFY2(message.contains(missing + QStringLiteral(" (")) && message.contains(alsoMissing),
                 qPrintable(message));
    }
}

QTEST_MAIN(LevelWindowTest)
void LevelWindowTest::ductileBoxChangesWhatIsWritten_data() {
    QTest::addColumn<bool>("ticked");
    QTest::newRow("off, as at start") << false;
    QTest::newRow("ticked") << true;
}

// The check box reaches both outputs: the drawing names the rules it was detailed by, and the
// workbook is the one the pipeline writes with those options.
void LevelWindowTest::ductileBoxChangesWhatIsWritten() {
    QFETCH(bool, ticked);
    const auto window = loadSample();
    QVERIFY(window);
    auto* box = window->findChild<QCheckBox*>(QStringLiteral("Ductile"));
    QVERIFY(box);
    QVERIFY(!box->isChecked());
    if (ticked) clickBox(box);
    QCOMPARE(box->isChecked(), ticked);

    QTest::mouseClick(drawingButton(*window), Qt::LeftButton);
    QVERIFY(!log_.drawings.empty());
    const std::string rules = std::string("Detailing: IS 456:2000") + (ticked ? " and IS 13920:2016" : "");
    const auto& texts = log_.drawings.front().sheets.front().texts;
    QVERIFY(std::any_of(texts.begin(), texts.end(), [&](const tierwise::Text& t) { return t.text == rules; }));

    QTest::mouseClick(sendButton(*window), Qt::LeftButton);
    QVERIFY(log_.saved);
    tierwise::DetailOptions options;
    options.ductile = ticked;
    MemoryWorkbook expected;
    tierwise::writeWorkbook(tierwise::groupColumnLines(window->model()), window->levelTicks(), expected, options);
    QCOMPARE(log_.saved->dump(), expected.dump());
}

#include "level_window_test.moc"
