// tierwise: the window program. `tierwise` asks for the analysis file; `tierwise MODEL.anl`
// opens that file straight away (so a file manager's "Open with" works).
#include <QApplication>
#include <QStringList>

#include <filesystem>
#include <optional>

#include "ui/desktop.h"
#include "ui/group.h"
#include "ui/qt_path.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(tierwise::ui::kProgramTitle));

    std::optional<std::filesystem::path> analysisFile;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) analysisFile = tierwise::ui::toPath(arguments.at(1));

    tierwise::ui::Group group(tierwise::ui::systemDesktop());
    // Cancelled, or refused with a message: the program ends before the window is shown.
    if (!group.Form_Load(analysisFile)) return 0;
    group.show();
    return QApplication::exec();
}
