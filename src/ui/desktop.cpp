#include "ui/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

#include "model/rejection.h"
#include "platform/drawing_files.h"
#include "platform/native_file.h"
#include "platform/xlsx_workbook.h"
#include "ui/qt_path.h"

namespace tierwise::ui {
namespace {

std::optional<std::filesystem::path> chooseAnalysisFile() {
    const QString name = QFileDialog::getOpenFileName(nullptr, QString::fromLatin1(kAnalysisFileDialogTitle), QString(),
                                                      QString::fromLatin1(kAnalysisFileFilter));
    if (name.isEmpty()) return std::nullopt;
    return toPath(name);
}

void showMessage(MessageKind kind, const QString& text, QWidget* window) {
    const auto icon = kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information;
    QMessageBox box(icon, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok, window);
    // A path in the text must be copyable: the engineer may need it to find the workbook.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void showNotice(const QString& text, QWidget* window) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setModal(false);
    box->show();
}

void announceFile(const std::filesystem::path& file) {
    std::fputs((utf8Name(file) + '\n').c_str(), stdout);
    std::fflush(stdout);
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// xdg-open, started on its own: a desktop's xdg-open can wait for the application it launched, and
// the window must not wait with it, nor end it when the program ends. It writes to the program's
// own standard output and error.
bool openFile(const QUrl& file) {
    return QProcess::startDetached(QStringLiteral("xdg-open"),
                                   {file.isLocalFile() ? file.toLocalFile() : file.toString()});
}
#else
bool openFile(const QUrl& file) { return QDesktopServices::openUrl(file); }
#endif

bool askToGoOn(const QString& text, QWidget* window) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), text, QMessageBox::Yes | QMessageBox::No,
                    window);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// A fresh folder in the user's temporary folder, or in the system's own where TMPDIR names a
// folder that is missing or not writable; it is kept after the program ends, because the
// spreadsheet application reads the workbook from there.
std::filesystem::path newReportFolder() {
    std::vector<std::filesystem::path> parents;
    QString user = QDir::tempPath();
#ifdef Q_OS_UNIX
    // QDir::tempPath gives nothing for a TMPDIR that does not exist: try it all the same, so that
    // a message names it.
    if (user.isEmpty()) user = qEnvironmentVariable("TMPDIR");
    const QString system = QStringLiteral("/tmp");
    if (!user.isEmpty() && user != system) parents.push_back(toPath(user));
    parents.push_back(toPath(system));
#else
    parents.push_back(toPath(user));
#endif
    return newReportFolderIn(parents);
}

void saveWorkbook(const RecordedWorkbook& book, const std::filesystem::path& file) {
    XlsxWorkbook saved(file);
    book.replay(saved);
    saved.commit();
}

}  // namespace

std::filesystem::path newReportFolderIn(const std::vector<std::filesystem::path>& parents) {
    std::string tried;
    for (const std::filesystem::path& parent : parents) {
        if (parent.empty()) continue;  // it would be the current folder
        QTemporaryDir folder(QDir(fromPath(parent)).filePath(QStringLiteral("tierwise-XXXXXX")));
        if (folder.isValid()) {
            folder.setAutoRemove(false);
            return toPath(folder.path());
        }
        if (!tried.empty()) tried += ", nor in ";
        tried += utf8Name(parent) + " (" + folder.errorString().toStdString() + ")";
    }
    if (tried.empty()) tried = "any temporary folder: none is known";
    throw Rejection("No folder for the report can be made in " + tried + ".");
}

Desktop systemDesktop() {
    return Desktop{
        .chooseAnalysisFile = chooseAnalysisFile,
        .showMessage = showMessage,
        .showNotice = showNotice,
        .askToGoOn = askToGoOn,
        .newReportFolder = newReportFolder,
        .saveWorkbook = saveWorkbook,
        .saveDrawing = writeDrawingFile,
        .announceFile = announceFile,
        .openFile = openFile,
    };
}

std::filesystem::path reportFileName(const std::filesystem::path& analysisFile, const char* extension) {
    std::filesystem::path name = analysisFile.stem();
    if (name.empty()) name = "schedule";
    return name += extension;
}

}  // namespace tierwise::ui
