#include "helpDialog.h"

#include <QPixmap>

#include "SingleInstances.h"
#include "ui_helpDialog.h"

namespace hv {

namespace {

const QString kLogoFile = QStringLiteral("NV Logo - Help UI.png");

// How far below the main window's top the dialog opens.
constexpr int kBelowMainWindow = 280;

}  // namespace

helpDialog::helpDialog(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::helpForm>()) {
    m_ui->setupUi(this);
    const QPixmap logo(kLogoFile);
    if (!logo.isNull()) {
        m_ui->logoLabel->setPixmap(logo);
    }
}

helpDialog::~helpDialog() = default;

helpDialog* helpDialog::instance() {
    return SingleInstances::get<helpDialog>();
}

void helpDialog::initialise(QWidget* mainWindow, const Version& software, const Version& library,
                            const Version& fpga, const Version& mcu) {
    setSoftwareVersion(software);
    setLibraryVersion(library);
    setFpgaVersion(fpga);
    setMcuVersion(mcu);
    if (mainWindow) {
        move(mainWindow->x(), mainWindow->y() + kBelowMainWindow);
    }
}

void helpDialog::setSoftwareVersion(const Version& version) {
    showLine(m_ui->softwareVersionLabel, QStringLiteral("Software Version: "), version);
}

void helpDialog::setLibraryVersion(const Version& version) {
    showLine(m_ui->libraryVersionLabel, QStringLiteral("Cx Library Version: "), version);
}

void helpDialog::setFpgaVersion(const Version& version) {
    showLine(m_ui->fpgaVersionLabel, QStringLiteral("FPGA Version: "), version);
}

void helpDialog::setMcuVersion(const Version& version) {
    showLine(m_ui->mcuVersionLabel, QStringLiteral("MCU Version: "), version);
}

void helpDialog::showLine(QLabel* line, const QString& caption, const Version& version) {
    line->setText(caption + version.value_or(QStringLiteral("NA")));
}

}  // namespace hv
