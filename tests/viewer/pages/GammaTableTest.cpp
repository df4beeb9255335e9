// The gamma table files: the GammaTable dialog over the program's list, and the FPGA page's
// upload and read-back of the tables on a simulated board.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <vector>

#include "FpgaBoards.h"
#include "GammaFileList.h"
#include "GammaTable.h"
#include "ModalDriver.h"
#include "picture/TestPatterns.h"

using hv::GammaFileList;
using hvtest::FpgaBoards;

namespace {

class GammaTableDialog : public testing::Test {
protected:
    static QLineEdit& field(hv::GammaTable& dialog, int row) {
        auto* found = dialog.findChild<QLineEdit*>(QString("gammaTable%1Edit").arg(row));
        EXPECT_NE(found, nullptr) << row;
        return *found;
    }
    static QPushButton& button(hv::GammaTable& dialog, QDialogButtonBox::StandardButton which) {
        auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox");
        EXPECT_NE(box, nullptr);
        return *box->button(which);
    }
    static QString reset(int file) {
        return GammaFileList::folder() + QString("/Lookup1024_%1.txt").arg(file);
    }

    FpgaBoards boards;
};

TEST_F(GammaTableDialog, ShowsTheListsFirstFourFilesInRowsTab0ToTab3) {
    hv::GammaTable dialog;
    EXPECT_EQ(dialog.windowTitle(), "Gamma Table");
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(field(dialog, row).text(), reset(row));
        auto* label = dialog.findChild<QLabel*>(QString("gammaTable%1Label").arg(row));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString("TAB %1").arg(row));
    }
    EXPECT_EQ(GammaFileList::folder(), boards.path("Config/Gamma"));
}

TEST_F(GammaTableDialog, EditsReachTheListOnlyThroughApply) {
    hv::GammaTable dialog;
    field(dialog, 2).setText("/tables/two.txt");
    button(dialog, QDialogButtonBox::Ok).click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(GammaFileList::name(2), reset(2));

    hv::GammaTable second;
    EXPECT_EQ(field(second, 2).text(), reset(2));
    field(second, 2).setText("/tables/two.txt");
    button(second, QDialogButtonBox::Apply).click();
    EXPECT_EQ(GammaFileList::name(2), "/tables/two.txt");
    // A later dialog starts from the list.
    hv::GammaTable third;
    EXPECT_EQ(field(third, 2).text(), "/tables/two.txt");
}

TEST_F(GammaTableDialog, TheDotsButtonPutsTheChosenFileIntoItsField) {
    hv::GammaTable dialog;
    boards.prompts.answerPath("/tables/one.txt");
    dialog.findChild<QPushButton*>("gammaTable1Button")->click();
    EXPECT_EQ(field(dialog, 1).text(), "/tables/one.txt");
    const hvtest::PromptRecord& record = boards.prompts.records().back();
    EXPECT_EQ(record.text, "Open Gamma Table");
    EXPECT_EQ(record.folder, boards.path("Config/Gamma"));
    EXPECT_EQ(record.filter, "Gamma Table FIles(*.txt)");
    // A cancelled choice leaves the field.
    boards.prompts.answerPath(QString());
    dialog.findChild<QPushButton*>("gammaTable1Button")->click();
    EXPECT_EQ(field(dialog, 1).text(), "/tables/one.txt");
}

TEST_F(GammaTableDialog, ResetPutsEveryResetNameBack) {
    for (int slot = 0; slot < GammaFileList::kSlots; ++slot) {
        GammaFileList::setName(slot, "/elsewhere.txt");
    }
    hv::GammaTable dialog;
    button(dialog, QDialogButtonBox::Reset).click();
    const std::vector<int> files = {0, 1, 2, 3, 0, 0, 0, 7, 8, 9};
    for (int slot = 0; slot < GammaFileList::kSlots; ++slot) {
        EXPECT_EQ(GammaFileList::name(slot), reset(files[static_cast<std::size_t>(slot)])) << slot;
    }
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(field(dialog, row).text(), reset(row));
    }
}

// The FPGA page's gamma commands.
class GammaCommands : public GammaTableDialog {
protected:
    static constexpr int kUpload = 10;
    static constexpr int kDownload = 11;

