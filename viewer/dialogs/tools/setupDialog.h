// The setup dialog: one tab per hardware page (I2C, AEC+AGC, FPGA/MCU, AWB, LED, board
// information). The tabs and their pages come from one table; the pages are the program's single
// instances, hosted in the tabs but not owned by the dialog.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include <kxCamContextHead.h>

namespace Ui {
class setupForm;
}

namespace hv {

class TabPage;

class setupDialog : public QDialog {
    Q_OBJECT

public:
    // One tab and the page it hosts.
    struct Page {
        QString tabName;  // the tab's object name
        QString text;     // the tab's text
        // Shown when the page is missing; empty: a missing page is not reported.
        QString missingWarning;
        // The page; null when it is missing.
        std::function<TabPage*()> instance;
    };
    // The LED settings refresh: device index (-1 without devices), controller, LED, mode, PWM
    // frequency in Hz and duty cycle in percent.
    using LedRefresh = std::function<void(int deviceIndex, int controller, int led, int mode,
                                          double frequency, int duty)>;
    struct Pages {
        std::vector<Page> tabs;  // in tab order
        // Refreshes the LED page when that page exists and a controller answered its probe.
        LedRefresh refreshLed;

        // The program's six pages.
        static Pages standard();
    };

    explicit setupDialog(QWidget* parent = nullptr);
    explicit setupDialog(Pages pages, QWidget* parent = nullptr);
    // The pages are taken out of their tabs first: they outlive the dialog.
    ~setupDialog() override;

    // The single setup dialog (created on the first call); null when its creation failed.
    static setupDialog* instance();

    // Initialises every page inside its tab with the devices (a missing page is reported with a
    // warning), selects the first tab, refreshes the LED page and places the dialog 280 pixels
    // below mainWindow's position.
    void initialise(QWidget* mainWindow, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles);

private:
    std::unique_ptr<Ui::setupForm> m_ui;
    Pages m_pages;
    // The page hosted in each tab, in tab order; null while missing.
    std::vector<QPointer<TabPage>> m_hosted;
};

}  // namespace hv
