// The simulated boards of the FPGA page's tests, with the camera library loaded over them while
// the object lives, in a fresh working folder (the program's root) that holds the shipped
// register file, firmware and gamma tables, and where the library writes its log.
//
// The process describes its simulated boards once, when the library first looks for boards:
// every FPGA page and gamma table test describes the same ones, so the tests can share one
// process as well as run in processes of their own. Register contents stay from one test to the
// next; a test sets what it checks. The boards are reached through the library only: it holds
// the process's simulated boards. The controller board comes last: a controller firmware load
// makes it leave the bus and come back after the others, so the order of the names stays.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FPGATabPage.h"
#include "FirmwareLoadLock.h"
#include "GammaFileList.h"
#include "ScopedEnv.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "TempDir.h"
#include "kxCxApi.h"

namespace hvtest {

class FpgaBoards {
public:
    enum Board {
        Sound = 0,
        BadMemory = 1,
        Fpga123 = 2,
        Fpga200 = 3,
        UnknownFlash = 4,
        JtagTarget = 5,
        Picture = 6,
        Busy = 7,
        NotReady = 8,
        Controller = 9,
    };

    FpgaBoards()
        : m_root("VELQUIN_ROOT", m_folder.path().c_str()),
          m_logs("KXCX_LOG_DIR", m_folder.path().c_str()),
          m_boards("KXCX_SIM",
                   "RT4207;RT4207,memfault=on;RT4207,fpga=1.23;RT4207,fpga=2.00;"
                   "RT4207,flash=unknown;RT4207;RT4207,fps=0;RT4207,fpgabusy=on;"
                   "RT4207,fpganotready=on;RT4207") {
        namespace fs = std::filesystem;
        const fs::path data = HARNVIEW_SHIPPED_DATA_DIR;
        const fs::path here = m_folder.path();
        fs::copy_file(data / "reg_init.txt", here / "reg_init.txt");
        fs::copy(data / "firmware", here / "firmware", fs::copy_options::recursive);
        fs::create_directories(here / "Config");
        fs::copy(data / "gamma", here / "Config" / "Gamma", fs::copy_options::recursive);
        hv::GammaFileList::reset();
        EXPECT_EQ(loadCxLib(), 0);
        findCxDevices();
        getCxDeviceNames(m_names);
        EXPECT_EQ(m_names.size(), 10u)
            << "the simulated boards of this process were described before the FPGA page tests "
               "ran (KXCX_SIM is read once per process); run them in a process of their own";
    }
    ~FpgaBoards() {
        hv::SingleInstances::destroyAll();
        for (CamContext* handle : m_opened) {
            acquireImageStream(handle, nullptr, 0);
            closeCxDevice(handle);
        }
        removeCxDevices();
        unloadCxLib();
        hv::FirmwareLoadLock::clearForTests();
    }
    FpgaBoards(const FpgaBoards&) = delete;
    FpgaBoards& operator=(const FpgaBoards&) = delete;

    // Opens the board with the viewer's geometry; null (and a test failure) when it cannot.
    CamContext* open(Board board) {
        CamContext* handle = openCxDevice(name(board), 400, 400, 480000, nullptr, nullptr);
        EXPECT_NE(handle, nullptr) << "cannot open " << name(board);
        if (handle != nullptr) {
            m_opened.push_back(handle);
        }
        return handle;
    }
    std::string name(Board board) const {
        const auto index = static_cast<std::size_t>(board);
        return index < m_names.size() ? m_names[index] : std::string();
    }
    // A register byte of a part on an opened board (wide: 16-bit register addresses); -1 when
    // the read failed.
    static int read(CamContext* handle, int slave, int reg, bool wide = false) {
        int value = 0;
        return readRegister(handle, slave, reg, &value, wide ? 1 : 0) == 1 ? value & 0xFF : -1;
    }
    // Writes a register byte; the test fails when the write did not get through.
    static void write(CamContext* handle, int slave, int reg, int value, bool wide = false) {
        EXPECT_EQ(writeRegister(handle, slave, reg, value, wide ? 1 : 0), 1)
            << "write of register " << reg << " of part " << slave;
    }

    // The FPGA page initialised over the board (opened here unless handle is given), its waits
    // around the stream stop shortened.
    hv::FPGATabPage& page(Board board, CamContext* handle = nullptr) {
        if (handle == nullptr) {
            handle = open(board);
        }
        hv::FPGATabPage* fpga = hv::FPGATabPage::instance();
        EXPECT_NE(fpga, nullptr);
        fpga->setSettleTime(std::chrono::milliseconds(5));
        fpga->initialise(nullptr, 1, {QString::fromStdString(name(board))}, {handle});
        return *fpga;
    }
    CamContext* handle() const { return m_opened.empty() ? nullptr : m_opened.back(); }

    // A file of the working folder (the root), by its path there.
    QString path(const std::string& relative) const {
        return QString::fromStdString((std::filesystem::path(m_folder.path()) / relative).string());
    }
    void writeFile(const std::string& relative, const std::string& text) const {
        std::ofstream(std::filesystem::path(m_folder.path()) / relative) << text;
    }

    // Whether the library's log holds text, waiting for its writer up to a second.
    bool logHolds(const std::string& text) const {
        return waitFor([&] { return logText().find(text) != std::string::npos; }, 1000);
    }

    // Runs the event loop until done() holds or ms pass; whether it held.
    static bool waitFor(const std::function<bool()>& done, int ms = 3000) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    ScriptedPrompts prompts;

private:
    std::string logText() const {
        std::string text;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.path())) {
            const std::string file = entry.path().filename().string();
            if (file.rfind("kxCxLog", 0) == 0 && entry.path().extension() == ".txt") {
                std::ifstream in(entry.path());
                std::ostringstream content;
                content << in.rdbuf();
                text += content.str();
            }
        }
        return text;
    }

    TempDir m_folder;
    ScopedEnv m_root;
    ScopedEnv m_logs;
    ScopedEnv m_boards;
    std::vector<std::string> m_names;
    std::vector<CamContext*> m_opened;
};

}  // namespace hvtest
