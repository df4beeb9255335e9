#include "Nelvora.h"

#include <malloc.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QPixmap>
#include <QShortcut>
#include <QSignalBlocker>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <array>

#include <kxCxApi.h>
#include "BoardVersions.h"
#include "CameraLibraryGate.h"
#include "CameraSlot.h"
#include "DataFolder.h"
#include "DeviceInitialiser.h"
#include "DeviceShutdown.h"
#include "FPGATabPage.h"
#include "FirmwareGate.h"
#include "FirmwareLoadLock.h"
#include "FrameCallback.h"
#include "ImageDraw.h"
#include "KXFrameCountsSignal.h"
#include "PhotoWriter.h"
#include "PromptService.h"
#include "RecordingRecovery.h"
#include "USBNotification.h"
#include "VelquinRoot.h"
#include "VideoRecorder.h"
#include "ViewerVersion.h"
#include "helpDialog.h"
#include "ledTabPage.h"
#include "toolsDialog.h"
#include "ui_Nelvora.h"

namespace hv {

namespace {

constexpr int kClockMs = 1000;
constexpr int kFrameCropRegister = 0x27;
// How long a frame callback already running may take to finish after its stream stopped.
constexpr unsigned long kCallbackDrainMs = 200;
// PublishVersions without exactly one board.
constexpr int kNoSingleDevice = -16;
// CheckFirmwareVersions when the board's controller took new firmware and the program ends.
constexpr int kRestartAfterMcuLoad = -7;

const char* const kRegFile = "reg_init.txt";
const char* const kColourBars = ":/Resource/colour-bars-smpte-75-640x640.gif";
const char* const kLogo = "Nelvoralogo.png";
const char* const kGammaFolder = "Config/Gamma";  // in the root
// The title of the photo and recording warnings.
const QString kUtilityToolsTitle = QStringLiteral("Imaging Hardware Utility Tools V%1");
const QString kUtilityTitle = QStringLiteral("Imaging Hardware Utility V%1");
const QString kReferenceFilter = QStringLiteral(
    "Reference Images (ref*.png);;Nelvora Images (img*.png);;All Images (*.jpg *.jpeg *.png "
    "*.gif *.bmp)");
const char* const kRecordingIcon = ":/Resource/Record-Normal-icon.png";
const char* const kRecordIcon = ":/Resource/recordbutton.png";
const QString kReviewFilterTail = QStringLiteral(
    "Nelvora Videos (Vid*.avi);;All Images (*.jpg *.jpeg *.png *.gif *.bmp);;All Files (*.*)");

// The running time of a recording: hours, minutes and seconds, two digits each.
QString durationText(qint64 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

const QStringList kIlluminationTexts = {"0%",  "10%", "20%", "30%", "40%", "50%",
                                        "60%", "70%", "80%", "90%", "100%"};

}  // namespace

Nelvora::Nelvora(QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::Nelvora>()),
      m_tools(this),
      m_recorder(std::make_unique<VideoRecorder>()) {
    ui->setupUi(this);
    setRecorder(std::move(m_recorder));
    m_about = std::make_unique<helpDialog>();
    m_recentFolders = std::make_unique<RecentList>(
        ui->newFolderComboBox, RecentList::kDirectoriesGroup, DataFolder::defaultAbsolute());
    m_recentReferences = std::make_unique<RecentList>(
        ui->chooseRefComboBox, RecentList::kReferenceImagesGroup, RecentList::kNone);
    m_recentFolders->load();
    m_recentReferences->load();
    ui->logoLabel->setPixmap(QPixmap(QString::fromLatin1(kLogo)));
    m_illuminationSetting = 0;
    m_usbNotification = new USBNotification(this);
    m_arrivalWait = new QTimer(this);
    m_arrivalWait->setSingleShot(true);
    m_arrivalWait->setInterval(kArrivalWaitMs);
    connect(m_arrivalWait, &QTimer::timeout, this, &Nelvora::bringUpArrivedBoard);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("secondClock"));
    m_timer->setInterval(kClockMs);
    m_timer->start();
    showClock();
    setWindowTitle(ViewerVersion::windowTitle());
    createDataFolders();
    connect(m_timer, &QTimer::timeout, this, &Nelvora::OnSecTimeout);
    connect(m_usbNotification, &USBNotification::usbAction, this, &Nelvora::OnUSBNotification);
    connect(ui->chooseRefButton, &QPushButton::clicked, this, &Nelvora::OnChooseRefButtonClicked);
    connect(ui->chooseRefComboBox, &QComboBox::currentIndexChanged, this,
            &Nelvora::OnChooseRefComboBoxSelected);
    connect(ui->chooseFolderLocButton, &QPushButton::clicked, this,
            &Nelvora::OnChooseFolderLocButtonClicked);
    connect(ui->newFolderComboBox, &QComboBox::currentIndexChanged, this,
            &Nelvora::OnNewFolderComboBoxSelected);
    connect(ui->aboutNelvoraButton, &QPushButton::clicked, this,
            &Nelvora::OnAboutNelvoraButtonClicked);
    connect(ui->toolsButton, &QPushButton::clicked, this, &Nelvora::OnToolsButtonClicked);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(shortcut, &QShortcut::activated, this, &Nelvora::OnToolsButtonClicked);
    repairUnfinishedRecordings();
    BringUpDevices();
}

Nelvora::~Nelvora() {
    m_about.reset();
    m_recentFolders->save();
    m_recentReferences->save();
    m_timer->stop();
    m_arrivalWait->stop();
    disconnect(m_usbNotification, nullptr, this, nullptr);
    disconnect(ui->chooseRefComboBox, nullptr, this, nullptr);
    disconnect(ui->newFolderComboBox, nullptr, this, nullptr);
    if (m_deviceCount == 1 && m_bringUpComplete) {
        ReleaseDevices();
    } else if (m_libraryLoaded) {
        // A bring-up that stopped or ran degraded leaves its board open and the library loaded:
        // both are closed all the same.
        endRecording();
        releaseSlot();
        ShutdownDevices();
    }
}

void Nelvora::createDataFolders() {
    QDir here;
    here.mkpath(DataFolder::root());
    here.mkpath(DataFolder(DataFolder::defaultRelative()).referenceFolder());
    const QString first = m_recentFolders->first();
    m_dataFolder =
        first.isEmpty() || first == RecentList::kNone ? DataFolder::defaultRelative() : first;
    if (!here.mkpath(m_dataFolder)) {
        m_dataFolder = DataFolder::defaultRelative();
        here.mkpath(m_dataFolder);
    }
}

int Nelvora::stopBringUp(int result) {
    setEnabled(false);
    return result;
}

int Nelvora::BringUpDevices() {
    endRecording();
    // A board still open is stopped and closed before the library is loaded again under it.
    if (m_slotA || m_libraryLoaded) {
        releaseSlot();
        ShutdownDevices();
    }
    m_deviceCount = 0;
    m_bringUpComplete = false;
    int result = LoadCameraLibrary();
    if (result < 0) {
        return stopBringUp(result);
    }
    m_libraryLoaded = true;
    const int found = FindCameraDevices();
    if (found < 0) {
        return stopBringUp(found);
    }
    if (found == 1) {
        m_bringUpComplete = true;
        CamContext* handle = nullptr;
        result = OpenCameraDevice(handle, 0);
        if (result < 0) {
            return stopBringUp(result);
        }
        // Kept at once, so that a stop from here on still closes the board.
        m_devices.append(handle);
        result = CheckFirmwareVersions(handle, 0);
        if (result < 0) {
            return stopBringUp(result);
        }
        result = InitialiseDevice(handle, 0);
        m_bringUpComplete = m_bringUpComplete && result == 0;
        if (result < 0) {
            return stopBringUp(result);
        }
        if (m_bringUpComplete && PublishVersions(found) < 0) {
            return stopBringUp(kNoSingleDevice);
        }
        result = CreateCameraSlots(found);
        if (result < 0) {
            return stopBringUp(result);
        }
    }
    const bool ready = m_deviceCount == 1 && m_bringUpComplete;
    m_illuminationLevel = std::clamp(m_illuminationSetting, kMinIllumination, kMaxIllumination);
    ui->illuminationLevelLabel->setText(
        QStringLiteral("%1%").arg(10 * m_illuminationSetting, 3, 10, QLatin1Char('0')));
    ledTabPage* ledPage = ready ? ledTabPage::instance() : nullptr;
    const bool led = ledPage != nullptr && ledPage->available();
    enableDeviceControls(ready, led);
    if (led) {
        SetIllumination(m_illuminationSetting);
    } else if (ready) {
        PromptService::warning(
            this, ViewerVersion::windowTitle(),
            QStringLiteral("LED Controller Disabled due to LED options unavailable...\n") +
                QStringLiteral("You may close the program and check if each connected boards "
                               "has an LED controller...\n") +
                QStringLiteral("Program will be terminatedOr click \"OK\" to proceed without "
                               "LED control...."));
    }
    if (found == 1) {
        connectDeviceControls();
    }
    if (m_deviceCount == 1 && m_selectedDevice >= 0 && m_bringUpComplete) {
        startStream();
    }
    return 0;
}

void Nelvora::enableDeviceControls(bool ready, bool led) {
    ui->menuButton->setEnabled(ready);
    ui->menuLabel->setEnabled(ready);
    for (QWidget* widget : {static_cast<QWidget*>(ui->illuminationSpinUpButton),
                            static_cast<QWidget*>(ui->illuminationSpinDownButton),
                            static_cast<QWidget*>(ui->illuminationLabel),
                            static_cast<QWidget*>(ui->illuminationLevelLabel)}) {
        widget->setEnabled(led);
    }
    resetPhotoCount();
    for (QWidget* widget :
         {static_cast<QWidget*>(ui->photoButton), static_cast<QWidget*>(ui->photoLabel),
          static_cast<QWidget*>(ui->photoNumberLabel)}) {
        widget->setEnabled(ready);
    }
    ui->recordTimeLabel->setText(durationText(0));
    for (QWidget* widget :
         {static_cast<QWidget*>(ui->videoButton), static_cast<QWidget*>(ui->recordLabel),
          static_cast<QWidget*>(ui->recordTimeLabel)}) {
        widget->setEnabled(ready);
    }
}

void Nelvora::connectDeviceControls() {
    disconnectDeviceControls();
    if (ui->photoButton->isEnabled()) {
        m_deviceConnections.push_back(
            connect(ui->photoButton, &QPushButton::clicked, this, &Nelvora::OnPhotoButtonClicked));
    }
    if (ui->illuminationSpinUpButton->isEnabled()) {
        m_deviceConnections.push_back(connect(ui->illuminationSpinUpButton, &QPushButton::clicked,
                                              this, &Nelvora::OnIlluminationSpinUpButtonClicked));
    }
    if (ui->illuminationSpinDownButton->isEnabled()) {
        m_deviceConnections.push_back(connect(ui->illuminationSpinDownButton, &QPushButton::clicked,
                                              this, &Nelvora::OnIlluminationSpinDownButtonClicked));
    }
    if (ui->videoButton->isEnabled()) {
        m_deviceConnections.push_back(
            connect(ui->videoButton, &QPushButton::clicked, this, &Nelvora::OnVideoButtonClicked));
    }
    if (ui->menuButton->isEnabled()) {
        m_deviceConnections.push_back(
            connect(ui->menuButton, &QPushButton::clicked, this, &Nelvora::OnMenuButtonClicked));
    }
    if (m_frameCounts) {
        m_deviceConnections.push_back(connect(m_frameCounts,
                                              &KX::KXFrameCountsSignal::frameCountsSignal, this,
                                              &Nelvora::OnFrameCountsSignal));
    }
    if (m_slotA) {
        m_deviceConnections.push_back(connect(m_slotA->displaySignal(),
                                              &KX::KXDisplaySignal::displaySignal, this,
                                              &Nelvora::OnDisplaySignalA));
        m_deviceConnections.push_back(connect(m_slotA->stopCallbackSignal(),
                                              &KX::KXStopCallbackSignal::stopCallbackSignal, this,
                                              &Nelvora::OnStopCallbackSignalA));
        m_deviceConnections.push_back(connect(m_slotA->buttonNotifySignal(),
                                              &KX::KXButtonNotifySignal::buttonNotifySignal, this,
                                              &Nelvora::OnButtonNotifySignalA));
        m_deviceConnections.push_back(connect(m_slotA->exitAppSignal(),
                                              &KX::KXExitAppSignal::exitAppSignal, this,
                                              &Nelvora::OnExitAppSignal));
        // A controller firmware load on the FPGA page ends the program the same way, once the
        // page's command has finished.
        if (FPGATabPage* fpgaPage = FPGATabPage::instance()) {
            m_deviceConnections.push_back(
                connect(fpgaPage, &FPGATabPage::exitAppSignal, m_slotA->exitAppSignal(),
                        &KX::KXExitAppSignal::exitAppSignal, Qt::QueuedConnection));
        }
    }
}

void Nelvora::disconnectDeviceControls() {
    for (const QMetaObject::Connection& connection : m_deviceConnections) {
        disconnect(connection);
    }
    m_deviceConnections.clear();
}

void Nelvora::startStream() {
    CamContext* handle = m_devices.value(m_selectedDevice);
    if (acquireImageStream(handle, &FrameCallback::onFrame, m_selectedDevice) < 0) {
        PromptService::warning(this, ViewerVersion::windowTitle(),
                               QStringLiteral("ERROR:: Fail to setup callback routime and starts "
                                              "the acuisition threads"));
    } else {
        m_streaming = true;
    }
    if (m_slotA) {
        m_slotA->showPicture(QImage(QString::fromLatin1(kColourBars)));
    }
}

int Nelvora::LoadCameraLibrary() {
    return CameraLibraryGate::load(this);
}

int Nelvora::FindCameraDevices() {
    int found = findCxDevices();
    m_deviceCount = found;
    if (found > 0) {
        std::vector<std::string> names;
        found = getCxDeviceNames(names);
        m_deviceNames.clear();
        for (const std::string& name : names) {
            m_deviceNames << QString::fromStdString(name);
        }
        m_deviceCount = found;
    }
    if (found == 1) {
        m_selectedDevice = 0;
        return 1;
    }
    const QString reason = found <= 0
                               ? QStringLiteral("ERROR::Fail to find Velquin's camera devices.\n")
                               : QStringLiteral(
                                     "ERROR::More than 1 Velquin's camera devices are "
                                     "found.\n");
    if (!PromptService::askYesNo(this, QMessageBox::Warning, ViewerVersion::windowTitle(),
                                 reason + QStringLiteral("Continue(Y/N)>?"))) {
        return -3;
    }
    m_selectedDevice = -1;
    return std::max(found, 0);
}

int Nelvora::OpenCameraDevice(CamContext*& handle, int i) {
    handle = nullptr;
    if (m_deviceCount == 1 && i >= 0 && i < 1) {
        const QString name = m_deviceNames.value(i);
        // Boards whose name begins with "OV" deliver frames of twice the size. Computed from the
        // fixed geometry each time, so that a second bring-up does not double it again.
        m_frameByteCount = kFrameWidth * kFrameHeight * kBytesPerPixel;
        if (name.left(2) == QStringLiteral("OV")) {
            m_frameByteCount *= 2;
        }
        handle = openCxDevice(name.toStdString(), kFrameWidth, kFrameHeight, m_frameByteCount,
                              nullptr, nullptr);
        if (handle != nullptr) {
            return 1;
        }
    }
    const bool goOn = PromptService::askYesNo(
        this, QMessageBox::Critical, ViewerVersion::windowTitle(),
        QStringLiteral("ERROR::Fail to open camera device(%1) to initialize "
                       "registers!!!...\nContinue(Y/N)?")
            .arg(i));
    return goOn ? 0 : -4;
}

int Nelvora::CheckFirmwareVersions(CamContext* handle, int) {
    bool restart = false;
    const int result = FirmwareGate::check(this, handle, restart);
    if (restart) {
        endProgram(0);
        return kRestartAfterMcuLoad;
    }
    return result;
}

int Nelvora::InitialiseDevice(CamContext* handle, int) {
    return DeviceInitialiser::initialise(
        this, handle, QString::fromLatin1(kRegFile),
        DeviceInitialiser::gammaFiles(VelquinRoot::path(QString::fromLatin1(kGammaFolder))));
}

int Nelvora::PublishVersions(int count) {
    if (m_deviceCount != 1) {
        return kNoSingleDevice;
    }
    m_tools.publish(count, m_deviceNames, m_devices);
    // The LED page hosted by the tools' setup dialog probes the board's LED controller.
    if (ledTabPage* ledPage = ledTabPage::instance()) {
        ledPage->initialise(nullptr, count, m_deviceNames, m_devices);
    }
    CamContext* handle = m_devices.value(0);
    m_identity = BoardIdentity(handle, m_deviceNames.value(0));
    const int major = BoardVersions::fpgaMajor(handle);
    const int minor = BoardVersions::fpgaMinor(handle);
    const int mcu = BoardVersions::mcu(handle);
    if (helpDialog* help = helpDialog::instance()) {
        help->setSoftwareVersion(QString::fromLatin1(ViewerVersion::text()));
        help->setLibraryVersion(QString::fromLatin1(getCxLibVersionLabel()));
        help->setFpgaVersion(QString::asprintf("FPGA(0)[%x.%02x] ", major, minor));
        help->setMcuVersion(QString::asprintf("MCU(0)[%03x] ", mcu));
    }
    return 0;
}

int Nelvora::CreateCameraSlots(int) {
    if (m_deviceCount != 1) {
        return 0;
    }
    m_slotA = std::make_unique<CameraSlot>(0, m_devices.value(0), m_frameByteCount, this,
                                           ui->imageLabel, ViewerVersion::text());
    delete m_frameCounts;
    m_frameCounts = new KX::KXFrameCountsSignal(this);
    FrameCallback::attach(m_slotA.get());
    FrameCallback::setFrameCounts(m_frameCounts);
    return 0;
}

ImageDraw* Nelvora::canvas() const {
    return m_slotA ? m_slotA->canvas() : nullptr;
}

void Nelvora::SetIllumination(int level) {
    m_illuminationLevel = std::clamp(level, kMinIllumination, kMaxIllumination);
    ui->illuminationLevelLabel->setText(
        QStringLiteral("%1").arg(kIlluminationTexts[m_illuminationLevel], 0, QLatin1Char(' ')));
    if (ledTabPage* ledPage = ledTabPage::instance()) {
        ledPage->setIllumination(m_selectedDevice, m_illuminationLevel);
    }
}

void Nelvora::OnIlluminationSpinUpButtonClicked() {
    SetIllumination(m_illuminationLevel >= kMaxIllumination ? kMinIllumination
                                                            : m_illuminationLevel + 1);
}

void Nelvora::OnIlluminationSpinDownButtonClicked() {
    SetIllumination(m_illuminationLevel <= kMinIllumination ? kMaxIllumination
                                                            : m_illuminationLevel - 1);
}

void Nelvora::showClock() {
    const QDateTime now = QDateTime::currentDateTime();
    ui->dateLabel->setText(now.toString(QStringLiteral("MMMM dd, yyyy")));
    ui->timeLabel->setText(now.toString(QStringLiteral("hh:mm:ss")));
}

void Nelvora::OnSecTimeout() {
    showClock();
    logMessage(QString::asprintf("FPS=%i", m_frameCounter).toLatin1().constData());
    m_frameCounter = 0;
}

void Nelvora::OnDisplaySignalA(int) {
    if (!m_slotA) {
        return;
    }
    int crop = 0;
    readRegister(m_devices.value(0), BoardVersions::kFpgaSlave, kFrameCropRegister, &crop, 0);
    m_slotA->placeNewestFrame((crop & 1) != 0);
}

void Nelvora::OnButtonNotifySignalA(int xwState) {
    // Active low, in this order: up, down, record, photo.
    const std::array<QAbstractButton*, 4> buttons = {ui->illuminationSpinUpButton,
                                                     ui->illuminationSpinDownButton,
                                                     ui->videoButton, ui->photoButton};
    for (std::size_t bit = 0; bit < buttons.size(); ++bit) {
        if ((xwState & (1 << bit)) == 0 && buttons[bit]->isEnabled()) {
            buttons[bit]->click();
        }
    }
}

void Nelvora::OnFrameCountsSignal() {
    ++m_frameCounter;
    const QDateTime now = m_clock();
    if (!m_recording) {
        return;
    }
    if (m_slotA) {
        m_recorder->addFrame(m_slotA->frameImage(), m_recordStart.msecsTo(now));
    }
    const qint64 s = m_recordStart.secsTo(now);
    ui->recordTimeLabel->setText(durationText(s));
    if ((s / 3600) * 60 + (s / 60) % 60 >= kRecordingLimitMinutes) {
        ui->videoButton->click();
        PromptService::warning(this, QStringLiteral("Video Recording"),
                               QStringLiteral("Video length exceeds limit of %1 minutes. Recording "
                                              "has been stopped.")
                                   .arg(kRecordingLimitMinutes));
    }
}

void Nelvora::OnVideoButtonClicked() {
    if (!dataFolderIsCurrent(QStringLiteral("path"))) {
        return;
    }
    m_recording = !m_recording;
    if (m_recording) {
        startRecording();
    } else {
        stopRecording();
    }
}

void Nelvora::setRecorder(std::unique_ptr<VideoRecorder> recorder) {
    if (m_recording) {
        return;
    }
    m_recorder = std::move(recorder);
    connect(m_recorder.get(), &VideoRecorder::writeFailed, this, &Nelvora::onRecordingWriteFailed);
}

void Nelvora::startRecording() {
    ui->chooseFolderLocButton->setEnabled(false);
    ui->newFolderComboBox->setEnabled(false);
    m_recordStart = m_clock();
    ui->videoButton->setIcon(QIcon(QString::fromLatin1(kRecordingIcon)));
    ui->recordLabel->setText(QStringLiteral("STOP"));
    ui->recordTimeLabel->setText(durationText(0));
    QDir().mkpath(m_dataFolder);
    const QString fileName = DataFolder(m_dataFolder).videoName(m_recordStart);
    if (m_recorder->start(fileName, captureContext(m_recordStart, false))) {
        return;
    }
    // No file, no recording: the operator is told instead of believing one is made.
    m_recording = false;
    stopRecording();
    PromptService::warning(this, QStringLiteral("Video Recording"),
                           QStringLiteral("WARNING::Failed to create the video file %1...\n%2")
                               .arg(fileName, m_recorder->errorText()));
}

bool Nelvora::stopRecording() {
    ui->videoButton->setIcon(QIcon(QString::fromLatin1(kRecordIcon)));
    ui->recordLabel->setText(QStringLiteral("RECORD"));
    bool finished = true;
    if (m_recorder->recording()) {
        finished = m_recorder->stop(m_recordStart.msecsTo(m_clock()));
        logMessage(QStringLiteral("Recording %1: %2 frames written, %3 dropped waiting for the "
                                  "encoder%4")
                       .arg(m_recorder->fileName())
                       .arg(m_recorder->framesWritten())
                       .arg(m_recorder->framesDropped())
                       .arg(finished ? QString() : QStringLiteral(", not finished"))
                       .toUtf8()
                       .constData());
    }
    ui->chooseFolderLocButton->setEnabled(true);
    ui->newFolderComboBox->setEnabled(true);
    return finished;
}

void Nelvora::endRecording() {
    if (!m_recording) {
        return;
    }
    m_recording = false;
    if (!stopRecording()) {
        PromptService::warning(this, QStringLiteral("Video Recording"),
                               QStringLiteral("WARNING::%1 It will be repaired at the next start.")
                                   .arg(m_recorder->errorText()));
    }
}

void Nelvora::onRecordingWriteFailed(const QString&, const QString& reason) {
    if (m_recording) {
        m_recording = false;
        stopRecording();
    }
    PromptService::warning(this, QStringLiteral("Video Recording"),
                           QStringLiteral("WARNING::Recording stopped. %1 What was recorded up to "
                                          "then is kept.")
                               .arg(reason));
}

void Nelvora::repairUnfinishedRecordings() {
    QStringList folders;
    for (int i = 0; i < ui->newFolderComboBox->count(); ++i) {
        folders << ui->newFolderComboBox->itemText(i);
    }
    const QDir root(DataFolder::root());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        folders << root.filePath(name);
    }
    QStringList repaired;
    QStringList lost;
    for (const RecordingRecovery::Result& result : RecordingRecovery::recover(folders)) {
        if (result.repaired) {
            repaired << QStringLiteral("%1 (%2 frames)").arg(result.fileName).arg(result.frames);
        } else {
            lost << QStringLiteral("%1: %2").arg(result.fileName, result.errorText);
        }
    }
    if (!repaired.isEmpty()) {
        PromptService::information(
            this, ViewerVersion::windowTitle(),
            QStringLiteral("INFO::These recordings were not finished when the program last "
                           "ended. They have been repaired and play again:\n") +
                repaired.join(QLatin1Char('\n')));
    }
    if (!lost.isEmpty()) {
        PromptService::warning(this, ViewerVersion::windowTitle(),
                               QStringLiteral("WARNING::These unfinished recordings could not be "
                                              "repaired:\n") +
                                   lost.join(QLatin1Char('\n')));
    }
}

