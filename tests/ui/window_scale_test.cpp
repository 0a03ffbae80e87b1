// The window on the screens engineers have: run by ctest at several scale factors and screen
// sizes (QT_SCALE_FACTOR and an offscreen screen of a given size), it checks what the engineer
// sees: "Send To Excel" and "Schedule Drawing" wholly inside the window, the window inside the screen, and every tick
// and leader actually painted.
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "ui/desktop.h"
#include "ui/level_window.h"
#include "ui/line_control.h"

using tierwise::ui::LevelWindow;
using tierwise::ui::LineControl;

namespace {

const std::filesystem::path kSamples(TIERWISE_SAMPLES_DIR);

// A desktop that shows, saves and opens nothing.
tierwise::ui::Desktop quietDesktop() {
    tierwise::ui::Desktop desktop;
    desktop.chooseAnalysisFile = [] { return std::nullopt; };
    desktop.showMessage = [](tierwise::ui::MessageKind, const QString& text, QWidget*) { QFAIL(qPrintable(text)); };
    desktop.newReportFolder = [] { return std::filesystem::path(); };
    desktop.saveWorkbook = [](const tierwise::ui::RecordedWorkbook&, const std::filesystem::path&) {};
    desktop.saveDrawing = [](const tierwise::Drawing&, const std::filesystem::path&) {};
    desktop.announceFile = [](const std::filesystem::path&) {};
    desktop.openFile = [](const QUrl&) { return true; };
    return desktop;
}

// Whether the painted window has a dark pixel on the line from `from` to `to` (window pixels),
// checked at the line's middle, where a widget edge cut off at a fractional scale would lose it.
bool drawnAt(const QImage& picture, QPointF from, QPointF to) {
    const qreal ratio = picture.devicePixelRatio();
    const QPointF middle = (from + to) / 2 * ratio;
    for (int dy = -2; dy <= 2; ++dy) {
        const QPoint at(qRound(middle.x()), qRound(middle.y()) + dy);
        if (picture.rect().contains(at) && qGray(picture.pixel(at)) < 128) return true;
    }
    return false;
}

}  // namespace

class WindowScaleTest : public QObject {
    Q_OBJECT

private slots:
    void fitsTheScreen();
    void everyLineIsPainted();

private:
    std::unique_ptr<LevelWindow> open(const char* model) {
        auto window = std::make_unique<LevelWindow>(quietDesktop());
        if (window->start(kSamples / model) != tierwise::ui::StartUp::Ready) return nullptr;
        window->fitInto(window->screen()->availableGeometry());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
        return window;
    }
};

void WindowScaleTest::fitsTheScreen() {
    const auto window = open("office-block.anl");
    QVERIFY(window);
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY2(window->width() <= screen.width() && window->height() <= screen.height(),
             qPrintable(QStringLiteral("window %1x%2 on a screen of %3x%4")
                            .arg(window->width())
                            .arg(window->height())
                            .arg(screen.width())
                            .arg(screen.height())));
    const auto* excel = window->findChild<QPushButton*>(QStringLiteral("SendToExcel"));
    const auto* drawing = window->findChild<QPushButton*>(QStringLiteral("ScheduleDrawing"));
    const auto* title = window->findChild<QWidget*>(QStringLiteral("Caption"));
    const auto* ductile = window->findChild<QCheckBox*>(QStringLiteral("Ductile"));
    QVERIFY(ductile);
    // What is wrong with the buttons' places, or nothing.
    const auto misplaced = [&]() -> QString {
        for (const QPushButton* button : {excel, drawing}) {
            // Inside, its whole caption shown, and the title beside it not covered.
            if (!window->rect().contains(button->geometry())) return button->text() + " is cut off";
            if (button->width() < button->fontMetrics().horizontalAdvance(button->text())) {
                return button->text() + " is too narrow for its caption";
            }
            if (button->geometry().intersects(title->geometry())) return button->text() + " covers the title";
        }
        if (drawing->size() != excel->size()) return QStringLiteral("the buttons differ in size");
        if (drawing->geometry().intersects(excel->geometry())) return QStringLiteral("the buttons overlap");
        // The check box beside them: inside, as wide as its caption, over neither button nor title.
        if (!window->rect().contains(ductile->geometry())) return ductile->text() + " is cut off";
        if (ductile->width() < ductile->sizeHint().width()) return ductile->text() + " is too narrow for its caption";
        for (const QWidget* other : {static_cast<const QWidget*>(drawing), title}) {
            if (ductile->geometry().intersects(other->geometry())) return ductile->text() + " covers its neighbour";
        }
        return {};
    };
    QVERIFY2(misplaced().isEmpty(), qPrintable(misplaced()));
    // At the smallest size the window can be given, the buttons stay inside as well.
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    QVERIFY2(misplaced().isEmpty(), qPrintable(misplaced()));
}

void WindowScaleTest::everyLineIsPainted() {
    const auto window = open("office-block.anl");
    QVERIFY(window);
    const QImage picture = window->grab().toImage();
    int lines = 0;
    for (const LineControl* line : window->findChildren<LineControl*>()) {
        if (!line->isVisible()) continue;
        const QPoint offset = line->parentWidget()->mapTo(window.get(), QPoint(0, 0));
        QVERIFY2(drawnAt(picture, line->line().p1() + offset, line->line().p2() + offset),
                 qPrintable(line->objectName() + QStringLiteral(" is not painted")));
        ++lines;
    }
    QCOMPARE(lines, window->model().levelCount());
}

QTEST_MAIN(WindowScaleTest)
#include "window_scale_test.moc"
