// The simulated boards of the AWB and board information pages' tests, with the camera library
// loaded over them while the object lives: two sound boards that make a fresh frame whenever one
// is asked for, and a third whose manufacturing EEPROM (I2C 0x54) does not answer (its writes
// fail, its reads give the bridge's filler 0xCD).
//
// The process describes its simulated boards once, when the library first looks for boards:
// both pages' tests describe the same three, so they can share one process as well as run in
// processes of their own. Register and EEPROM contents stay from one test to the next; a test
// sets what it checks. The first board's manufacturing record is never written: it holds what
// the board left the factory with.
#pragma once

#include <gtest/gtest.h>

#include <QList>
#include <QStringList>
#include <string>
#include <vector>

#include <kxCxApi.h>
#include "ScopedEnv.h"
#include "TempDir.h"

namespace hvtest {

class PageBoards {
public:
    enum Board { First = 0, Second = 1, SilentEeprom = 2 };

    static constexpr int kSensor = 0x35;
    static constexpr int kMfgEeprom = 0x54;
    static constexpr int kFrameBytes = 400 * 400 * 3;

    PageBoards()
        : m_logs("KXCX_LOG_DIR", m_folder.path().c_str()),
          m_echo("KXCX_LOG_ECHO", "0"),
          m_boards("KXCX_SIM", "RT4207*2,fps=0;RT4207,fps=0,nack=54") {
        EXPECT_EQ(loadCxLib(), 0);
        findCxDevices();
        getCxDeviceNames(m_names);
        EXPECT_EQ(m_names.size(), 3u)
            << "the simulated boards of this process were described before these tests ran "
               "(KXCX_SIM is read once per process); run them in a process of their own";
        for (const std::string& name : m_names) {
            CamContext* handle = openCxDevice(name, 400, 400, 480000, nullptr, nullptr);
            EXPECT_NE(handle, nullptr) << "cannot open " << name;
            m_handles.push_back(handle);
        }
    }
    ~PageBoards() {
        for (CamContext* handle : m_handles) {
            if (handle != nullptr) {
                closeCxDevice(handle);
            }
        }
        removeCxDevices();
        unloadCxLib();
    }
    PageBoards(const PageBoards&) = delete;
    PageBoards& operator=(const PageBoards&) = delete;

    CamContext* handle(Board board) const { return m_handles.value(board); }
    QString name(Board board) const {
        const auto index = static_cast<std::size_t>(board);
        return index < m_names.size() ? QString::fromStdString(m_names[index]) : QString();
    }
    // The names and handles of the boards given, in that order, as the setup dialog hands them.
    QStringList names(std::initializer_list<Board> boards) const {
        QStringList list;
        for (const Board board : boards) {
            list << name(board);
        }
        return list;
    }
    QList<CamContext*> handles(std::initializer_list<Board> boards) const {
        QList<CamContext*> list;
        for (const Board board : boards) {
            list << handle(board);
        }
        return list;
    }

    // A sensor register byte; -1 when the read failed.
    int sensor(Board board, int reg) const {
        int value = 0;
        return readRegister(handle(board), kSensor, reg, &value, 1) == 1 ? value & 0xFF : -1;
    }
    void setSensor(Board board, int reg, int value) const {
        EXPECT_EQ(writeRegister(handle(board), kSensor, reg, value, 1), 1) << "sensor " << reg;
    }
    // Bytes of the manufacturing EEPROM from address on; -1 for a failed read.
    std::vector<int> eeprom(Board board, int address, int count) const {
        std::vector<int> bytes;
        for (int i = 0; i < count; ++i) {
            int value = 0;
            const bool read = readRegister(handle(board), kMfgEeprom, address + i, &value, 0) == 1;
            bytes.push_back(read ? value & 0xFF : -1);
        }
        return bytes;
    }
    void setEeprom(Board board, int address, const std::vector<int>& bytes) const {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            EXPECT_EQ(writeRegister(handle(board), kMfgEeprom, address + static_cast<int>(i),
                                    bytes[i], 0),
                      1)
                << "EEPROM " << address + static_cast<int>(i);
        }
    }
    // The bytes of text, one character each.
    static std::vector<int> ascii(const char* text) {
        std::vector<int> bytes;
        for (const char* c = text; *c != '\0'; ++c) {
            bytes.push_back(static_cast<unsigned char>(*c));
        }
        return bytes;
    }

private:
    TempDir m_folder;
    ScopedEnv m_logs;
    ScopedEnv m_echo;
    ScopedEnv m_boards;
    std::vector<std::string> m_names;
    QList<CamContext*> m_handles;
};

}  // namespace hvtest
