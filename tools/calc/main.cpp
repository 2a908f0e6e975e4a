#include "CCalculatorWindow.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("calc");
    QApplication::setStyle(QStyleFactory::create("Fusion"));

    CCalculatorWindow window;
    window.show();
    return QApplication::exec();
}
