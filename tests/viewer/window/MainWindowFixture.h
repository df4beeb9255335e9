// A main window brought up in a fresh working folder that holds the shipped register file,
// firmware and gamma tables, over the simulated boards a test describes, with scripted prompts.
//
// The simulated boards are described once per process (KXCX_SIM is read when the library first
// looks for boards), and ctest runs every case in a process of its own.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <kxCamContextHead.h>
#include "EventWait.h"
#include "FirmwareLoadLock.h"
#include "FrameCallback.h"
#include "Nelvora.h"
#include "ScopedEnv.h"
#include "ScriptedPrompts.h"
#include "ShippedData.h"
#include "SingleInstances.h"
#include "TempDir.h"

namespace hvtest {

class MainWindowFixture : public testing::Test {
protected:
    static constexpr int kFrameBytes = 400 * 400 * 3;

    MainWindowFixture()
        : m_root("VELQUIN_ROOT", m_folder.path().c_str()),
          m_logs("KXCX_LOG_DIR", m_folder.path().c_str()) {
        const std::filesystem::path here = m_folder.path();
        copyShippedData(here);
        // The recent lists are kept in the test's folder, not in the user's settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString((here / "settings").string()));
    }
    ~MainWindowFixture() override {
        window.reset();
        hv::SingleInstances::destroyAll();
        hv::FirmwareLoadLock::clearForTests();
    }

    // Describes the boards and brings the window up over them. The one-second clock is held: it
    // would reset the frame counter at any moment of a slow run; tests tick it themselves.
    hv::Nelvora& bringUp(const char* boards) {
        m_boards.emplace("KXCX_SIM", boards);
        window = std::make_unique<hv::Nelvora>();
        window->findChild<QTimer*>(QStringLiteral("secondClock"))->stop();
        return *window;
    }

    // The window on a sound board, its own stream stopped: tests deliver the frames themselves,
    // as the library's streaming thread would.
    hv::Nelvora& quietWindow() {
        hv::Nelvora& w = bringUp("RT4207");
        EXPECT_TRUE(w.streaming());
        w.OnStopCallbackSignalA(0);
        // No handle button changed: the stop left the caller's value (0, every button down).
        cxContextHead(handle())->statusWord = 0xFF;
        QCoreApplication::processEvents();
        return w;
    }
    CamContext* handle() const { return window->openDevices().value(0); }
    // Runs the frame callback with frame and lets the window place it.
    void deliver(const std::vector<uint8_t>& frame) {
        hv::FrameCallback::onFrame(frame.data(), static_cast<int>(frame.size()), handle());
        QCoreApplication::processEvents();
    }
    QPushButton* button(const char* name) const {
        return window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString label(const char* name) const {
        return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    // Runs the event loop until done() holds or ms pass; whether it held.
    static bool waitFor(const std::function<bool()>& done, int ms = 3000) {
        return waitForEvents(done, ms);
    }

    // The whole content of a file of the working folder.
    std::string read(const std::string& name) const { return m_folder.read(name); }

    TempDir m_folder;
    ScopedEnv m_root;
    ScopedEnv m_logs;
    std::optional<ScopedEnv> m_boards;
    ScriptedPrompts prompts;
    std::unique_ptr<hv::Nelvora> window;
};

}  // namespace hvtest
