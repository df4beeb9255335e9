// The gamma curve tool: its form and buttons, and Save, which writes the curve as a gamma table
// that the camera library reads back with the curve's levels.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "CurveNode.h"
#include "FileSizeLimit.h"
#include "GammaFiles.h"
#include "GammaView.h"
#include "PresetFolderScope.h"
#include "ScopedEnv.h"
#include "ScriptedUiPrompter.h"
#include "TempDir.h"
#include "gamma/kxGammaTableFile.h"
#include "gammaDialog.h"

namespace {

std::string contentOf(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class GammaTool : public testing::Test {
protected:
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    QString folder() const { return QString::fromStdString(scope.config()) + "/Gamma"; }
    QPushButton* button(QDialogButtonBox::StandardButton which) {
        return dialog.findChild<QDialogButtonBox*>("buttonBox")->button(which);
    }
    void clickCurve(const QPointF& scene) {
        GammaView* view = dialog.gammaView();
        const QPoint at = view->mapFromScene(scene);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(view->viewport(), &event);
        }
    }

    uitest::PresetFolderScope scope;
    ScopedEnv noTrace{"KX_GAMMA_TRACE", nullptr};
    uitest::ScriptedUiPrompter prompts;
    gammaDialog dialog;
};

TEST_F(GammaTool, TheFormHoldsTheCurveTheChoicesAndTheButtons) {
    EXPECT_EQ(dialog.windowTitle(), "Gamma Curve Tool");
    ASSERT_NE(dialog.gammaView(), nullptr);
    EXPECT_EQ(dialog.gammaView()->objectName(), "gammaCurveArea");
    EXPECT_EQ(dialog.gammaView()->curveNodes().size(), 2);
    auto items = [this](const char* name) {
        QStringList all;
        const auto* combo = dialog.findChild<QComboBox*>(name);
        for (int i = 0; combo != nullptr && i < combo->count(); ++i) {
            all << combo->itemText(i);
        }
        return all;
    };
    EXPECT_EQ(items("gammaPresetComboBox"), QStringList{"Default [1.0]"});
    EXPECT_EQ(items("channelComboBox"), (QStringList{"Luminance", "Red", "Green", "Blue"}));
    EXPECT_EQ(items("curveTypeComboBox"), (QStringList{"Smooth", "Freehand"}));
    ASSERT_NE(dialog.findChild<QCheckBox*>("previewCheckBox"), nullptr);
    EXPECT_EQ(dialog.findChild<QCheckBox*>("previewCheckBox")->text(), "Preview");
    EXPECT_EQ(dialog.findChild<QPushButton*>("addGammaButton")->text(), "Add New Gamma Table");
    EXPECT_EQ(dialog.findChild<QPushButton*>("importGammaButton")->text(), "Import Gamma Table");
    EXPECT_EQ(dialog.findChild<QDialogButtonBox*>("buttonBox")->standardButtons(),
              QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help |
                  QDialogButtonBox::Reset | QDialogButtonBox::Save);
    // The whole editing area shows inside the curve area.
    const GammaView* view = dialog.gammaView();
    const QRect area = view->mapFromScene(QRectF(view->editingArea())).boundingRect();
    EXPECT_TRUE(view->viewport()->rect().contains(area));
}

TEST_F(GammaTool, OkAcceptsCancelRejectsHelpExplains) {
    button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());

    button(QDialogButtonBox::Help)->click();
    EXPECT_EQ(prompts.titles(), QStringList{"Gammag Tool"});
    EXPECT_EQ(prompts.informations(), QStringList{"Help Message For Gamma Tool"});
}

TEST_F(GammaTool, ResetGoesBackToTheSetUpArea) {
    const QRect area = dialog.gammaView()->editingArea();
    clickCurve({100, 100});
    clickCurve({300, 200});
    ASSERT_EQ(dialog.gammaView()->curveNodes().size(), 4);
    button(QDialogButtonBox::Reset)->click();
    const QList<CurveNode*> nodes = dialog.gammaView()->curveNodes();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(dialog.gammaView()->editingArea(), area);
    EXPECT_EQ(nodes[0]->pos(), QPointF(area.left(), area.top() + area.height()));
    EXPECT_EQ(nodes[1]->pos(), QPointF(area.left() + area.width(), area.top()));
}

// The y of the cubic from p0 to p3 (controls p1, p2) where its x is x; the curve's x grows with t.
double cubicY(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double x) {
    auto at = [&](double t) {
        const double s = 1 - t;
        return p0 * (s * s * s) + p1 * (3 * s * s * t) + p2 * (3 * s * t * t) + p3 * (t * t * t);
    };
    double low = 0;
    double high = 1;
    for (int i = 0; i < 60; ++i) {
        const double t = (low + high) / 2;
        (at(t).x() < x ? low : high) = t;
    }
    return at((low + high) / 2).y();
}

