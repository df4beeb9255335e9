// The gamma editor's trace: only when asked, in its trace format, under the root's debug
// folder, and kept under its size limit.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <string>

#include "CurveTrace.h"
#include "GammaFiles.h"
#include "GammaView.h"
#include "PresetFolderScope.h"
#include "ScopedEnv.h"
#include "TempDir.h"

namespace {

std::string contentOf(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void pressAt(GammaView& view, const QPointF& scene) {
    const QPoint at = view.mapFromScene(scene);
    QMouseEvent event(QEvent::MouseButtonPress, at, view.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

class GammaTrace : public testing::Test {
protected:
    QString traceFile() const {
        return QString::fromStdString(scope.root()) + "/debug/CurveLog.txt";
    }

    uitest::PresetFolderScope scope;
};

TEST_F(GammaTrace, AskedForItDumpsEveryNodeInTheTraceFormat) {
    ScopedEnv trace("KX_GAMMA_TRACE", "1");
    GammaView view;
    view.resize(400, 300);
    view.setupGammaView(0, 0, 200, 100);
    EXPECT_EQ(kxui::GammaFiles::traceFile(), traceFile());
    const std::string start =
        "Initialization....\n"
        "Curve Node.......\n<x=0, y=100; dX=0, dY=1>\n"
        "Curve Node.......\n<x=200, y=0; dX=1, dY=0>\n";
    EXPECT_EQ(contentOf(traceFile()), start);

    pressAt(view, {50, 25});
    const std::string press =
        "Press Event....\n"
        "Curve Node.......\n<x=0, y=100; dX=0, dY=1>\n"
        "Curve Node.......\n<x=50, y=25; dX=0.25, dY=0.25>\n"
        "Curve Node.......\n<x=200, y=0; dX=1, dY=0>\n";
    EXPECT_EQ(contentOf(traceFile()), start + press);

    view.dumpCurveLines("Lines\n");
    EXPECT_EQ(contentOf(traceFile()),
              start + press +
                  "Lines\nCurve Line.......\n"
                  "<(x0=0, y0=100), (x1=200, y1=0); (dX0=0, dY0=1), (dX1=1, dY1=0)>\n");
}

TEST_F(GammaTrace, NotAskedForItWritesNothing) {
    for (const char* value : {static_cast<const char*>(nullptr), "0", "yes"}) {
        ScopedEnv trace("KX_GAMMA_TRACE", value);
        GammaView view;
        view.resize(400, 300);
        view.setupGammaView(0, 0, 200, 100);
        pressAt(view, {50, 25});
        view.dumpCurveNodes("Asked\n");
        EXPECT_FALSE(QFile::exists(traceFile())) << (value ? value : "unset");
    }
    EXPECT_FALSE(QDir(QString::fromStdString(scope.root()) + "/debug").exists());
}

TEST_F(GammaTrace, TheFileStaysUnderItsLimit) {
    const QString file = traceFile();
    const kxui::CurveTrace trace(file, 100);
    const std::string entry(40, 'a');
    trace.append(entry);
    trace.append(entry);
    EXPECT_EQ(contentOf(file).size(), 80u);
    trace.append(std::string(40, 'b'));  // 120 would pass the limit: a new file starts
    EXPECT_EQ(contentOf(file), std::string(40, 'b'));
    EXPECT_EQ(contentOf(file + ".old"), entry + entry);
    for (int i = 0; i < 50; ++i) {
        trace.append(entry);
    }
    EXPECT_LE(QFileInfo(file).size(), 100);
    EXPECT_LE(QFileInfo(file + ".old").size(), 100);
    EXPECT_EQ(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files).size(), 2);
}

}  // namespace