void Nelvora::OnStopCallbackSignalA(int nDevNoSel) {
    acquireImageStream(m_devices.value(nDevNoSel), nullptr, 0);
    m_streaming = false;
}

void Nelvora::OnExitAppSignal() {
    endProgram(0);
}

void Nelvora::endProgram(int status) {
    endRecording();
    releaseSlot();
    if (m_libraryLoaded) {
        ShutdownDevices();
    }
    m_bringUpComplete = false;
    m_exitStatus = status;
    QCoreApplication::exit(status);
}

void Nelvora::showPhotoCount(int count) {
    m_photoCount = count;
    ui->photoNumberLabel->setText(QStringLiteral("%1").arg(m_photoCount));
}

void Nelvora::resetPhotoCount() {
    showPhotoCount(0);
}

bool Nelvora::dataFolderIsCurrent(const QString& choose) {
    if (ui->newFolderComboBox->currentText() == m_dataFolder) {
        return true;
    }
    PromptService::warning(
        this, kUtilityToolsTitle.arg(QString::fromLatin1(ViewerVersion::text())),
        QStringLiteral("WARNING::The image data directory is invalid, please choose a new %1.")
            .arg(choose));
    return false;
}

void Nelvora::showReference(const QString& fileName) {
    ui->refImageLabel->setPixmap(QPixmap(fileName));
}

