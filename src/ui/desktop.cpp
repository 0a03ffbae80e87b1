#include "ui/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>

#include "model/rejection.h"
#include "platform/native_file.h"
#include "platform/xlsx_workbook.h"
#include "ui/qt_path.h"

namespace tierwise::ui {
namespace {

std::optional<std::filesystem::path> chooseAnalysisFile() {
    const QString name = QFileDialog::getOpenFileName(nullptr, QString(), QString(),
                                                      QString::fromLatin1(kAnalysisFileFilter));
    if (name.isEmpty()) return std::nullopt;
    return toPath(name);
}

void showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok);
    box.exec();
}

// A fresh folder in the user's temporary folder; it is kept after the program ends, because the
// spreadsheet application reads the workbook from there.
std::filesystem::path newReportFolder() {
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("tierwise-XXXXXX")));
    if (!folder.isValid()) {
        throw Rejection("No folder for the workbook can be made in " + utf8Name(toPath(QDir::tempPath())) + ": " +
                        folder.errorString().toStdString());
    }
    folder.setAutoRemove(false);
    return toPath(folder.path());
}

void saveWorkbook(const RecordedWorkbook& book, const std::filesystem::path& file) {
    XlsxWorkbook saved(file);
    book.replay(saved);
    saved.commit();
}

}  // namespace

Desktop systemDesktop() {
    return Desktop{
        .chooseAnalysisFile = chooseAnalysisFile,
        .showMessage = showMessage,
        .newReportFolder = newReportFolder,
        .saveWorkbook = saveWorkbook,
        .openFile = [](const QUrl& file) { return QDesktopServices::openUrl(file); },
    };
}

std::filesystem::path workbookFileName(const std::filesystem::path& analysisFile) {
    std::filesystem::path name = analysisFile.stem();
    if (name.empty()) name = "schedule";
    return name += ".xlsx";
}

}  // namespace tierwise::ui
