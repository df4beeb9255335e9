#include "MeteringTable.h"

#include <cstdio>

#include "LongTextCodec.h"
#include "meteringDialog.h"

namespace kxui {

MeteringTable::MeteringTable(MeteringRecord& record) {
    using D = meteringDialog;
    m_entries = {
        {"METERING_NAME:", {&LongTextCodec::get, &LongTextCodec::put, record.name}},
        {"METERING_TYPE:", {&D::getTYPE, &D::putTYPE, &record.type}},
        {"METERING_MODE:", {&D::getMODE, &D::putMODE, &record.mode}},
        {"AUTO_ZONES:", {&D::getBOOL, &D::putBOOL, &record.autoZones}},
        {"START_X:", {&D::getBYTE, &D::putBYTE, &record.startX}},
        {"START_Y:", {&D::getBYTE, &D::putBYTE, &record.startY}},
        {"METERING_SIZE:", {&D::getSIZE, &D::putSIZE, &record.size}},
    };
    for (int box = 0; box < MeteringRecord::kZones; ++box) {
        m_weights[box] = ZoneWeightCodec::Field{record.zones, box};
        char key[24];
        std::snprintf(key, sizeof key, "WEIGHT_%02d:", box);
        m_entries.push_back({key, {&D::getWEIGHT, &D::putWEIGHT, &m_weights[box]}});
    }
    m_entries.insert(m_entries.end(),
                     {
                         {"EXPOSURE:", {&D::getDOUBLE, &D::putDOUBLE, &record.exposure}},
                         {"AEC_MODULE:", {&D::getMODULE, &D::putMODULE, &record.aecModule}},
                         {"GAIN:", {&D::getDOUBLE, &D::putDOUBLE, &record.gain}},
                         {"AGC_MODULE:", {&D::getMODULE, &D::putMODULE, &record.agcModule}},
                         {"TARGET:", {&D::getWORD, &D::putWORD, &record.target}},
                         {"AUTO_TARGET:", {&D::getBOOL, &D::putBOOL, &record.autoTarget}},
                         {"UPPER_LIMIT:", {&D::getWORD, &D::putWORD, &record.upperLimit}},
                         {"LOWER_LIMIT:", {&D::getWORD, &D::putWORD, &record.lowerLimit}},
                     });
}

}  // namespace kxui
