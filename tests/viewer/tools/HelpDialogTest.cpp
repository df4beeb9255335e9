#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "helpDialog.h"

namespace {

class HelpDialogTest : public testing::Test {
protected:
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    static QStringList lines(hv::helpDialog& dialog) {
        QStringList texts;
        for (const char* name : {"softwareVersionLabel", "libraryVersionLabel", "fpgaVersionLabel",
                                 "mcuVersionLabel"}) {
            texts << dialog.findChild<QLabel*>(name)->text();
        }
        return texts;
    }

    hvtest::ScriptedPrompts prompts;
};

const QStringList kAllNa = {"Software Version: NA", "Cx Library Version: NA", "FPGA Version: NA",
                            "MCU Version: NA"};

TEST_F(HelpDialogTest, ShowsNaOnEveryLineUntilSet) {
    hv::helpDialog dialog;
    EXPECT_EQ(dialog.objectName(), "helpDialog");
    EXPECT_EQ(dialog.windowTitle(), "About Nelvora Orlo");
    EXPECT_EQ(lines(dialog), kAllNa);
}

TEST_F(HelpDialogTest, EachSetterWritesItsOwnLine) {
    hv::helpDialog dialog;
    dialog.setSoftwareVersion(QStringLiteral("1.02"));
    dialog.setLibraryVersion(QStringLiteral("V2.1.0.6"));
    dialog.setFpgaVersion(QStringLiteral("FPGA(0)[1.30] "));
    dialog.setMcuVersion(QString());
    EXPECT_EQ(lines(dialog), QStringList({"Software Version: 1.02", "Cx Library Version: V2.1.0.6",
                                          "FPGA Version: FPGA(0)[1.30] ", "MCU Version: "}));
    dialog.setLibraryVersion(std::nullopt);
    EXPECT_EQ(lines(dialog)[1], "Cx Library Version: NA");
}

TEST_F(HelpDialogTest, InitialiseSetsAllLinesAndOpensBelowTheMainWindow) {
    QWidget mainWindow;
    mainWindow.move(40, 30);
    hv::helpDialog dialog;
    dialog.setMcuVersion(QStringLiteral("MCU(0)[107] "));
    dialog.initialise(&mainWindow, QStringLiteral("1.02"), std::nullopt, std::nullopt,
                      std::nullopt);
    EXPECT_EQ(lines(dialog), QStringList({"Software Version: 1.02", "Cx Library Version: NA",
                                          "FPGA Version: NA", "MCU Version: NA"}));
    EXPECT_EQ(dialog.pos(), QPoint(40, 310));
}

TEST_F(HelpDialogTest, LogoComesFromTheWorkingFolderAndIsEmptyWithoutTheFile) {
    const QString home = QDir::currentPath();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const auto logo = [] {
        hv::helpDialog dialog;
        return dialog.findChild<QLabel*>("logoLabel")->pixmap().size();
    };
    const QSize withoutFile = logo();
    QImage picture(24, 12, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    const bool saved = picture.save("NV Logo - Help UI.png");
    const QSize withFile = logo();
    QDir::setCurrent(home);

    ASSERT_TRUE(saved);
    EXPECT_EQ(withoutFile, QSize(0, 0));
    EXPECT_EQ(withFile, QSize(24, 12));
    EXPECT_TRUE(prompts.records().empty());
}

}  // namespace
