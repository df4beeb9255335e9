#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <fstream>

#include "FakeTabPage.h"
#include "PresetFolders.h"
#include "ReviewDialog.h"
#include "ScopedEnv.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"
#include "TempDir.h"
#include "dirListDialog.h"
#include "helpDialog.h"
#include "preferenceDialog.h"
#include "setupDialog.h"
#include "toolsDialog.h"
#include "userEditDialog.h"

namespace {

// A review dialog that counts its refreshes.
class FakeReview : public hv::ReviewDialog {
public:
    void refresh(QWidget* parent) override { refreshedFrom.push_back(parent); }
    std::vector<QWidget*> refreshedFrom;
};

const QStringList kButtons = {"reviewButton", "preferenceButton", "userEditButton",
                              "helpButton",   "setupButton",      "exitButton"};

class ToolsDialogTest : public testing::Test {
protected:
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    hv::toolsDialog::Children presentChildren() {
        hv::setupDialog::Pages pages;
        pages.tabs = {{"tabOne", "One", "", [this] { return &page; }},
                      {"tabTwo", "Two", "", [] { return nullptr; }}};
        setup = std::make_unique<hv::setupDialog>(pages);
        return {[this] { return setup.get(); }, [this] { return &help; },
                [this] { return &review; }, [this] { return &userManager; }};
    }
    static hv::toolsDialog::Children missingChildren() {
        return {[] { return nullptr; }, [] { return nullptr; }, [] { return nullptr; },
                [] { return nullptr; }};
    }

    static QPushButton* button(hv::toolsDialog& tools, const QString& name) {
        return tools.findChild<QPushButton*>(name);
    }
    // Per button in kButtons order: 'E' enabled, 'D' disabled, 'H' hidden and disabled, '?' a
    // hidden button left enabled.
    static std::string buttonStates(hv::toolsDialog& tools) {
        std::string states;
        for (const QString& name : kButtons) {
            QPushButton* b = button(tools, name);
            if (b->isVisibleTo(&tools)) {
                states += b->isEnabled() ? 'E' : 'D';
            } else {
                states += b->isEnabled() ? '?' : 'H';
            }
        }
        return states;
    }

    // Initialises tools with its children and opens the four of them.
    void openEverything(hv::toolsDialog& tools) {
        tools.initialise(nullptr, 0, {}, {});
        tools.OnSetupButton();
        tools.OnHelpButton();
        tools.OnReviewButton();
        tools.OnUserEditButton();
        ASSERT_EQ(childrenShown(), std::vector<bool>(4, true));
    }
    // Setup, help, review, user manager: shown or not.
    std::vector<bool> childrenShown() const {
        return {setup->isVisible(), help.isVisible(), review.isVisible(), userManager.isVisible()};
    }

