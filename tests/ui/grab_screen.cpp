// grab_screen X Y WIDTH HEIGHT FILE.png: saves that part of the X screen as a PNG.
// scripts/screenshot.sh uses it to picture the running tierwise window under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 6) {
        QTextStream(stderr) << "usage: grab_screen X Y WIDTH HEIGHT FILE.png\n";
        return 2;
    }
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0, arguments[1].toInt(), arguments[2].toInt(),
                                                                         arguments[3].toInt(), arguments[4].toInt());
    if (picture.isNull() || !picture.save(arguments[5], "PNG")) {
        QTextStream(stderr) << "grab_screen: cannot save " << arguments[5] << "\n";
        return 1;
    }
    return 0;
}
