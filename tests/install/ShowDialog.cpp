// A Qt program built through the installed CMake package: it sets up the UI library's text box
// and prints what it holds (nothing, since no one typed).
#include <TextBox.h>
#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TextBox box;
    box.setupTextBox("Name:");
    std::printf("text box: \"%s\"\n", box.getTextBox().toUtf8().constData());
    return 0;
}
