#include "setupDialog.h"

#include <QTabWidget>

#include "AWBTabPage.h"
#include "AecAgcTabPage.h"
#include "BoardInfoTabPage.h"
#include "FPGATabPage.h"
#include "I2CTabPage.h"
#include "PromptService.h"
#include "SingleInstances.h"
#include "TabPage.h"
#include "ledTabPage.h"
#include "ui_setupDialog.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("Setup Dialog");

// The LED setting the dialog starts the LED page with: the PCA9633 controller, LED 2 in mode
// "PWM 1" at 190 Hz with a duty cycle of 0 %.
constexpr int kLedController = 0;
constexpr int kLed = 2;
constexpr int kLedModePwm1 = 2;
constexpr double kLedFrequencyHz = 190.0;
constexpr int kLedDuty = 0;

// How far below the main window's top the dialog opens.
constexpr int kBelowMainWindow = 280;

}  // namespace

setupDialog::Pages setupDialog::Pages::standard() {
    return Pages{
        {
            {QStringLiteral("tabI2C"), QStringLiteral("I2C"),
             QStringLiteral("WARNING::Fail to get I2C Tab Page!!!"),
             []() -> TabPage* { return I2CTabPage::instance(); }},
            {QStringLiteral("tabAecAgc"), QStringLiteral("AEC+AGC"),
             QStringLiteral("WARNING::Fail to get AEC+AGC Tab Page!!!"),
             []() -> TabPage* { return AecAgcTabPage::instance(); }},
            {QStringLiteral("tabFPGA"), QStringLiteral("FPGA/MCU"),
             QStringLiteral("WARNING::Fail to get FPGA Tab Page!!!"),
             []() -> TabPage* { return FPGATabPage::instance(); }},
            {QStringLiteral("tabAWB"), QStringLiteral("AWB"),
             QStringLiteral("WARNING::Fail to get AWB Tab Page!!!"),
             []() -> TabPage* { return AWBTabPage::instance(); }},
            {QStringLiteral("tabLED"), QStringLiteral("LED"),
             QStringLiteral("WARNING::Fail to get LED Tab Page!!!"),
             []() -> TabPage* { return ledTabPage::instance(); }},
            {QStringLiteral("tabBoadInfo"), QStringLiteral("Board info."), QString(),
             []() -> TabPage* { return BoardInfoTabPage::instance(); }},
        },
        [](int deviceIndex, int controller, int led, int mode, double frequency, int duty) {
            ledTabPage* page = ledTabPage::instance();
            if (page && page->available()) {
                page->refresh(deviceIndex, controller, led, mode, frequency, duty);
            }
        },
    };
}

setupDialog::setupDialog(QWidget* parent) : setupDialog(Pages::standard(), parent) {}

setupDialog::setupDialog(Pages pages, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::setupForm>()), m_pages(std::move(pages)) {
    m_ui->setupUi(this);
    for (const Page& page : m_pages.tabs) {
        auto* tab = new QWidget;
        tab->setObjectName(page.tabName);
        m_ui->tabWidget->addTab(tab, page.text);
    }
    m_hosted.resize(m_pages.tabs.size());
}

setupDialog::~setupDialog() {
    for (const QPointer<TabPage>& page : m_hosted) {
        if (page && isAncestorOf(page)) {
            page->setParent(nullptr);
        }
    }
}

setupDialog* setupDialog::instance() {
    return SingleInstances::get<setupDialog>();
}

void setupDialog::initialise(QWidget* mainWindow, int deviceCount, const QStringList& deviceNames,
                             const QList<CamContext*>& deviceHandles) {
    for (std::size_t i = 0; i < m_pages.tabs.size(); ++i) {
        m_hosted[i] = m_pages.tabs[i].instance ? m_pages.tabs[i].instance() : nullptr;
    }
    for (std::size_t i = 0; i < m_pages.tabs.size(); ++i) {
        if (m_hosted[i]) {
            m_hosted[i]->initialise(m_ui->tabWidget->widget(static_cast<int>(i)), deviceCount,
                                    deviceNames, deviceHandles);
        } else if (!m_pages.tabs[i].missingWarning.isEmpty()) {
            PromptService::warning(this, kTitle, m_pages.tabs[i].missingWarning);
        }
    }
    m_ui->tabWidget->setCurrentIndex(0);
    if (m_pages.refreshLed) {
        m_pages.refreshLed(deviceCount > 0 ? 0 : -1, kLedController, kLed, kLedModePwm1,
                           kLedFrequencyHz, kLedDuty);
    }
    if (mainWindow) {
        move(mainWindow->x(), mainWindow->y() + kBelowMainWindow);
    }
}

}  // namespace hv
