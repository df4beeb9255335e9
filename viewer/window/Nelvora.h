// The main window: the live picture of the one board it drives, the illumination, photo, record
// and review controls, the reference picture and the data folders, the clock, and the way into
// the tools. Construction brings the board up through its gates; a gate that stops leaves the
// window disabled, and the program then ends without showing it.
#pragma once

#include <QDateTime>
#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <kxCamContextHead.h>
#include "BoardIdentity.h"
#include "CaptureContext.h"
#include "RecentList.h"
#include "ToolsAccess.h"

namespace Ui {
class Nelvora;
}

namespace KX {
class KXFrameCountsSignal;
}

namespace hv {

class CameraSlot;
class ImageDraw;
class USBNotification;
class VideoRecorder;
class helpDialog;

class Nelvora : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kFrameWidth = 400;
    static constexpr int kFrameHeight = 400;
    static constexpr int kBytesPerPixel = 3;
    static constexpr int kMinIllumination = 0;
    static constexpr int kMaxIllumination = 10;

    explicit Nelvora(QWidget* parent = nullptr);
    ~Nelvora() override;

    // Bring-up, in the order BringUpDevices runs them; negative results stop it.
    int BringUpDevices();
    int LoadCameraLibrary();
    int FindCameraDevices();
    int OpenCameraDevice(CamContext*& handle, int i);
    int CheckFirmwareVersions(CamContext* handle, int i);
    int InitialiseDevice(CamContext* handle, int i);
    int PublishVersions(int count);
    int CreateCameraSlots(int count);
    // Teardown of the running board, and of the library.
    void ReleaseDevices();
    int ShutdownDevices();
    void SetIllumination(int level);

    // The status the program ends with when the window asked it to end (after the board's USB
    // controller took new firmware, or after a firmware load of the tools); none otherwise.
    std::optional<int> exitStatus() const { return m_exitStatus; }

    int deviceCount() const { return m_deviceCount; }
    int selectedDevice() const { return m_selectedDevice; }
    int frameByteCount() const { return m_frameByteCount; }
    bool bringUpComplete() const { return m_bringUpComplete; }
    bool streaming() const { return m_streaming; }
    int illuminationLevel() const { return m_illuminationLevel; }
    int frameCounter() const { return m_frameCounter; }
    const QList<CamContext*>& openDevices() const { return m_devices; }
    // Camera slot A and its canvas; null without a slot.
    CameraSlot* cameraSlot() const { return m_slotA.get(); }
    ImageDraw* canvas() const;
    // The current user type handed to the tools dialog.
    int userAccess() const { return m_tools.currentUserType(); }
    // Where photos and recordings go, and the photos taken there since it was chosen.
    const QString& dataFolder() const { return m_dataFolder; }
    int photoCount() const { return m_photoCount; }
    USBNotification* usbNotification() const { return m_usbNotification; }
    bool recording() const { return m_recording; }
    VideoRecorder* recorder() const { return m_recorder.get(); }
    // Replaces the recorder of the recordings to come (tests watch its encoder); not while one
    // records.
    void setRecorder(std::unique_ptr<VideoRecorder> recorder);
    // Recordings stop by themselves after this many whole minutes.
    static constexpr int kRecordingLimitMinutes = 10;
    // The clock that stamps photos and times recordings (the system's by default).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // How long an arriving board is given to come up before it is brought up.
    static constexpr int kArrivalWaitMs = 5000;
    void setArrivalWait(int ms);
    bool arrivalPending() const;

public slots:
    void OnSecTimeout();
    void OnPhotoButtonClicked();
    void OnVideoButtonClicked();
    void OnMenuButtonClicked();
    void OnIlluminationSpinUpButtonClicked();
    void OnIlluminationSpinDownButtonClicked();
    void OnDisplaySignalA(int nDevNoSel);
    void OnExitAppSignal();
    void OnUSBNotification(int nNotification);
    void OnStopCallbackSignalA(int nDevNoSel);
    void OnButtonNotifySignalA(int xwState);
    void OnFrameCountsSignal();
    void OnChooseRefButtonClicked();
    void OnChooseRefComboBoxSelected(int nIndedx);
    void OnChooseFolderLocButtonClicked();
    void OnNewFolderComboBoxSelected(int nIndex);
    void OnAboutNelvoraButtonClicked();
    void OnToolsButtonClicked();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // Ends bring-up: the window disabled, the result handed back.
    int stopBringUp(int result);
    void enableDeviceControls(bool ready, bool led);
    void connectDeviceControls();
    void disconnectDeviceControls();
    void startStream();
    // Stops the stream and frees camera slot A (and the frame-counts object).
    void releaseSlot();
    // Leaves the program with status: the stream stopped and the boards closed first.
    void endProgram(int status);
    // The one-second clock's date and time.
    void showClock();
    // The data folders the window needs in its working folder.
    void createDataFolders();
    // The photo count set and shown; back to 0.
    void showPhotoCount(int count);
    void resetPhotoCount();
    // True when the folder list's current entry is the data folder; otherwise the operator is
    // told to choose a new one (choose: "folder" for photos, "path" for recordings).
    bool dataFolderIsCurrent(const QString& choose);
    void showReference(const QString& fileName);
    // The context of a photo or recording taken now.
    CaptureContext captureContext(const QDateTime& at, bool reference) const;
    // The arrival wait has run out: the alert, then the bring-up.
    void bringUpArrivedBoard();
    // The two halves of the record button; stopping reports whether the file was finished.
    void startRecording();
    bool stopRecording();
    // Stops a running recording (a folder change, a board leaving, the end of the program).
    void endRecording();
    void onRecordingWriteFailed(const QString& fileName, const QString& reason);
    // Repairs the recordings a crash left unfinished in the data folders, and says which.
    void repairUnfinishedRecordings();

    std::unique_ptr<Ui::Nelvora> ui;
    QStringList m_deviceNames;
    QList<CamContext*> m_devices;
    ToolsAccess m_tools;
    USBNotification* m_usbNotification = nullptr;
    QTimer* m_timer = nullptr;
    // Waits for an arrived board to come up, without holding the GUI thread.
    QTimer* m_arrivalWait = nullptr;
    std::unique_ptr<RecentList> m_recentFolders;
    std::unique_ptr<RecentList> m_recentReferences;
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;
    // The encoder of every recording of the run.
    std::unique_ptr<VideoRecorder> m_recorder;
    QDateTime m_recordStart;
    BoardIdentity m_identity;
    std::unique_ptr<helpDialog> m_about;
    std::unique_ptr<CameraSlot> m_slotA;
    KX::KXFrameCountsSignal* m_frameCounts = nullptr;
    std::vector<QMetaObject::Connection> m_deviceConnections;
    QString m_dataFolder;
    int m_deviceCount = 0;
    int m_selectedDevice = 0;
    int m_frameByteCount = kFrameWidth * kFrameHeight * kBytesPerPixel;
    int m_frameCounter = 0;
    int m_illuminationSetting = 0;
    int m_photoCount = 0;
    int m_illuminationLevel = 5;
    bool m_bringUpComplete = false;
    bool m_libraryLoaded = false;
    bool m_streaming = false;
    bool m_recording = false;
    std::optional<int> m_exitStatus;
};

}  // namespace hv
