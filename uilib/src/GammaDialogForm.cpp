#include "GammaDialogForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "GammaView.h"

namespace kxui {

namespace {

// The curve area leaves a margin around the editing area so that the end nodes show whole.
constexpr int kMargin = 10;
constexpr int kColumnX = 470;
constexpr int kColumnWidth = 220;
constexpr int kRowHeight = 30;

template <typename Widget>
Widget* placed(Widget* widget, const char* name, int y) {
    widget->setObjectName(name);
    widget->setGeometry(kColumnX, y, kColumnWidth, kRowHeight);
    return widget;
}

}  // namespace

void GammaDialogForm::setupUi(QDialog* dialog) {
    if (buttonBox != nullptr) {
        return;
    }
    dialog->setObjectName("gammaDialog");
    dialog->setWindowTitle("Gamma Curve Tool");
    dialog->resize(700, 510);

    curveGroupBox = new QGroupBox("Gamma Curve", dialog);
    curveGroupBox->setObjectName("gammaCurveGroupBox");
    curveGroupBox->setGeometry(10, 10, kAreaWidth + 4 * kMargin, kAreaHeight + 6 * kMargin);
    curveArea = new GammaView(curveGroupBox);
    curveArea->setGeometry(kMargin, 3 * kMargin, kAreaWidth + 2 * kMargin,
                           kAreaHeight + 2 * kMargin);
    curveArea->setupGammaView(0, 0, kAreaWidth, kAreaHeight);

    presetComboBox = placed(new QComboBox(dialog), "gammaPresetComboBox", 30);
    presetComboBox->addItem("Default [1.0]");
    addButton = placed(new QPushButton("Add New Gamma Table", dialog), "addGammaButton", 75);
    importButton = placed(new QPushButton("Import Gamma Table", dialog), "importGammaButton", 115);
    channelComboBox = placed(new QComboBox(dialog), "channelComboBox", 170);
    channelComboBox->addItems({"Luminance", "Red", "Green", "Blue"});
    curveTypeComboBox = placed(new QComboBox(dialog), "curveTypeComboBox", 210);
    curveTypeComboBox->addItems({"Smooth", "Freehand"});
    previewCheckBox = placed(new QCheckBox("Preview", dialog), "previewCheckBox", 250);
    imageNameLabel = placed(new QLabel(dialog), "imageNameLabel", 290);

    buttonBox = new QDialogButtonBox(dialog);
    buttonBox->setObjectName("buttonBox");
    buttonBox->setGeometry(10, 465, 680, 32);
    buttonBox->setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                  QDialogButtonBox::Help | QDialogButtonBox::Reset |
                                  QDialogButtonBox::Save);
}

}  // namespace kxui
