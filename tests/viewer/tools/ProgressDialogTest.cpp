#include <gtest/gtest.h>

#include "ProgressDialog.h"
#include "ScriptedPrompts.h"

namespace {

class ProgressDialogTest : public testing::Test {
protected:
    void TearDown() override { hv::ProgressDialog::close(); }

    hvtest::ScriptedPrompts prompts;
};

TEST_F(ProgressDialogTest, OpensThroughThePromptServiceAndRecordsEveryValue) {
    QWidget parent;
    hv::ProgressDialog::open("Loading FPGA Configuration...", "Cancel", 220, &parent);
    ASSERT_NE(hv::ProgressDialog::view(), nullptr);
    bool cancelled = true;
    hv::ProgressDialog::update(0, &cancelled);
    hv::ProgressDialog::update(120, nullptr);
    hv::ProgressDialog::update(220, &cancelled);
    hv::ProgressDialog::close();

    EXPECT_EQ(hv::ProgressDialog::view(), nullptr);
    EXPECT_FALSE(cancelled);
    ASSERT_EQ(prompts.records().size(), 1u);
    const hvtest::PromptRecord& record = prompts.records()[0];
    EXPECT_EQ(record.kind, hvtest::PromptRecord::Progress);
    EXPECT_EQ(record.text, "Loading FPGA Configuration...");
    EXPECT_EQ(record.cancelText, "Cancel");
    EXPECT_EQ(record.maximum, 220);
    EXPECT_EQ(record.progressValues, std::vector<int>({0, 120, 220}));
}

TEST_F(ProgressDialogTest, CancelIsReportedFromThenOnAndClearedByTheNextOpen) {
    prompts.cancelProgressAt(50);
    hv::ProgressDialog::open("Loading MCU firmware...", "Cancel", 220, nullptr);
    bool cancelled = true;
    hv::ProgressDialog::update(49, &cancelled);
    EXPECT_FALSE(cancelled);
    hv::ProgressDialog::update(50, &cancelled);
    EXPECT_TRUE(cancelled);
    hv::ProgressDialog::close();
    EXPECT_TRUE(hv::ProgressDialog::cancelled());

    hv::ProgressDialog::open("Loading MCU firmware...", "Cancel", 220, nullptr);
    EXPECT_FALSE(hv::ProgressDialog::cancelled());
    hv::ProgressDialog::update(60, &cancelled);
    EXPECT_FALSE(cancelled);
}

TEST_F(ProgressDialogTest, LibraryCallbackSetsTheValueAndAnswersAbort) {
    const CxProgressProc callback = hv::ProgressDialog::callback;
    prompts.cancelProgressAt(100);
    hv::ProgressDialog::open("Loading FPGA Configuration...", "Cancel", 220, nullptr);
    bool abort = true;
    callback(2, &abort);
    EXPECT_FALSE(abort);
    callback(40, nullptr);
    callback(100, &abort);
    EXPECT_TRUE(abort);
    EXPECT_EQ(prompts.records()[0].progressValues, std::vector<int>({2, 40, 100}));
}

TEST_F(ProgressDialogTest, UpdateWithoutADialogOnlyReportsTheFlag) {
    hv::ProgressDialog::open("Loading", "Cancel", 10, nullptr);
    hv::ProgressDialog::close();
    bool cancelled = true;
    hv::ProgressDialog::update(5, &cancelled);
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(prompts.records()[0].progressValues.empty());
}

}  // namespace
