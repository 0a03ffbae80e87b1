// What the level window asks of the desktop: the file dialog, the message box, a folder for the
// workbook or the drawing, saving them, and opening them in the user's applications. The program passes
// systemDesktop(); tests pass stand-ins so that nothing real is shown or launched.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "drawing/drawing.h"
#include "ui/recorded_workbook.h"

namespace tierwise::ui {

// Caption of every message box.
inline constexpr char kProgramTitle[] = "Tierwise";
// Filter and title of the file dialog.
inline constexpr char kAnalysisFileFilter[] = "Staad Files (*.ANL *.anl);;All Files (*)";
inline constexpr char kAnalysisFileDialogTitle[] = "Open analysis output (.anl)";

// What a message tells: that something was refused or failed, or where the result is.
enum class MessageKind { Error, Information };

struct Desktop {
    // The file dialog: the chosen analysis file, nothing when the engineer cancels.
    std::function<std::optional<std::filesystem::path>()> chooseAnalysisFile;
    // A message box with one OK button and the icon of `kind`, over `window` where there is one;
    // returns when it is closed. Its text can be selected and copied.
    std::function<void(MessageKind kind, const QString& text, QWidget* window)> showMessage;
    // A warning over `window` that does not wait to be closed: the window stays usable under it.
    std::function<void(const QString& text, QWidget* window)> showNotice;
    // A message box with Yes and No, No the default, over `window` where there is one; true when
    // the engineer answers Yes.
    std::function<bool(const QString& text, QWidget* window)> askToGoOn;
    // A folder made for this workbook or drawing alone, so that saving it overwrites nothing.
    // Throws Rejection naming the folders tried when none can be made.
    std::function<std::filesystem::path()> newReportFolder;
    // Writes the workbook as an .xlsx file; throws Rejection when it cannot.
    std::function<void(const RecordedWorkbook& book, const std::filesystem::path& file)> saveWorkbook;
    // Writes the drawing in the format of the file's extension, complete or not at all; throws
    // Rejection naming the file when it cannot.
    std::function<void(const Drawing& drawing, const std::filesystem::path& file)> saveDrawing;
    // Tells a terminal where a workbook or drawing was saved, whatever becomes of opening it.
    std::function<void(const std::filesystem::path& file)> announceFile;
    // Has the desktop open a file in the user's default application, without waiting for it; false
    // when the desktop's opener could not be started.
    std::function<bool(const QUrl& file)> openFile;
};

// The real dialogs, the user's temporary folder, the .xlsx and drawing writers, standard output and the
// desktop's opener (xdg-open on Linux and the BSDs, QDesktopServices elsewhere).
Desktop systemDesktop();

// A new, empty folder "tierwise-XXXXXX" in the first of `parents` where one can be made; kept when
// the program ends. Throws Rejection naming every folder tried, and why, when there is none.
std::filesystem::path newReportFolderIn(const std::vector<std::filesystem::path>& parents);

// A report's file name: the analysis file's name with `extension` (".xlsx", ".pdf", ".dxf").
std::filesystem::path reportFileName(const std::filesystem::path& analysisFile, const char* extension);
inline std::filesystem::path workbookFileName(const std::filesystem::path& analysisFile) {
    return reportFileName(analysisFile, ".xlsx");
}

}  // namespace tierwise::ui
