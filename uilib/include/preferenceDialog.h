// The preference dialog ("Preference"): names a preset per image-processing area (AEC/AGC,
// gamma, colour, illumination, sharpness), the on/off corrections and outputs and the channel
// output, and keeps them as a preference preset file of the settings folder
// (PresetFolders::preference()). It opens the metering tool. The values being edited live in
// one process-wide record, s_peData, which s_peList describes to the settings file code.
//
// There is one preference dialog at a time (getInstance). Used on the GUI thread only.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PreferenceRecord.h"
#include "configDialog.h"
#include "kxUiExport.h"

class QComboBox;

namespace kxui {
class PreferenceForm;
}

class KXUI_API preferenceDialog : public configDialog {
    Q_OBJECT

public:
    using SettingsTable = std::vector<std::pair<std::string, configDialog::_ceType_>>;

    explicit preferenceDialog(QWidget* parent = nullptr);
    ~preferenceDialog() override;

    // The preference dialog: created with parent on the first call (or the first after the
    // dialog was destroyed, for example with its parent), the same one afterwards.
    static preferenceDialog* getInstance(QWidget* parent = nullptr);

    // Builds the form (once), fills the preset combos from their folders and shows the record.
    void setupPreferenceDialog();

    // Loads the settings of fileName into the table's fields; settings the file lacks keep their
    // values. Returns the number of settings matched.
    int readProference(const SettingsTable& table, const std::string& fileName);
    // Writes one "KEY<tab><tab><tab>VALUE" line per entry; returns the number of settings
    // written, 0 when the file could not be replaced (the old file is then unchanged).
    int writeProference(const std::string& fileName, const SettingsTable& table);

    // The channel output codec: "IMAGEDATA" 1, "PATTERN" 2, "COLORBAR_MCU" 4, "COLORBAR_X20" 8
    // (a one-byte field). Another word leaves the field unchanged; another value is written as
    // nothing.
    static void getChannelOutput(void* field, std::string value);
    static std::string putChannelOutput(void* field);

    // The preset being edited and its settings table.
    static PreferenceRecord s_peData;
    static SettingsTable s_peList;

public slots:
    void OnOK();
    void OnCancel();
    // Writes the preset to its file; a failure is shown in a warning box.
    void OnSave();
    // Runs the metering tool modally, then lists the metering presets again.
    void OnMeteringTool();
    void OnGammaTool();
    void OnColorTool();
    void OnSharpnessTool();
    void OnIlluminationTool();
    // Asks for a new preset's name; a name that is accepted, valid and new becomes the name of
    // the values shown, chosen in the combo (it is written by Save).
    void OnAddPresetPreferenceButton();
    void OnFlatFieldCorrectionSetup();
    void OnGeometricCorrectionSetup();
    // Loads preset i: the built-in values, then its file, under the item's name.
    void OnPreferenceSel(int i);
    void OnAecAgcSel(int i);
    void OnGammaSel(int i);
    void OnColorSel(int i);
    void OnIlluminationSel(int i);
    void OnSharpnessSel(int i);

private:
    void connectForm();
    void fillCombos();
    void showRecord();
    // Stores item i of combo in the record's field and selects it.
    void chooseArea(QComboBox* combo, int i, char* field);
    void information(const char* text);

    std::unique_ptr<kxui::PreferenceForm> m_form;

    static preferenceDialog* s_shPreferenceDlg;
    static bool s_yInstanceFlag;
};
