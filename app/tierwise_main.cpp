// tierwise: the window program. `tierwise` asks for the analysis file; `tierwise MODEL.anl`
// opens that file straight away (so a file manager's "Open with" works).
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "ui/desktop.h"
#include "ui/level_window.h"
#include "tierwise/version.h"
#include "ui/qt_path.h"

namespace {

void describe(QCommandLineParser& options) {
    QCoreApplication::setApplicationName(QString::fromLatin1(tierwise::ui::kProgramTitle));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tierwise::kVersion));
    options.setApplicationDescription(QStringLiteral(
        "Shows the levels of a frame's analysis output, lets you tick where the column schedule is split\n"
        "into storey ranges, and writes the schedule as an .xlsx workbook that opens in your spreadsheet."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("model.anl"),
                                  QStringLiteral("The analysis output to open; without it a file dialog asks."),
                                  QStringLiteral("[model.anl]"));
}

}  // namespace

int main(int argc, char* argv[]) {
    {
        // --help and --version answer in the terminal, with or without a display.
        const QCoreApplication terminal(argc, argv);
        QCommandLineParser options;
        describe(options);
        if (options.parse(QCoreApplication::arguments())) {
            if (options.isSet(QStringLiteral("help"))) options.showHelp(0);
            if (options.isSet(QStringLiteral("version"))) options.showVersion();
        }
    }
    QApplication app(argc, argv);
    // The menu entry (packaging/tierwise.desktop) and its icon: the desktop matches the window to the
    // entry by this name (Wayland's app id), and the icon comes from the installed icon theme.
    const QString desktopId = QStringLiteral("tierwise");
    QGuiApplication::setDesktopFileName(desktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(desktopId));
    QCommandLineParser options;
    describe(options);
    options.process(app);  // what the window system's own options leave; a wrong option ends here
    const QStringList files = options.positionalArguments();
    if (files.size() > 1) {
        std::fputs("tierwise: give one analysis file at most (see tierwise --help)\n", stderr);
        return 2;
    }

    std::optional<std::filesystem::path> analysisFile;
    if (!files.isEmpty()) analysisFile = tierwise::ui::toPath(files.first());

    tierwise::ui::LevelWindow window(tierwise::ui::systemDesktop());
    // Cancelled, or refused with a message: the program ends before the window is shown.
    switch (window.start(analysisFile)) {
        case tierwise::ui::StartUp::Cancelled:
            return 0;
        case tierwise::ui::StartUp::Refused:
            return 1;
        case tierwise::ui::StartUp::Ready:
            break;
    }
    if (const QScreen* screen = window.screen()) window.fitInto(screen->availableGeometry());
    window.show();
    const int status = QApplication::exec();
    return window.reportFailed() ? 1 : status;
}
