// Photos, references, the data folders and their recent lists, and "Review Images", on a
// brought-up main window with a stamped clock.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QUrl>

#include "MainWindowFixture.h"
#include "RecentList.h"

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 5, 30));

// Receives the URLs the window hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

class MediaControlsTest : public hvtest::MainWindowFixture {
protected:
    hv::Nelvora& readyWindow() {
        hv::Nelvora& w = quietWindow();
        w.setClock([] { return kNow; });
        deliver(std::vector<uint8_t>(kFrameBytes, 0x50));
        return w;
    }
    QComboBox* combo(const char* name) const {
        return window->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    QString here(const QString& relative) const {
        return QString::fromStdString(m_folder.path()) + QLatin1Char('/') + relative;
    }
    void tickReference(bool on) {
        window->findChild<QCheckBox*>("saveRefCheckBox")->setChecked(on);
    }
};

TEST_F(MediaControlsTest, PhotosAndReferencesGoToTheirFoldersUnderTheirNamesWithTheirContext) {
    hv::Nelvora& w = readyWindow();
    // A first run: the absolute default folder, and no reference.
    EXPECT_EQ(combo("newFolderComboBox")->count(), 1);
    EXPECT_EQ(w.dataFolder(), here("ImageData/default"));
    EXPECT_EQ(combo("chooseRefComboBox")->itemText(0), "None");

    button("photoButton")->click();
    const QString photo = here("ImageData/default/Img 12-07-2026 14.05 [0].png");
    ASSERT_TRUE(QFileInfo::exists(photo));
    EXPECT_EQ(label("photoNumberLabel"), "1");
    const QImage image(photo);
    EXPECT_EQ(image.size(), QSize(400, 400));
    EXPECT_EQ(image.pixel(10, 10), qRgb(0x50, 0x50, 0x50));
    EXPECT_EQ(image.text("Source"), "RT4207-x6B6B");
    EXPECT_EQ(image.text("Serial Number"), "13070001");
    EXPECT_EQ(image.text("Reference"), "no");
    EXPECT_EQ(image.text("Illumination"), QStringLiteral("%1%").arg(10 * w.illuminationLevel()));
    EXPECT_FALSE(image.text("FPGA Version").isEmpty());

    // The scope's photo button takes a reference as well: beside the default folder.
    tickReference(true);
    w.OnButtonNotifySignalA(0x7);
    const QString reference = "ImageData/Reference/Ref 12-07-2026 14.05 [1].png";
    ASSERT_TRUE(QFileInfo::exists(reference));
    EXPECT_EQ(QImage(reference).text("Reference"), "yes");
    EXPECT_EQ(combo("chooseRefComboBox")->itemText(0), reference);
    EXPECT_EQ(combo("chooseRefComboBox")->count(), 1);
    EXPECT_EQ(label("photoNumberLabel"), "2");

    // Another folder: references below it, the count from 0 again; choosing the same folder
    // again in the same minute gives names that are taken, and nothing is replaced.
    QDir().mkpath(QStringLiteral("site"));
    prompts.answerPath(here("site"));
    button("chooseFolderLocButton")->click();
    EXPECT_EQ(w.dataFolder(), here("site"));
    EXPECT_EQ(label("photoNumberLabel"), "0");
    button("photoButton")->click();
    EXPECT_TRUE(QFileInfo::exists(here("site/Reference/Ref 12-07-2026 14.05 [0].png")));
    tickReference(false);
    button("photoButton")->click();
    EXPECT_TRUE(QFileInfo::exists(here("site/Img 12-07-2026 14.05 [1].png")));
    prompts.answerPath(here("site"));
    button("chooseFolderLocButton")->click();
    EXPECT_EQ(combo("newFolderComboBox")->count(), 2) << "the same folder is not listed twice";
    EXPECT_EQ(label("photoNumberLabel"), "0");
    button("photoButton")->click();
    button("photoButton")->click();
    EXPECT_TRUE(QFileInfo::exists(here("site/Img 12-07-2026 14.05 [0].png")));
    EXPECT_TRUE(QFileInfo::exists(here("site/Img 12-07-2026 14.05 [1] (2).png")));
    EXPECT_TRUE(prompts.messageTexts().isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(MediaControlsTest, AMissingFolderIsRefusedAndPhotosWaitForAValidOne) {
    hv::Nelvora& w = readyWindow();
    QDir().mkpath(QStringLiteral("gone"));
    prompts.answerPath(here("gone"));
    button("chooseFolderLocButton")->click();
    QDir().rmdir(QStringLiteral("gone"));
    // The default is chosen again from the list, then the removed folder.
    combo("newFolderComboBox")->setCurrentIndex(1);
    EXPECT_EQ(w.dataFolder(), here("ImageData/default"));
    EXPECT_EQ(combo("newFolderComboBox")->itemText(0), here("ImageData/default"));
    combo("newFolderComboBox")->setCurrentIndex(1);
    EXPECT_EQ(w.dataFolder(), here("ImageData/default"));
    ASSERT_EQ(prompts.messageTexts(),
              QStringList{"Warning::Invalid folder path.\r\n\r\nUse the Select Folder Button to "
                          "browse for a folder or choose a new one from your list of most "
                          "recents."});
    // The list shows the missing folder: photos are refused until a valid one is current.
    button("photoButton")->click();
    EXPECT_EQ(prompts.messageTexts().value(1),
              "WARNING::The image data directory is invalid, please choose a new folder.");
    EXPECT_EQ(prompts.messageTitles().value(1), "Imaging Hardware Utility Tools V1.02");
    EXPECT_EQ(label("photoNumberLabel"), "0");
    EXPECT_TRUE(QDir(QStringLiteral("ImageData/default")).entryList(QDir::Files).isEmpty());
    // And so are recordings.
    button("videoButton")->click();
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(prompts.messageTexts().value(2),
              "WARNING::The image data directory is invalid, please choose a new path.");
    // A chosen reference that is gone is refused too.
    prompts.answerPath(here("nothing.png"));
    button("chooseRefButton")->click();
    combo("chooseRefComboBox")->setCurrentIndex(0);
    w.OnChooseRefComboBoxSelected(0);
    EXPECT_EQ(prompts.messageTexts().last(), "Error:: Could not find the file specified");
}

TEST_F(MediaControlsTest, TheRecentListsOutliveTheWindowWithoutStaleItems) {
    readyWindow();
    for (int i = 0; i < 11; ++i) {
        const QString folder = QStringLiteral("f%1").arg(i);
        QDir().mkpath(folder);
        prompts.answerPath(here(folder));
        button("chooseFolderLocButton")->click();
    }
    tickReference(true);
    button("photoButton")->click();
    window.reset();
    QSettings settings(hv::RecentList::kOrganisation, hv::RecentList::kApplication);
    settings.beginGroup(hv::RecentList::kDirectoriesGroup);
    // Ten folders, the newest first; the oldest and the default are not kept.
    ASSERT_EQ(settings.childKeys().size(), 10);
    EXPECT_EQ(settings.value("0").toString(), here("f10"));
    EXPECT_EQ(settings.value("9").toString(), here("f1"));
    settings.endGroup();
    settings.beginGroup(hv::RecentList::kReferenceImagesGroup);
    EXPECT_EQ(settings.childKeys(), QStringList{"0"});
    settings.endGroup();

    hv::Nelvora& again = bringUp("RT4207");
    EXPECT_EQ(again.dataFolder(), here("f10"));
    EXPECT_EQ(combo("newFolderComboBox")->count(), 10);
    EXPECT_TRUE(combo("chooseRefComboBox")->itemText(0).startsWith(here("f10/Reference/Ref ")));
}

TEST_F(MediaControlsTest, ReviewImagesOpensTheChosenFileWithTheDesktopAndNothingWhenCancelled) {
    readyWindow();
    UrlCatcher catcher;
    prompts.answerPath(QString());
    button("menuButton")->click();
    EXPECT_TRUE(catcher.urls.isEmpty());
    prompts.answerPath(here("ImageData/default/Img 1.png"));
    button("menuButton")->click();
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].toLocalFile(), here("ImageData/default/Img 1.png"));
    const auto& dialogs = prompts.records();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].text, "Open Data");
    EXPECT_EQ(dialogs[0].folder, here("ImageData/default"));
    EXPECT_TRUE(dialogs[0].filter.startsWith("Nelvora Images (img*.png);;Reference Images"));
}

}  // namespace

#include "MediaControlsTest.moc"
