// resourcegen RESOURCE-FOLDER WORKING-FOLDER: draws the viewer's pictures (ResourceSet), the
// compiled-in ones and the desktop icon into RESOURCE-FOLDER and the logos the viewer loads from
// its working directory into WORKING-FOLDER, making the folders as needed.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <exception>
#include <iostream>

#include "ResourceSet.h"

int main(int argc, char** argv) {
    // The application object gives Qt its plugin paths, where the JPEG writer lives.
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::cerr << "usage: resourcegen RESOURCE-FOLDER WORKING-FOLDER\n";
        return 2;
    }
    const QDir resources(arguments[1]);
    const QDir working(arguments[2]);
    try {
        for (const resourcegen::ResourceSet::File& file : resourcegen::ResourceSet::files()) {
            const QDir& folder =
                file.folder == resourcegen::ResourceSet::Folder::Resources ? resources : working;
            const QString path = folder.filePath(file.name);
            QFile out(path);
            if (!folder.mkpath(".") || !out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                out.write(file.bytes) != file.bytes.size() || !out.flush()) {
                std::cerr << "resourcegen: cannot write " << path.toStdString() << "\n";
                return 1;
            }
            std::cout << path.toStdString() << " (" << file.bytes.size() << " bytes)\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "resourcegen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
