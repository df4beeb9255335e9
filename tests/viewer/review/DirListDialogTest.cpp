// The review dialog: the folders it lists from "ImageData" in the working folder, and OPEN's
// round of file dialogs and viewers.
#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>

#include "ModalDriver.h"
#include "ReviewFiles.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "TestFrames.h"
#include "VideoPlayer.h"
#include "dirListDialog.h"
#include "scViewer.h"

namespace {

namespace fs = std::filesystem;

class DirListDialogTest : public testing::Test {
protected:
    // A folder of ImageData in the working folder, made with its parents.
    static QString makeFolder(const std::string& name) {
        const fs::path path = fs::current_path() / "ImageData" / name;
        fs::create_directories(path);
        return QString::fromStdString(path.string());
    }
    QTableWidget* table() { return dialog.findChild<QTableWidget*>("tableWidget"); }
    QStringList rows() {
        QStringList names;
        for (int row = 0; row < table()->rowCount(); ++row) {
            names << table()->item(row, 0)->text();
        }
        return names;
    }
    int openFileAsks() const {
        return static_cast<int>(std::count_if(prompts.records().begin(), prompts.records().end(),
                                              [](const hvtest::PromptRecord& r) {
                                                  return r.kind == hvtest::PromptRecord::OpenFile;
                                              }));
    }

    TempDir workingFolder;
    hvtest::ScriptedPrompts prompts;
    QWidget tools;
    hv::dirListDialog dialog;
};

TEST_F(DirListDialogTest, ListsTheFoldersOfImageDataAndNothingElse) {
    EXPECT_EQ(dialog.windowTitle(), "Directory List");
    EXPECT_EQ(table()->columnCount(), 1);
    EXPECT_EQ(table()->horizontalHeaderItem(0)->text(), "Directory");
    EXPECT_TRUE(table()->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(dialog.findChild<QPushButton*>("openButton")->text(), "OPEN");
    EXPECT_EQ(dialog.findChild<QPushButton*>("exitButton")->text(), "EXIT");

    makeFolder("Batch 7");
    makeFolder("2024-03-05/inner");
    makeFolder("a folder");
    ASSERT_TRUE(reviewtest::writePicture(makeFolder("") + "/loose.png", "PNG"));
    dialog.refresh(&tools);
    EXPECT_EQ(dialog.directories(), QStringList({"2024-03-05", "a folder", "Batch 7"}));
    EXPECT_EQ(rows(), dialog.directories());
    EXPECT_EQ(table()->currentRow(), 0);

    // Every refresh lists the folder anew and starts at the first row.
    fs::remove_all(fs::current_path() / "ImageData" / "a folder");
    table()->setCurrentCell(1, 0);
    dialog.refresh(&tools);
    EXPECT_EQ(rows(), QStringList({"2024-03-05", "Batch 7"}));
    EXPECT_EQ(table()->currentRow(), 0);
    EXPECT_EQ(table()->horizontalHeaderItem(0)->text(), "Directory");

    // Without ImageData the list is empty and OPEN only hides the dialog.
    fs::remove_all(fs::current_path() / "ImageData");
    dialog.refresh(&tools);
    EXPECT_TRUE(dialog.directories().isEmpty());
    EXPECT_EQ(table()->rowCount(), 0);
    EXPECT_EQ(table()->currentRow(), -1);
    dialog.show();
    dialog.findChild<QPushButton*>("openButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(prompts.records().empty());

    dialog.show();
    dialog.findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DirListDialogTest, OpenShowsEachChosenFileInItsOwnViewerUntilCancelled) {
    const QString folder = makeFolder("a folder");
    makeFolder("b");
    const QString photo = folder + "/shot 1.png";
    const QString clip = folder + "/clip 1.avi";
    ASSERT_TRUE(reviewtest::writePicture(photo, "PNG"));
    ASSERT_TRUE(uitest::writeClip(clip, 10));
    dialog.refresh(&tools);
    ASSERT_EQ(dialog.directories().first(), "a folder");

    // Cancelled at the first ask: the review of the folder ends at once.
    prompts.answerPath(QString());
    dialog.show();
    dialog.OnOpenButton();
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(prompts.records().size(), 1u);
    const hvtest::PromptRecord& ask = prompts.records()[0];
    EXPECT_EQ(ask.kind, hvtest::PromptRecord::OpenFile);
    EXPECT_EQ(ask.text, "Open Image");
    EXPECT_EQ(ask.folder, QDir::currentPath() + "/ImageData/a folder");
    EXPECT_EQ(ask.filter,
              "Images/Videos (*.jpg *.jpeg *.png *.avi);;Image Files (*.jpg *.jpeg *.png);;"
              "Video Files (*.avi)");
    EXPECT_TRUE(dialog.findChildren<hv::scViewer*>().isEmpty());

    // Two files, then cancel: each viewer is modal over the list and the next ask waits for it.
    prompts.answerPath(photo);
    prompts.answerPath(clip);
    prompts.answerPath(QString());
    std::vector<std::pair<int, bool>> shown;  // asks made by then, and a video or not
    hvtest::whenModal<hv::scViewer>([&](hv::scViewer& first) {
        shown.emplace_back(openFileAsks(), first.isVideo());
        EXPECT_EQ(first.parentWidget(), &dialog);
        EXPECT_FALSE(first.findChild<QLabel*>("label")->pixmap().isNull());
        hvtest::whenModal<hv::scViewer>([&](hv::scViewer& second) {
            shown.emplace_back(openFileAsks(), second.isVideo());
            EXPECT_EQ(second.findChild<hv::VideoPlayer*>("videoPlayer")->state(),
                      hv::VideoPlayer::State::Playing);
            second.close();
        });
        first.close();
    });
    dialog.OnOpenButton();
    EXPECT_EQ(shown, (std::vector<std::pair<int, bool>>{{2, false}, {3, true}}));
    EXPECT_EQ(openFileAsks(), 4);
    EXPECT_EQ(prompts.pendingAnswers(), 0u);
    EXPECT_TRUE(dialog.findChildren<hv::scViewer*>().isEmpty());
}

}  // namespace
