// Harnview's entry point.
#include <QApplication>

#include "SingleInstances.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int result = application.exec();
    hv::SingleInstances::destroyAll();
    return result;
}
