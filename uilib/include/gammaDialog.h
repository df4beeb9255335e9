// The gamma curve tool: a dialog with the curve editor (GammaView) and an OK, Cancel, Help,
// Reset and Save button box. Save asks for a name with the text box and writes the curve as a
// gamma table file (1024 lines "input output", 10-bit output levels) into
// $VELQUIN_ROOT/Config/Gamma/, where the FPGA page's gamma table dialog can pick it.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "kxUiExport.h"

class GammaView;

namespace kxui {
class GammaDialogForm;
}

class KXUI_API gammaDialog : public QDialog {
    Q_OBJECT

public:
    explicit gammaDialog(QWidget* parent = nullptr);
    ~gammaDialog() override;

    // Builds the form on dialog (once) and wires the button box.
    void setupGammaDialog(QDialog* dialog);
    GammaView* gammaView() const;

public slots:
    void OnOK();
    void OnCancel();
    void OnHelp();
    void OnReset();
    void OnSave();

private:
    std::unique_ptr<kxui::GammaDialogForm> m_form;
};
