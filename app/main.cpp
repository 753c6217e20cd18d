// Korvanta: starts the main window and runs until it is closed.
#include "app/interaction.h"
#include "app/mainwindow.h"
#include "app/twips.h"
#include "banner/bannerwidget.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvanta"));
    korvanta::ui::installFontSubstitutes();
    QApplication::setFont(korvanta::ui::songFont(9));

    korvanta::ui::DesktopInteraction desktop;
    korvanta::ui::MainWindow window(desktop);
    QObject::connect(&window, &korvanta::ui::MainWindow::exitRequested, &app, [] { QCoreApplication::exit(0); });
    window.show();
    window.banner()->startAnimation();
    return QApplication::exec();
}