CaptureContext Nelvora::captureContext(const QDateTime& at, bool reference) const {
    CaptureContext context;
    context.captureTime = at;
    context.modelLabel = m_identity.modelLabel();
    context.serialNumber = m_identity.serialNumber();
    context.fpgaVersion = m_identity.fpgaVersion();
    context.mcuVersion = m_identity.mcuVersion();
    context.illumination = 10 * m_illuminationLevel;
    context.reference = reference;
    return context;
}

void Nelvora::OnPhotoButtonClicked() {
    if (!dataFolderIsCurrent(QStringLiteral("folder"))) {
        return;
    }
    if (!m_slotA) {
        return;
    }
    ui->photoButton->setEnabled(false);
    const QImage image = m_slotA->frameImage();
    const QDateTime now = m_clock();
    const bool reference = ui->saveRefCheckBox->isChecked();
    const DataFolder folder(m_dataFolder);
    QString fileName;
    if (!reference) {
        QDir().mkpath(m_dataFolder);
        fileName = folder.photoName(now, m_photoCount);
    } else {
        QDir().mkpath(folder.referenceFolder());
        fileName = folder.referenceName(now, m_photoCount);
    }
    QString error;
    const QString written =
        PhotoWriter::write(image, fileName, captureContext(now, reference), &error);
    if (written.isEmpty()) {
        PromptService::warning(
            this, kUtilityTitle.arg(QString::fromLatin1(ViewerVersion::text())),
            QStringLiteral("WARNING::Failed to save image to %1...").arg(fileName));
    } else {
        showPhotoCount(m_photoCount + 1);
        if (reference) {
            // Listed once it exists, under the name it got.
            m_recentReferences->insert(written);
            showReference(written);
        }
    }
    ui->photoButton->setEnabled(true);
}

