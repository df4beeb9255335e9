// The FPGA page inside the running program: a controller firmware load ends the program through
// the main window's exit path, once the page's command has finished.
#include <gtest/gtest.h>

#include <QComboBox>

#include "../window/MainWindowFixture.h"
#include "FPGATabPage.h"

namespace {

class PageExitPath : public hvtest::MainWindowFixture {};

TEST_F(PageExitPath, AnEepromLoadFromTheFpgaPageEndsTheProgram) {
    hv::Nelvora& w = bringUp("RT4207");
    ASSERT_TRUE(w.bringUpComplete());
    hv::FPGATabPage* page = hv::FPGATabPage::instance();
    ASSERT_NE(page, nullptr);
    page->setSettleTime(std::chrono::milliseconds(5));
    page->initialise(nullptr, 1, {"RT4207-x6B6B_00"}, {handle()});
    prompts.answerPath(QString::fromStdString(m_folder.path() + "/firmware/default.iic"));
    prompts.answer(QMessageBox::Yes);
    emit page->findChild<QComboBox*>("cmdSel")->activated(6);
    EXPECT_TRUE(hv::FirmwareLoadLock::isSet());
    // The command finished first; the program ends from the event loop.
    EXPECT_FALSE(w.exitStatus().has_value());
    ASSERT_TRUE(waitFor([&] { return w.exitStatus().has_value(); }));
    EXPECT_EQ(*w.exitStatus(), 0);
}

}  // namespace
