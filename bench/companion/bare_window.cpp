// bare_window: the baseline for the start-up benchmark. A plain Qt Widgets window with
// the companion's window kind and size, one solid colour, centred on the work area.

#include <QApplication>

#include "baseline_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    plumo::bench::makeBaselineWindow(window);
    plumo::bench::showCentred(window);
    return QApplication::exec();
}