void Nelvora::OnChooseRefButtonClicked() {
    const QSignalBlocker blocker(ui->chooseRefComboBox);
    const QString first = m_recentReferences->first();
    const QString folder = first == RecentList::kNone ? DataFolder(m_dataFolder).referenceFolder()
                                                      : QFileInfo(first).absolutePath();
    const QString answer = PromptService::current().openFileName(
        this, QStringLiteral("Open Reference Image"), folder, kReferenceFilter);
    if (answer.isEmpty()) {
        return;
    }
    const QString fileName = QDir::toNativeSeparators(answer);
    m_recentReferences->insert(fileName);
    showReference(fileName);
}

void Nelvora::OnChooseRefComboBoxSelected(int nIndedx) {
    const QSignalBlocker blocker(ui->chooseRefComboBox);
    const QString fileName = ui->chooseRefComboBox->itemText(nIndedx);
    if (!QFileInfo::exists(fileName)) {
        PromptService::warning(this, ViewerVersion::windowTitle(),
                               QStringLiteral("Error:: Could not find the file specified"));
        return;
    }
    showReference(fileName);
    m_recentReferences->moveToTop(nIndedx);
}

void Nelvora::OnChooseFolderLocButtonClicked() {
    const QSignalBlocker blocker(ui->newFolderComboBox);
    endRecording();
    const QString answer = PromptService::current().existingFolder(
        this, QStringLiteral("Choose Directory"), m_dataFolder);
    if (answer.isEmpty()) {
        return;
    }
    const QString folder = QDir::toNativeSeparators(answer);
    if (folder != m_dataFolder) {
        m_dataFolder = folder;
        m_recentFolders->insert(folder);
    }
    ui->newFolderComboBox->setCurrentIndex(ui->newFolderComboBox->findText(m_dataFolder));
    resetPhotoCount();
}