    static void run(hv::FPGATabPage& page, int command) {
        emit page.findChild<QComboBox*>("cmdSel")->activated(command);
    }
    // The next GammaTable dialog: its fields set (an empty text keeps a field), then OK.
    static void acceptDialogWith(const QStringList& files = {}) {
        hvtest::whenModal<hv::GammaTable>([files](hv::GammaTable& dialog) {
            for (int row = 0; row < files.size(); ++row) {
                if (!files[row].isEmpty()) {
                    field(dialog, row).setText(files[row]);
                }
            }
            button(dialog, QDialogButtonBox::Apply).click();
            button(dialog, QDialogButtonBox::Ok).click();
        });
    }
};

TEST_F(GammaCommands, UploadSendsTheFourChosenTablesIntoSlotsZeroToThree) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    acceptDialogWith();
    run(page, kUpload);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"Number of 4 Gamma Table are uploaded..."}));
    EXPECT_EQ(boards.prompts.messageTitles(), QStringList({"FPGA Tool"}));
    for (int slot = 0; slot < 4; ++slot) {
        std::vector<uint8_t> table(4096);
        ASSERT_EQ(downloadGammaTableTo(boards.handle(), slot, table.data(), 4096), 4096);
        EXPECT_TRUE(std::any_of(table.begin(), table.end(), [](uint8_t b) { return b != 0; }))
            << slot;
    }
}

TEST_F(GammaCommands, ATableThatCannotBeReadIsReportedAndTheOthersGoOn) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    acceptDialogWith({QString(), boards.path("missing.txt")});
    run(page, kUpload);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"Fail to upload gamma table #1, default valuse are used... "
                           "==> ERRORCODE(0)...",
                           "Number of 3 Gamma Table are uploaded..."}));
}

TEST_F(GammaCommands, ACancelledDialogUploadsNothing) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    hvtest::whenModal<hv::GammaTable>([](hv::GammaTable& dialog) { dialog.reject(); });
    run(page, kUpload);
    EXPECT_TRUE(boards.prompts.records().empty());
}

TEST_F(GammaCommands, DownloadReadsTheSevenSlotsBackAndReportsABusyFpga) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Sound);
    run(page, kDownload);
    EXPECT_EQ(boards.prompts.messageTexts(),
              QStringList({"Number of 7 Gamma Table are downloaded..."}));

    // A board whose FPGA reads busy.
    hv::FPGATabPage& busy = boards.page(FpgaBoards::Busy);
    run(busy, kDownload);
    const QStringList texts = boards.prompts.messageTexts();
    ASSERT_EQ(texts.size(), 9);
    EXPECT_EQ(texts[1],
              "Fail to download gamma table #0, default valuse are used... "
              "==> ERRORCODE(-62)...");
    EXPECT_EQ(texts[7],
              "Fail to download gamma table #6, default valuse are used... "
              "==> ERRORCODE(-62)...");
    EXPECT_EQ(texts[8], "Number of 0 Gamma Table are downloaded...");
    // The pixel clock runs again.
    EXPECT_EQ(FpgaBoards::read(boards.handle(), 0x35, 0x3003, true) & 0x20, 0x20);
}

TEST_F(GammaCommands, AnUploadedTableChangesThePicture) {
    hv::FPGATabPage& page = boards.page(FpgaBoards::Picture);
    // A table that turns every level upside down.
    std::string text;
    for (int k = 0; k < 1024; ++k) {
        text += std::to_string(k / 1023.0) + " " + std::to_string(1023 - k) + "\n";
    }
    boards.writeFile("inverse.txt", text);
    acceptDialogWith({boards.path("inverse.txt")});
    run(page, kUpload);
    ASSERT_EQ(boards.prompts.messageTexts().back(), "Number of 4 Gamma Table are uploaded...");

    // The FPGA's bars with the stage off, then through table 0.
    QComboBox* enable = page.findChild<QComboBox*>("enableSel");
    QComboBox* disable = page.findChild<QComboBox*>("disableSel");
    emit disable->activated(7);
    emit enable->activated(5);
    std::vector<uint8_t> bars(480000);
    boardsim::TestPatterns::fpgaColourBars(bars.data(), 400, 400);
    std::vector<uint8_t> frame(480256);
    const auto grab = [&] {
        EXPECT_GE(acquireOneFrame(boards.handle(), frame.data()), 480000);
        EXPECT_GE(acquireOneFrame(boards.handle(), frame.data()), 480000);
    };
    grab();
    EXPECT_EQ(std::memcmp(frame.data(), bars.data(), bars.size()), 0);
    emit page.findChild<QComboBox*>("gammaTableSel")->activated(0);
    grab();
    for (std::size_t i = 0; i < bars.size(); i += 997) {
        EXPECT_EQ(frame[i], 255 - bars[i]) << i;
    }
    emit disable->activated(5);
}

}  // namespace
