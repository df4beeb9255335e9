// The board information page of the setup dialog: the manufacturing record of the chosen board
// (MfgField), read from its EEPROM and written back. Each field is checked while it is typed and
// put back to its last good text when it breaks its rule; return in a field writes that field,
// "Update Mfg Info" writes all five after checking them all (or none), "Retrieve Mfg Info" reads
// them and puts fields that do not read back valid to their defaults.
//
// An update is read back afterwards: only a record that reads back as written is reported
// saved, otherwise the fields that differ are named.
#pragma once

#include <QString>
#include <array>
#include <memory>

#include "MfgField.h"
#include "RegisterTabPage.h"

class QLineEdit;

namespace Ui {
class BoardInfoTabPage;
}

namespace hv {

class BoardInfoTabPage : public RegisterTabPage {
    Q_OBJECT

public:
    explicit BoardInfoTabPage(QWidget* parent = nullptr);
    ~BoardInfoTabPage() override;

    // The single board information page (created on the first call); null when its creation
    // failed.
    static BoardInfoTabPage* instance();

    // The page's initialisation; without devices the fields are read only.
    void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles) override;

public slots:
    // Text typed in a field: kept when it fits the field's rule, else warned of and put back.
    void OnBoardId(const QString& text);
    void OnBoardRev(const QString& text);
    void OnBoardSerNo(const QString& text);
    void OnBoardMfgLoc(const QString& text);
    void OnBoardMfgDate(const QString& text);
    // Return in a field: a whole field is written to the board.
    void OnBoardIdEntered();
    void OnBoardRevEntered();
    void OnBoardSerNoEntered();
    void OnBoardMfgLocEntered();
    void OnBoardMfgDateEntered();
    // "Update Mfg Info": every field whole, then all written and read back; else none written.
    void OnSetBoardInfoButton();
    // "Retrieve Mfg Info": the record read from the board, invalid fields set to defaults.
    void OnGetBoardInfoButton();

protected:
    void buildForm() override;
    QComboBox* deviceCombo() const override;
    // Records the device and retrieves its record.
    void readDevice(int index, CamContext* handle) override;

private:
    void checkTyped(MfgField::Id id, const QString& text);
    // Whether the field can be written: whole, and a device chosen. Otherwise says why and counts
    // an error.
    bool canWrite(MfgField::Id id);
    void writeField(MfgField::Id id);
    void enterField(MfgField::Id id);
    // Reads the record back after an update and tells whether it holds what was written.
    void confirmUpdate();
    // Shows the kept text of a field without checking it again.
    void showField(MfgField::Id id);
    QLineEdit* edit(MfgField::Id id) const;

    std::unique_ptr<Ui::BoardInfoTabPage> m_ui;
    int m_errorCount = 0;
    // The field widgets and the last good text of each field, by MfgField::Id.
    std::array<QLineEdit*, MfgField::kCount> m_edits{};
    std::array<QString, MfgField::kCount> m_texts;
};

}  // namespace hv
