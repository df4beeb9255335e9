// What every page of the setup dialog shares: it is built inside its tab on the first
// initialisation, keeps copies of the device names and handles it was given, lists the names in
// its "Device#" combo and reads its state from the chosen device. A page talks to the board only
// through the handles it was given.
#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

#include <kxCamContextHead.h>

class QComboBox;

namespace hv {

class TabPage : public QWidget {
    Q_OBJECT

public:
    explicit TabPage(QWidget* parent = nullptr);

    // On the first call the page builds its form; every call with a parent places the page inside
    // it (its tab) unless it is there already.
    // Every call copies the lists; with devices, the combo lists their names, the first is
    // selected and the page reads its state from device 0.
    virtual void initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                            const QList<CamContext*>& deviceHandles);

    int deviceCount() const { return m_deviceCount; }
    const QStringList& deviceNames() const { return m_deviceNames; }
    const QList<CamContext*>& deviceHandles() const { return m_deviceHandles; }
    // The handle at index, or null outside the list.
    CamContext* handleAt(int index) const;
    bool formBuilt() const { return m_formBuilt; }

public slots:
    // The combo's index chooses the device; the page reads its state from it.
    virtual void OnDevNoSel(int nDevNoSel);

protected:
    // Builds the page's widgets on this widget; called once.
    virtual void buildForm() = 0;
    // The page's "Device#" combo (built by buildForm).
    virtual QComboBox* deviceCombo() const = 0;
    // Reads the page's state from the device chosen (index into the lists, handle).
    virtual void readDevice(int index, CamContext* handle) = 0;

private:
    bool m_formBuilt = false;
    int m_deviceCount = 0;
    QStringList m_deviceNames;
    QList<CamContext*> m_deviceHandles;
};

}  // namespace hv