void Nelvora::OnNewFolderComboBoxSelected(int nIndex) {
    const QSignalBlocker blocker(ui->newFolderComboBox);
    const QString folder = ui->newFolderComboBox->itemText(nIndex);
    if (!QFileInfo(folder).isDir()) {
        PromptService::warning(
            this, ViewerVersion::windowTitle(),
            QStringLiteral("Warning::Invalid folder path.\r\n\r\nUse the Select Folder Button to "
                           "browse for a folder or choose a new one from your list of most "
                           "recents."));
        return;
    }
    m_recentFolders->moveToTop(nIndex);
    m_dataFolder = folder;
    resetPhotoCount();
}

void Nelvora::OnMenuButtonClicked() {
    const bool reference = ui->saveRefCheckBox->isChecked();
    const QString folder =
        reference ? QFileInfo(m_recentReferences->first()).absolutePath() : m_dataFolder;
    const QString filter =
        reference ? QStringLiteral("Reference Images (ref*.png);;Nelvora Images (img*.png);;")
                  : QStringLiteral("Nelvora Images (img*.png);;Reference Images (ref*.png);;");
    const QString answer = PromptService::current().openFileName(
        this, QStringLiteral("Open Data"), folder, filter + kReviewFilterTail);
    // A cancelled dialog opens nothing.
    if (!answer.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(answer));
    }
}

