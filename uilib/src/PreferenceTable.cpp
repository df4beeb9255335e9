#include "PreferenceTable.h"

#include "LongTextCodec.h"
#include "preferenceDialog.h"

namespace kxui {

PreferenceTable::PreferenceTable(PreferenceRecord& record) {
    using D = preferenceDialog;
    const auto text = [](char* field) {
        return configDialog::_ceType_{&LongTextCodec::get, &LongTextCodec::put, field};
    };
    const auto truth = [](uint8_t* field) {
        return configDialog::_ceType_{&D::getBOOL, &D::putBOOL, field};
    };
    m_entries = {
        {"PREFERENCE_NAME:", text(record.name)},
        {"AGC_SETTINGS:", text(record.agcSettings)},
        {"GAMMATABLE_SETTINGS:", text(record.gammaSettings)},
        {"COLOR_SETTINGS:", text(record.colorSettings)},
        {"ILLUMINATION_SETTINGS:", text(record.illuminationSettings)},
        {"SHARPNESS_SETTINGS:", text(record.sharpnessSettings)},
        {"FLATFIELD_CORRECTION:", truth(&record.flatFieldCorrection)},
        {"GEOMETRIC_CORRECTION:", truth(&record.geometricCorrection)},
        {"MOTION_COMPENSATION:", truth(&record.motionCompensation)},
        {"MEIDAN_FILTER:", truth(&record.medianFilter)},
        {"HDMI_OUTPUT:", truth(&record.hdmiOutput)},
        {"CHANNEL_OUTPUT:", {&D::getChannelOutput, &D::putChannelOutput, &record.channelOutput}},
    };
}

}  // namespace kxui
