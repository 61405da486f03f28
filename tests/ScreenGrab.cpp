// Saves a picture of the whole X screen (DISPLAY), or of the rectangle X Y WIDTH HEIGHT of it,
// to the PNG file named on the command line.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fputs("Usage: StowbirdScreenGrab FILE.png [X Y WIDTH HEIGHT]\n", stderr);
        return 2;
    }
    int area[4] = {0, 0, -1, -1};
    for (int i = 0; argc == 6 && i < 4; ++i)
        area[i] = std::atoi(argv[2 + i]);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture =
        screen ? screen->grabWindow(0, area[0], area[1], area[2], area[3]) : QPixmap();
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "StowbirdScreenGrab: could not save the screen to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