void Nelvora::OnUSBNotification(int nNotification) {
    // A board taking new controller firmware leaves and comes back: none of it counts.
    if (FirmwareLoadLock::isSet()) {
        return;
    }
    if (nNotification == USBNotification::kArrival) {
        if (m_deviceCount == 1) {
            logMessage("A camera board arrived while one runs; the arrival is ignored.");
            return;
        }
        if (!m_arrivalWait->isActive()) {
            m_arrivalWait->start();
        }
    } else if (nNotification == USBNotification::kRemoval) {
        // A board that left during its wait is not brought up.
        m_arrivalWait->stop();
        ReleaseDevices();
        PromptService::information(this, ViewerVersion::windowTitle(),
                                   QStringLiteral("ALERT::The camera device has been removed"));
    }
}

void Nelvora::bringUpArrivedBoard() {
    PromptService::information(this, ViewerVersion::windowTitle(),
                               QStringLiteral("ALERT::A camera device has been inserted"));
    // A bring-up that stopped earlier left the window disabled; this one decides again.
    setEnabled(true);
    BringUpDevices();
}

void Nelvora::setArrivalWait(int ms) {
    m_arrivalWait->setInterval(ms);
}

bool Nelvora::arrivalPending() const {
    return m_arrivalWait->isActive();
}

