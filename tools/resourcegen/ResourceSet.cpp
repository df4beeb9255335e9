#include "ResourceSet.h"

#include <QBuffer>
#include <QImageWriter>
#include <stdexcept>

#include "ButtonIcon.h"
#include "ColourBars.h"
#include "GifEncoder.h"
#include "Logo.h"
#include "ReferencePlaceholder.h"
#include "SmpteBars.h"
#include "ToolIcon.h"

namespace resourcegen {

QByteArray ResourceSet::encoded(const QImage& picture, const char* format, int quality) {
    // A fixed resolution: a new QImage takes the screen's when there is one.
    QImage image = picture;
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        throw std::runtime_error("cannot write a " + std::string(format) +
                                 " picture: " + writer.errorString().toStdString());
    }
    return bytes;
}

std::vector<ResourceSet::File> ResourceSet::files() {
    const auto png = [](const QImage& image) { return encoded(image, "png"); };
    const QByteArray smpte = GifEncoder::encode(SmpteBars::draw());
    if (smpte.isEmpty()) {
        throw std::runtime_error("the SMPTE bars have more colours than a GIF holds");
    }
    const QByteArray logo = png(Logo::draw());
    return {
        {Folder::Resources, "400x400colorbar.png", png(ColourBars::draw())},
        {Folder::Resources, "colour-bars-smpte-75-640x640.gif", smpte},
        {Folder::Resources, "NV Logo - Main UI.png", logo},
        {Folder::Resources, "About-Button2.png", png(ButtonIcon::about())},
        {Folder::Resources, "recordbutton.png", png(ButtonIcon::record())},
        {Folder::Resources, "Record-Normal-icon.png", png(ButtonIcon::stop())},
        {Folder::Resources, "HANDLE-UP.png", png(ButtonIcon::handleUp())},
        {Folder::Resources, "HANDLE-DOWN.png", png(ButtonIcon::handleDown())},
        {Folder::Resources, "Review_Images-Button.png", png(ButtonIcon::review())},
        {Folder::Resources, "ico113_24x24.png", png(ToolIcon::chooseImage())},
        {Folder::Resources, "ico1025_24x24.png", png(ToolIcon::chooseFolder())},
        {Folder::Resources, "Photo-Button.png", png(ButtonIcon::photo())},
        {Folder::Resources, "spot245.jpg",
         encoded(ReferencePlaceholder::draw(), "jpeg", kJpegQuality)},
        {Folder::Resources, "harnview.png", png(Logo::applicationIcon())},
        {Folder::Working, "Nelvoralogo.png", logo},
        {Folder::Working, "NV Logo - Help UI.png", png(Logo::draw(1.5))},
    };
}

}  // namespace resourcegen
