// Uses every class of the UI library through the shared library alone: a class that lost its
// export mark leaves this program with undefined references, so the build fails. Run by ctest,
// it also checks that each object works across the library boundary.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>

#include "AppProfile.h"
#include "CurveLine.h"
#include "CurveNode.h"
#include "GammaView.h"
#include "PresetFolders.h"
#include "ProfileSection.h"
#include "QVideoDecoder.h"
#include "QVideoEncoder.h"
#include "TextBox.h"
#include "UiPrompter.h"
#include "configDialog.h"
#include "gammaDialog.h"
#include "meteringDialog.h"
#include "preferenceDialog.h"

namespace {

int failures = 0;

void check(bool passed, const char* what) {
    if (!passed) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

// Derived classes need the exported type information and virtual tables of their bases.
class CountingEncoder : public QVideoEncoder {
public:
    int calls = 0;

protected:
    int encodeImage_p(const QImage& image, bool customPts, unsigned pts) override {
        ++calls;
        return QVideoEncoder::encodeImage_p(image, customPts, pts);
    }
};

class ClosedDecoder : public QVideoDecoder {
public:
    bool openFile(QString) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QTemporaryDir dir;
    check(dir.isValid(), "temporary folder");
    const std::string folder = dir.path().toStdString();

    CountingEncoder encoder;
    QImage frame(16, 16, QImage::Format_RGB32);
    frame.fill(Qt::gray);
    encoder.setMetadata("title", "exported");
    check(encoder.createFile(dir.filePath("clip.avi"), 16, 16, 200000, 10, 25), "createFile");
    check(encoder.encodeImage(frame) > 0 && encoder.calls == 1, "encodeImage");
    check(encoder.close(), "encoder close");

    QVideoDecoder decoder;
    check(decoder.openFile(dir.filePath("clip.avi")) && decoder.seekNextFrame(), "decode");
    QImage picture;
    check(decoder.getFrame(picture) && picture.size() == QSize(16, 16), "getFrame");
    ClosedDecoder closed;
    check(!closed.openFile(dir.filePath("clip.avi")) && closed.getVideoLengthMs() == -1,
          "derived decoder");

    configDialog dialog;
    const std::string settings = folder + "/settings.cfg";
    check(dialog.writeConfig(settings, {"MODE\tSPOT"}) == 1, "writeConfig");
    std::list<std::string> lines;
    check(dialog.readConfig(lines, settings) == 1 && lines.front() == "MODE\tSPOT\n", "readConfig");
    check(configDialog::toUpper("spot") == "SPOT", "toUpper");

    ProfileSection section(2);
    section.pushItemToSectionBack("a", "1");
    check(section.getItemValFromSectionList("a") == "1", "ProfileSection");
    const std::string profileName = folder + "/profile";
    AppProfile profile(profileName.c_str());
    check(profile.openProfile(nullptr), "openProfile");
    check(profile.insertSectionItem("[FOLDER LIST]", "/x", "X") && profile.closeProfile(),
          "closeProfile");

    TextBox box;
    box.setupTextBox("Name:");
    check(box.getTextBox().isEmpty() && qobject_cast<TextBox*>(&box) != nullptr, "TextBox");

    gammaDialog gamma;
    GammaView* view = gamma.gammaView();
    check(view != nullptr && view->curveNodes().size() == 2, "gammaDialog");
    auto* node = new CurveNode(view);
    node->setPos(view->editingArea().center());
    view->scene()->addItem(node);
    view->addCurveNode(node);
    view->curveLine()->calcCurve();
    check(view->curveNodes().size() == 3 && node->type() == 0x10003, "CurveNode");
    check(view->curveLine()->type() == 0x10004 && view->curveLine()->path().elementCount() == 4,
          "CurveLine");
    PresetFolders::setConfigFolder(folder + "/Config");
    meteringDialog metering;
    metering.setupMeteringDialog();
    meteringDialog::s_meData.mode = 2;
    check(metering.writeMeteringProference(folder + "/m.txt", meteringDialog::s_meList) == 31,
          "writeMeteringProference");
    meteringDialog::s_meData.mode = 0;
    check(metering.readMeteringPreference(meteringDialog::s_meList, folder + "/m.txt") == 31 &&
              meteringDialog::s_meData.mode == 2,
          "readMeteringPreference");
    preferenceDialog* preference = preferenceDialog::getInstance(nullptr);
    check(preference != nullptr && preferenceDialog::getInstance(nullptr) == preference,
          "preferenceDialog::getInstance");
    preference->setupPreferenceDialog();
    check(preferenceDialog::s_peData.channelOutput == PreferenceRecord::kImageData &&
              preferenceDialog::putChannelOutput(&preferenceDialog::s_peData.channelOutput) ==
                  "IMAGEDATA",
          "preferenceDialog codecs");
    delete preference;
    check(kxui::UiPrompter::install(nullptr) != nullptr, "UiPrompter");

    return failures == 0 ? 0 : 1;
}
