// The simulated boards of the FPGA page's tests (SimBoardSet), in a fresh working folder (the
// program's root) that holds the shipped register file, firmware and gamma tables, and where the
// library writes its log.
//
// The process describes its simulated boards once, when the library first looks for boards:
// every FPGA page and gamma table test describes the same ones, so the tests can share one
// process as well as run in processes of their own. Register contents stay from one test to the
// next; a test sets what it checks. The boards are reached through the library only: it holds
// the process's simulated boards. The controller board comes last: a controller firmware load
// makes it leave the bus and come back after the others, so the order of the names stays.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "EventWait.h"
#include "FPGATabPage.h"
#include "FirmwareLoadLock.h"
#include "GammaFileList.h"
#include "ScopedEnv.h"
#include "ScriptedPrompts.h"
#include "ShippedData.h"
#include "SimBoardSet.h"
#include "SingleInstances.h"
#include "TempDir.h"

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
          m_set(
              "RT4207;RT4207,memfault=on;RT4207,fpga=1.23;RT4207,fpga=2.00;"
              "RT4207,flash=unknown;RT4207;RT4207,fps=0;RT4207,fpgabusy=on;"
              "RT4207,fpganotready=on;RT4207",
              10, "FPGA page tests") {
        copyShippedData(m_folder.path());
        hv::GammaFileList::reset();
    }
    ~FpgaBoards() {
        hv::SingleInstances::destroyAll();
        for (CamContext* handle : m_set.opened()) {
            acquireImageStream(handle, nullptr, 0);
        }
        hv::FirmwareLoadLock::clearForTests();
    }
    FpgaBoards(const FpgaBoards&) = delete;
    FpgaBoards& operator=(const FpgaBoards&) = delete;

    CamContext* open(Board board) { return m_set.open(board); }
    std::string name(Board board) const { return m_set.name(board); }
    static int read(CamContext* handle, int slave, int reg, bool wide = false) {
        return SimBoardSet::read(handle, slave, reg, wide);
    }
    static void write(CamContext* handle, int slave, int reg, int value, bool wide = false) {
        SimBoardSet::write(handle, slave, reg, value, wide);
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
    // The board opened last.
    CamContext* handle() const { return m_set.opened().empty() ? nullptr : m_set.opened().back(); }

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

    static bool waitFor(const std::function<bool()>& done, int ms = 3000) {
        return waitForEvents(done, ms);
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
    SimBoardSet m_set;
};

}  // namespace hvtest