void Nelvora::OnAboutNelvoraButtonClicked() {
    m_about->show();
    m_about->setSoftwareVersion(QString::asprintf("%d.%02d.%02d.%03d", 1, 2, 0, 1));
    if (m_bringUpComplete) {
        int major = 0;
        int minor = 0;
        int revision = 0;
        int build = 0;
        getCxLibVersion(&major, &minor, &revision, &build);
        CamContext* handle = m_devices.value(0);
        const int mcu = BoardVersions::mcu(handle);
        m_about->setLibraryVersion(
            QString::asprintf("%d.%d.%02d.%03d", major, minor, revision, build));
        m_about->setFpgaVersion(QString::asprintf("%x.%02x", BoardVersions::fpgaMajor(handle),
                                                  BoardVersions::fpgaMinor(handle)));
        m_about->setMcuVersion(QString::asprintf("%x.%02x", mcu / 256, mcu % 256));
    } else {
        m_about->setLibraryVersion(QString());
        m_about->setFpgaVersion(QString());
        m_about->setMcuVersion(QString());
    }
}

void Nelvora::OnToolsButtonClicked() {
    m_tools.open();
}

void Nelvora::ReleaseDevices() {
    if (m_deviceCount != 1) {
        PromptService::warning(this, ViewerVersion::windowTitle(),
                               QStringLiteral("WARNING::There are no Cx devices has been "
                                              "inserted...\nThis unplug event will be "
                                              "ignored..."));
        return;
    }
    endRecording();
    if (m_bringUpComplete) {
        SetIllumination(0);
    }
    releaseSlot();
    if (toolsDialog* tools = toolsDialog::instance()) {
        tools->close();
    }
    m_tools.forgetDevices();
    // Without a board nothing of it can be used until one is brought up again.
    enableDeviceControls(false, false);
    if (ShutdownDevices() != 0) {
        PromptService::warning(this, ViewerVersion::windowTitle(),
                               QStringLiteral("WARNING::Fail to unload existing Cx device and  "
                                              "CxLib...."));
    }
    // The board's frame buffers, its threads' heaps and the recording's encoder are freed: their
    // memory goes back to the system, so a scope plugged in and out all day keeps its footprint.
    malloc_trim(0);
}

void Nelvora::releaseSlot() {
    disconnectDeviceControls();
    if (m_streaming) {
        OnStopCallbackSignalA(m_slotA ? m_slotA->deviceNumber() : 0);
        // A frame callback that was running when the stream stopped finishes first.
        QThread::msleep(kCallbackDrainMs);
    }
    FrameCallback::attach(nullptr);
    FrameCallback::setFrameCounts(nullptr);
    m_slotA.reset();
    delete m_frameCounts;
    m_frameCounts = nullptr;
}

int Nelvora::ShutdownDevices() {
    const int mask = DeviceShutdown::run(this, m_devices, m_deviceNames);
    m_deviceCount = 0;
    m_libraryLoaded = false;
    return mask;
}

void Nelvora::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (toolsDialog* tools = toolsDialog::instance()) {
        tools->hide();
    }
}

}  // namespace hv
