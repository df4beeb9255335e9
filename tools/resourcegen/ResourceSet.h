// Every picture of the viewer as a file: the folder it belongs in, its name and its bytes. The
// same build gives the same bytes.
//
// Resource folder, compiled into the viewer under ":/Resource/" (resources/Harnview.qrc):
//   400x400colorbar.png                 ColourBars, 400 x 400
//   colour-bars-smpte-75-640x640.gif    SmpteBars, 640 x 640 (GifEncoder)
//   NV Logo - Main UI.png               Logo, 260 x 90
//   About-Button2.png, recordbutton.png, Record-Normal-icon.png, HANDLE-UP.png, HANDLE-DOWN.png,
//   Review_Images-Button.png, Photo-Button.png                      ButtonIcon, 64 x 64
//   ico113_24x24.png, ico1025_24x24.png                             ToolIcon, 24 x 24
//   spot245.jpg                         ReferencePlaceholder, 245 x 245 (JPEG, quality 90)
// and, for the desktop entry rather than the program, harnview.png (Logo, 256 x 256).
//
// Working folder, loaded by the viewer from its working directory:
//   Nelvoralogo.png                     Logo, 260 x 90
//   NV Logo - Help UI.png               Logo, 390 x 135
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace resourcegen {

class ResourceSet {
public:
    enum class Folder { Resources, Working };

    struct File {
        Folder folder;
        QString name;
        QByteArray bytes;
    };

    static constexpr int kJpegQuality = 90;
    static constexpr int kDotsPerMeter = 3780;  // 96 dots per inch

    // Throws std::runtime_error when Qt has no writer for a format (PNG is built in; JPEG comes
    // from Qt's jpeg image plugin).
    static std::vector<File> files();

    // The picture in Qt's image format `format` ("png", "jpeg"), at kDotsPerMeter.
    static QByteArray encoded(const QImage& image, const char* format, int quality = -1);
};

}  // namespace resourcegen
