// The widgets of the gamma curve tool, built in code: the curve area framed by a group box,
// the table and channel choices beside it and the button box below, all children of the
// dialog.
#pragma once

class GammaView;
class QCheckBox;
class QComboBox;
class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kxui {

class GammaDialogForm {
public:
    // The editing area of the curve, in the scene of the curve area.
    static constexpr int kAreaWidth = 400;
    static constexpr int kAreaHeight = 380;

    // Builds the widgets on the first call; later calls do nothing.
    void setupUi(QDialog* dialog);

    QGroupBox* curveGroupBox = nullptr;
    GammaView* curveArea = nullptr;
    QComboBox* presetComboBox = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* importButton = nullptr;
    QComboBox* channelComboBox = nullptr;
    QComboBox* curveTypeComboBox = nullptr;
    QCheckBox* previewCheckBox = nullptr;
    QLabel* imageNameLabel = nullptr;
    QDialogButtonBox* buttonBox = nullptr;
};

}  // namespace kxui