TEST_F(GammaTool, SaveWritesATableTheLibraryReadsWithTheCurvesLevels) {
    const QRect area = dialog.gammaView()->editingArea();
    const double w = area.width();
    const double h = area.height();
    const QPointF p0(area.left(), area.top() + h);
    const QPointF p1(area.left() + w / 4, area.top() + h / 4);
    const QPointF p2(area.left() + w, area.top());
    clickCurve(p1);
    ASSERT_EQ(dialog.gammaView()->curveNodes().size(), 3);

    prompts.answerText(QString("bright"));
    button(QDialogButtonBox::Save)->click();
    EXPECT_EQ(prompts.textPrompts().size(), 1);
    EXPECT_EQ(prompts.titles(), QStringList{"Gamma Tool"});
    EXPECT_EQ(prompts.informations(), QStringList{"Save Gamma Settings"});
    EXPECT_TRUE(prompts.warnings().isEmpty()) << prompts.warnings().join("\n").toStdString();

    const QString file = folder() + "/bright.txt";
    ASSERT_TRUE(QFile::exists(file));
    std::istringstream lines(contentOf(file));
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first, "0.000000 0");

    GammaTableFile::Table table{};
    ASSERT_EQ(GammaTableFile::build(QFile::encodeName(file).constData(), 0, 0, table), 1024);
    int worst = 0;
    for (int k = 0; k < 1024; ++k) {
        // Three nodes: one cubic with controls p1 and the midpoint of p1 and p2.
        const double y = cubicY(p0, p1, (p1 + p2) / 2, p2, area.left() + w * k / 1023);
        const int expected = static_cast<int>(std::lround((area.top() + h - y) / h * 1023));
        const uint32_t word = GammaTableFile::entry(table, k);
        const int level = static_cast<int>(word & 0x3FF);
        EXPECT_EQ(word, static_cast<uint32_t>(level << 20 | level << 10 | level)) << k;
        worst = std::max(worst, std::abs(level - expected));
    }
    EXPECT_LE(worst, 1);
    EXPECT_EQ(GammaTableFile::entry(table, 0) & 0x3FF, 0u);
    EXPECT_EQ(GammaTableFile::entry(table, 1023) & 0x3FF, 1023u);
    // A bright curve: the middle input comes out well above the middle.
    EXPECT_GT(static_cast<int>(GammaTableFile::entry(table, 512) & 0x3FF), 700);
}

TEST_F(GammaTool, CancelInTheNameBoxWritesNothing) {
    prompts.answerText(std::nullopt);
    button(QDialogButtonBox::Save)->click();
    EXPECT_EQ(prompts.textPrompts().size(), 1);
    EXPECT_TRUE(prompts.informations().isEmpty());
    EXPECT_TRUE(prompts.warnings().isEmpty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(GammaTool, NamesThatLeaveThePlainFileAreRefused) {
    int refused = 0;
    for (const char* name : {"../x", "a b", "a/b", "a\\b", "c:x", "..", ""}) {
        prompts.answerText(QString(name));
        button(QDialogButtonBox::Save)->click();
        EXPECT_EQ(prompts.warnings().size(), ++refused) << name;
    }
    EXPECT_TRUE(prompts.informations().isEmpty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(scope.config()) + "/x.txt"));
    EXPECT_EQ(kxui::GammaFiles::tableFileName("gamma2"), "gamma2.txt");
    EXPECT_EQ(kxui::GammaFiles::tableFileName("gamma2.TXT"), "gamma2.TXT");
    EXPECT_EQ(kxui::GammaFiles::tableFileName("my.curve"), "my.curve.txt");
}

TEST_F(GammaTool, AFailedSaveWarnsAndKeepsTheOldTable) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString old = folder() + "/old.txt";
    std::ofstream(QFile::encodeName(old).constData()) << "0.000000 5\n";
    auto saveOver = [&](const char* name) {
        const auto before = prompts.warnings().size();
        prompts.answerText(QString(name));
        button(QDialogButtonBox::Save)->click();
        EXPECT_TRUE(prompts.informations().isEmpty()) << name;
        EXPECT_EQ(prompts.warnings().size(), before + 1) << name;
        return prompts.warnings().value(before);
    };

    {
        // The disk takes only part of the table.
        const uitest::FileSizeLimit limit(4096);
        EXPECT_TRUE(saveOver("old").contains("File too large"));
    }
    EXPECT_EQ(contentOf(old), "0.000000 5\n");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"old.txt"});

    // The super-user writes into read-only folders; everyone else is refused.
    const std::string gamma = QFile::encodeName(folder()).toStdString();
    ASSERT_EQ(chmod(gamma.c_str(), 0555), 0);
    if (geteuid() != 0) {
        EXPECT_TRUE(saveOver("old").contains("Permission denied"));
        EXPECT_TRUE(saveOver("new").contains("Permission denied"));
    }
    chmod(gamma.c_str(), 0755);
    EXPECT_EQ(contentOf(old), "0.000000 5\n");
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"old.txt"});

    // A folder in the way of the table.
    ASSERT_TRUE(QDir().mkpath(folder() + "/taken.txt"));
    EXPECT_TRUE(saveOver("taken").contains("Is a directory"));
}

}  // namespace
