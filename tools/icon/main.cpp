// korvanta-icon OUTPUT.png [SIZE]: writes the program's icon for the desktop
// entry; the window draws the same picture at run time.
#include "app/icons.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvanta-icon OUTPUT.png [SIZE]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int size = argc > 2 ? std::atoi(argv[2]) : 64;
    if (size < 16 || size > 1024 || !korvanta::ui::WindowIconImage(size).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "korvanta-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
