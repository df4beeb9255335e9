// The about dialog ("About Nelvora Orlo"): the logo and four version lines (software, camera
// library, FPGA, MCU). A version not given reads "NA". The tools dialog keeps the single
// instance; the main window owns one of its own.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

class QLabel;

namespace Ui {
class helpForm;
}

namespace hv {

class helpDialog : public QDialog {
    Q_OBJECT

public:
    // A version text, or none when it is not known. An empty text is a value: its line shows
    // the caption alone.
    using Version = std::optional<QString>;

    // Loads the logo from "NV Logo - Help UI.png" in the working folder; without that file the
    // logo stays empty.
    explicit helpDialog(QWidget* parent = nullptr);
    ~helpDialog() override;

    // The single about dialog (created on the first call); null when its creation failed.
    static helpDialog* instance();

    // Sets the four lines and places the dialog 280 pixels below mainWindow's position.
    void initialise(QWidget* mainWindow, const Version& software, const Version& library,
                    const Version& fpga, const Version& mcu);

    void setSoftwareVersion(const Version& version);
    void setLibraryVersion(const Version& version);
    void setFpgaVersion(const Version& version);
    void setMcuVersion(const Version& version);

private:
    static void showLine(QLabel* line, const QString& caption, const Version& version);

    std::unique_ptr<Ui::helpForm> m_ui;
};

}  // namespace hv
