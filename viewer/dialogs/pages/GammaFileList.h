// The program's gamma table files: ten names, the first four of them the files of tables 0 to 3
// that the FPGA page uploads. One list for the whole run, shared by every GammaTable dialog; it
// starts with the reset names, the shipped tables in the installation's "Config/Gamma" folder.
//
// Used on the GUI thread only.
#pragma once

#include <QString>
#include <array>

namespace hv {

class GammaFileList {
public:
    static constexpr int kSlots = 10;
    // Slots 0 to 3 hold the files of tables 0 to 3.
    static constexpr int kUploadSlots = 4;

    GammaFileList() = delete;

    // The name in slot (empty outside 0..kSlots - 1).
    static QString name(int slot);
    // Puts name into slot; nothing outside 0..kSlots - 1.
    static void setName(int slot, const QString& name);
    // Every slot back to its reset name.
    static void reset();
    // The reset name of slot: "Lookup1024_0.txt" to "Lookup1024_3.txt" for slots 0 to 3, slot 0's
    // name again for slots 4 to 6, "Lookup1024_7.txt" to "Lookup1024_9.txt" for slots 7 to 9, all
    // in the gamma folder; empty outside the list.
    static QString resetName(int slot);
    // The folder the tables are chosen from ("Config/Gamma" of the installation).
    static QString folder();

private:
    static std::array<QString, kSlots>& table();
};

}  // namespace hv
