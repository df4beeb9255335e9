#include "CameraSlot.h"

#include "ImageDraw.h"

namespace hv {

CameraSlot::CameraSlot(int deviceNumber, CamContext* handle, int frameBytes, QObject* signalParent,
                       QWidget* canvasParent, const char* versionText)
    : m_deviceNumber(deviceNumber),
      m_handle(handle),
      m_converter(kWidth, kHeight),
      m_canvas(new ImageDraw(canvasParent)),
      m_display(new KX::KXDisplaySignal(signalParent)),
      m_stopCallback(new KX::KXStopCallbackSignal(signalParent)),
      m_buttonNotify(new KX::KXButtonNotifySignal(signalParent)),
      m_exitApp(new KX::KXExitAppSignal(signalParent)) {
    if (handle != nullptr && cxContextHead(handle)->kindTag == 1) {
        m_handOff = std::make_unique<FrameHandOff>(frameBytes);
    }
    m_canvas->setAttribute(Qt::WA_MouseTracking, false);
    m_canvas->setVersionText(versionText);
    m_canvas->setLive(true);
}

CameraSlot::~CameraSlot() {
    delete m_canvas;
    delete m_display;
    delete m_stopCallback;
    delete m_buttonNotify;
    delete m_exitApp;
}

void CameraSlot::showPicture(const QImage& picture) {
    m_canvas->setAttribute(Qt::WA_MouseTracking, false);
    m_canvas->setUpdatesEnabled(true);
    m_canvas->setImage(0, 0, picture, 0, 0, kShownEdge, kShownEdge, nullptr);
}

bool CameraSlot::placeNewestFrame(bool crop) {
    if (!m_handOff) {
        return false;
    }
    const uint8_t* frame = m_handOff->beginPlacing();
    if (frame != nullptr) {
        const QImage& image = m_converter.convert(frame);
        const int edge = crop ? kCroppedEdge : kShownEdge;
        const int offset = crop ? kCropOffset : 0;
        m_canvas->setPixelSource(frame, kWidth, kHeight, kColourModeRgb8);
        m_canvas->setImage(0, 0, m_converter.scaled(edge), offset, offset, kShownEdge, kShownEdge,
                           &image);
        m_canvas->setFrameTime(m_handOff->shownOfferedAt());
    }
    m_handOff->endPlacing();
    return frame != nullptr;
}

}  // namespace hv