    hvtest::ScriptedPrompts prompts;
    hvtest::FakeTabPage page;
    std::unique_ptr<hv::setupDialog> setup;
    hv::helpDialog help;
    FakeReview review;
    hv::userEditDialog userManager;
};

TEST_F(ToolsDialogTest, FormHasTheSixButtonsWithTheirTextsAndTips) {
    hv::toolsDialog tools(missingChildren());
    EXPECT_EQ(tools.windowTitle(), "Tools");
    const QStringList texts = {"REVIEW", "PREFERENCE", "USER MANAGER", "HELP", "SETUP", "EXIT"};
    const QStringList tips = {"Review the images/videos saved",
                              "User Preference",
                              "Add/Remove Users",
                              "Help",
                              "Lower level setup",
                              "Exit the menu dialog"};
    for (int i = 0; i < kButtons.size(); ++i) {
        QPushButton* b = button(tools, kButtons[i]);
        ASSERT_NE(b, nullptr) << kButtons[i].toStdString();
        EXPECT_EQ(b->text(), texts[i]);
        EXPECT_TRUE(b->toolTip().contains("font-size:10pt;\">" + tips[i] + "</span>"))
            << b->toolTip().toStdString();
    }
    EXPECT_EQ(buttonStates(tools), "EDEEEE");
}

TEST_F(ToolsDialogTest, EachUserTypeOffersItsButtons) {
    const std::pair<int, std::string> cases[] = {
        {0, "EHHEHE"}, {1, "EEHEEE"}, {2, "EEEEEE"}, {3, "HHHEHE"}, {-1, "HHHEHE"}};
    for (const auto& [type, states] : cases) {
        hv::toolsDialog tools(missingChildren());
        tools.applyUserType(type);
        EXPECT_EQ(buttonStates(tools), states) << "user type " << type;
    }
}

TEST_F(ToolsDialogTest, AButtonHiddenByOneTypeStaysHiddenWhenTheNextLeavesItUnchanged) {
    hv::toolsDialog tools(missingChildren());
    tools.applyUserType(7);
    tools.applyUserType(2);
    EXPECT_EQ(buttonStates(tools), "HEEEEE");
    tools.applyUserType(0);
    tools.applyUserType(1);
    EXPECT_EQ(buttonStates(tools), "HEHEEE");
}

TEST_F(ToolsDialogTest, InitialiseWarnsOfEachMissingChildInOrder) {
    hv::toolsDialog tools(missingChildren());
    tools.initialise(nullptr, 0, {}, {});
    EXPECT_EQ(prompts.messageTexts(), QStringList({"WARNING::Fail to get setup dialog!!!",
                                                   "WARNING::Fail to get help dialog!!!",
                                                   "WARNING::Fail to get review dialog!!!",
                                                   "WARNING::Fail to get user manager dialog!!!"}));
    EXPECT_EQ(prompts.messageTitles(), QStringList(4, "Tools Dialog"));
}

TEST_F(ToolsDialogTest, TheProgramsToolsDialogWarnsOfRefusedChildren) {
    hv::SingleInstances::refuse<hv::setupDialog>();
    hv::SingleInstances::refuse<hv::helpDialog>();
    hv::SingleInstances::refuse<hv::dirListDialog>();
    hv::SingleInstances::refuse<hv::userEditDialog>();
    ASSERT_NE(hv::toolsDialog::instance(), nullptr);
    hv::toolsDialog::instance()->initialise(nullptr, 0, {}, {});
    EXPECT_EQ(prompts.messageTexts(), QStringList({"WARNING::Fail to get setup dialog!!!",
                                                   "WARNING::Fail to get help dialog!!!",
                                                   "WARNING::Fail to get review dialog!!!",
                                                   "WARNING::Fail to get user manager dialog!!!"}));
}

TEST_F(ToolsDialogTest, TheProgramsReviewButtonShowsTheDirectoryList) {
    hv::SingleInstances::refuse<hv::setupDialog>();
    hv::SingleInstances::refuse<hv::helpDialog>();
    hv::SingleInstances::refuse<hv::userEditDialog>();
    hv::toolsDialog& tools = *hv::toolsDialog::instance();
    tools.initialise(nullptr, 0, {}, {});
    EXPECT_FALSE(prompts.messageTexts().contains("WARNING::Fail to get review dialog!!!"));
    hv::dirListDialog* review = hv::SingleInstances::get<hv::dirListDialog>();
    ASSERT_NE(review, nullptr);
    EXPECT_FALSE(review->isVisible());
    tools.show();
    button(tools, "reviewButton")->click();
    EXPECT_TRUE(review->isVisible());
    EXPECT_EQ(prompts.messageTexts().size(), 3);
    tools.OnExitButton();
    EXPECT_FALSE(review->isVisible());
}

TEST_F(ToolsDialogTest, InitialiseHandsTheDevicesOnAndPlacesTheDialogs) {
    QWidget mainWindow;
    mainWindow.move(120, 80);
    CamContextHead head = {};
    auto* handle = reinterpret_cast<CamContext*>(&head);
    help.setFpgaVersion(QStringLiteral("1.30"));
    hv::toolsDialog tools(presentChildren());
    tools.initialise(&mainWindow, 1, {"RT4207 #0"}, {handle});

    EXPECT_TRUE(prompts.messageTexts().isEmpty());
    EXPECT_EQ(page.combo()->itemText(0), "RT4207 #0");
    EXPECT_EQ(page.reads, (std::vector<std::pair<int, CamContext*>>{{0, handle}}));
    EXPECT_EQ(help.findChild<QLabel*>("fpgaVersionLabel")->text(), "FPGA Version: NA");
    EXPECT_EQ(review.refreshedFrom, std::vector<QWidget*>{&tools});
    // PREFERENCE is the user type's to offer, not the initialisation's.
    EXPECT_FALSE(button(tools, "preferenceButton")->isEnabled());
    tools.applyUserType(1);
    tools.initialise(&mainWindow, 1, {"RT4207 #0"}, {handle});
    EXPECT_TRUE(button(tools, "preferenceButton")->isEnabled());
    EXPECT_EQ(tools.pos(), QPoint(120, 80));
    EXPECT_EQ(setup->pos(), QPoint(120, 360));
    EXPECT_EQ(help.pos(), QPoint(120, 360));
}

TEST_F(ToolsDialogTest, EachButtonRunsItsSlotOnceAfterTwoInitialisations) {
    hv::toolsDialog tools(missingChildren());
    tools.initialise(nullptr, 0, {}, {});
    tools.initialise(nullptr, 0, {}, {});
    tools.show();
    for (const char* name : {"setupButton", "reviewButton", "helpButton", "userEditButton"}) {
        button(tools, name)->click();
    }
    EXPECT_EQ(
        prompts.messageTexts().mid(8),
        QStringList({"WARNING::Fail to get setup dialog!!!",
                     "WARNING::Fail to get review dialog!!!", "WARNING::Fail to get help dialog!!!",
                     "WARNING::Fail to get user manager dialog!!!"}));
    button(tools, "exitButton")->click();
    EXPECT_FALSE(tools.isVisible());
}

TEST_F(ToolsDialogTest, ReviewRefreshesTheListBeforeShowingIt) {
    hv::toolsDialog tools(presentChildren());
    tools.initialise(nullptr, 0, {}, {});
    tools.OnReviewButton();
    EXPECT_EQ(review.refreshedFrom, (std::vector<QWidget*>{&tools, &tools}));
    EXPECT_TRUE(review.isVisible());
}

TEST_F(ToolsDialogTest, UserManagerStartsAgainAtOperatorBelowTheToolsDialog) {
    hv::toolsDialog tools(presentChildren());
    tools.initialise(nullptr, 0, {}, {});
    auto* type = userManager.findChild<QComboBox*>("userTypeComboBox");
    type->setCurrentIndex(2);
    tools.move(50, 60);
    tools.OnUserEditButton();
    EXPECT_EQ(type->currentText(), "Operator");
    EXPECT_EQ(userManager.pos(), tools.frameGeometry().bottomLeft() + QPoint(0, 1));
    EXPECT_TRUE(userManager.isVisible());
}

TEST_F(ToolsDialogTest, ExitHidesEveryChildAndTheSetupDialogKeepsItsTab) {
    hv::toolsDialog tools(presentChildren());
    openEverything(tools);
    setup->findChild<QTabWidget*>("tabWidget")->setCurrentIndex(1);
    tools.OnExitButton();
    EXPECT_EQ(childrenShown(), std::vector<bool>(4, false));
    EXPECT_EQ(setup->findChild<QTabWidget*>("tabWidget")->currentIndex(), 1);
}

TEST_F(ToolsDialogTest, HidingTheToolsDialogHidesEveryChild) {
    hv::toolsDialog tools(presentChildren());
    openEverything(tools);
    tools.show();
    tools.hide();
    EXPECT_EQ(childrenShown(), std::vector<bool>(4, false));
}

TEST_F(ToolsDialogTest, PreferenceShowsTheOnePreferenceDialogOverTheRootsPresets) {
    TempDir root;
    ScopedEnv velquinRoot("VELQUIN_ROOT", root.path().c_str());
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root.path() + "/Config/Metering")));
    std::ofstream(root.path() + "/Config/Metering/Night.txt") << "TARGET:\t40\n";
    {
        hv::toolsDialog tools(presentChildren());
        tools.initialise(nullptr, 0, {}, {});
        tools.applyUserType(1);
        tools.show();
        button(tools, "preferenceButton")->click();
        auto* preference = tools.findChild<preferenceDialog*>();
        ASSERT_NE(preference, nullptr);
        EXPECT_TRUE(preference->isVisible());
        EXPECT_EQ(preference, preferenceDialog::getInstance());
        auto* metering = preference->findChild<QComboBox*>("aecAgcCombo");
        EXPECT_EQ(metering->itemText(1), "Night");

        // The dialog's messages are the prompt service's.
        preference->findChild<QPushButton*>("colorToolButton")->click();
        EXPECT_EQ(prompts.messageTexts(), QStringList({"Color Tool"}));
        EXPECT_EQ(prompts.messageTitles(), QStringList({"PREFERENCE"}));

        tools.OnPreferenceButton();
        EXPECT_EQ(tools.findChildren<preferenceDialog*>().size(), 1);
        tools.OnExitButton();
        EXPECT_FALSE(preference->isVisible());
    }
    // Gone with the tools dialog: the next one gets a dialog of its own.
    hv::toolsDialog next(presentChildren());
    next.OnPreferenceButton();
    EXPECT_EQ(next.findChild<preferenceDialog*>(), preferenceDialog::getInstance());
}

}  // namespace
