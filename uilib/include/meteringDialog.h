// The metering tool ("Metering Tools"): edits an exposure-metering preset (metering type, mode
// and window, zone weights, exposure and gain, target intensity and stable range) and keeps it
// as a file of the metering folder (PresetFolders::metering()). The values being edited live in
// one process-wide record, s_meData, which s_meList describes to the settings file code.
//
// Used on the GUI thread only.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MeteringRecord.h"
#include "configDialog.h"
#include "kxUiExport.h"

namespace kxui {
class MeteringForm;
}

class KXUI_API meteringDialog : public configDialog {
    Q_OBJECT

public:
    using SettingsTable = std::vector<std::pair<std::string, configDialog::_ceType_>>;

    explicit meteringDialog(QWidget* parent = nullptr);
    ~meteringDialog() override;

    // Builds the form (once), fills the preset combo ("Default" and the presets of the metering
    // folder) and shows the record.
    void setupMeteringDialog();

    // Loads the settings of fileName into the table's fields; returns the number of settings
    // matched (0 for a file that cannot be read).
    int readMeteringPreference(const SettingsTable& table, const std::string& fileName);
    // Writes one "KEY<tab>VALUE" line per entry; returns the number of settings written, 0 when
    // the file could not be replaced (the old file is then unchanged).
    int writeMeteringProference(const std::string& fileName, const SettingsTable& table);
    static void meteringCopy(MeteringRecord& destination, const MeteringRecord& source);

    // Value codecs of the metering settings: the words of the type, mode, window size and
    // module vocabularies (a word that matches none leaves the index unchanged, an index without
    // a word is written as nothing), and the weight boxes (ZoneWeightCodec).
    static void getTYPE(void* field, std::string value);
    static std::string putTYPE(void* field);
    static void getMODE(void* field, std::string value);
    static std::string putMODE(void* field);
    static void getSIZE(void* field, std::string value);
    static std::string putSIZE(void* field);
    static void getMODULE(void* field, std::string value);
    static std::string putMODULE(void* field);
    static void getWEIGHT(void* field, std::string value);
    static std::string putWEIGHT(void* field);

    // The preset being edited and its settings table.
    static MeteringRecord s_meData;
    static SettingsTable s_meList;

public slots:
    void OnOK();
    void OnCancel();
    void OnHelp();
    // Loads the chosen preset again, dropping what was changed since.
    void OnReset();
    // Writes the preset to its file; a failure is shown in a warning box.
    void OnSave();
    // Asks for a new preset's name; a name that is accepted, valid and new becomes a preset with
    // the built-in values, chosen in the combo (it is written by Save).
    void OnAddMeteringPreference();
    // Takes a preset file chosen anywhere into the metering folder under its own name.
    void OnImportMeteringPreference();
    // Loads preset i: "Default" (i = 0) is the built-in preset, any other its file, read over
    // the built-in values.
    void OnMeteringPreferenceSel(int i);
    void OnMeteringTypeSel(int i);
    void OnMeteringModeSel(int i);
    void OnMeteringSizeSel(int i);
    void OnSetStartX(int value);
    void OnSetStartY(int value);
    void OnAutoZones(int state);
    void OnAutoTarget(int state);
    void OnSetExposure(QString text);
    void OnSetGain(QString text);
    void OnSetTarget(int value);
    void OnSetUpperLimit(int value);
    void OnSetLowerLimit(int value);
    void OnAecModuleSel(int i);
    void OnAgcModuleSel(int i);
    void OnSetWeightBox00(int value);
    void OnSetWeightBox01(int value);
    void OnSetWeightBox02(int value);
    void OnSetWeightBox03(int value);
    void OnSetWeightBox04(int value);
    void OnSetWeightBox05(int value);
    void OnSetWeightBox06(int value);
    void OnSetWeightBox07(int value);
    void OnSetWeightBox08(int value);
    void OnSetWeightBox09(int value);
    void OnSetWeightBox10(int value);
    void OnSetWeightBox11(int value);
    void OnSetWeightBox12(int value);
    void OnSetWeightBox13(int value);
    void OnSetWeightBox14(int value);
    void OnSetWeightBox15(int value);

private:
    void connectForm();
    // Shows the record's values without storing them back.
    void showRecord();
    void setWeight(int box, int value);
    // Loads the preset of the combo's item i into the record.
    void loadPreset(int i);
    // Adds name to the combo and chooses it without loading it.
    void choosePreset(const QString& name);
    // Whether name may name a new preset; shows why not.
    bool newPresetName(const QString& name);

    std::unique_ptr<kxui::MeteringForm> m_form;
};
