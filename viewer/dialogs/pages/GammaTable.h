// The choice of the four gamma table files that the FPGA page uploads: rows "TAB 0" to "TAB 3",
// each a file name field and a "..." button that picks a file. The fields start with the
// program's list (GammaFileList); Apply puts the field texts into it, Reset puts the reset names
// back. OK accepts the dialog without taking the fields: edits reach the list only through Apply.
#pragma once

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

namespace hv {

class GammaTable : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRows = 4;

    explicit GammaTable(QWidget* parent = nullptr);

public slots:
    void OnGammaTable0ButtonPressed();
    void OnGammaTable1ButtonPressed();
    void OnGammaTable2ButtonPressed();
    void OnGammaTable3ButtonPressed();
    void OnApply();
    void OnReset();

private:
    // Asks for a table file; a file chosen goes into the field of row.
    void chooseFile(int row);
    // Shows the list's names of tables 0 to 3 in the fields.
    void showList();

    std::array<QLineEdit*, kRows> m_fields{};
};

}  // namespace hv
