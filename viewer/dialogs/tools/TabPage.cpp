#include "TabPage.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace hv {

TabPage::TabPage(QWidget* parent) : QWidget(parent) {}

void TabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                         const QList<CamContext*>& deviceHandles) {
    if (!m_formBuilt) {
        buildForm();
        m_formBuilt = true;
        connect(deviceCombo(), &QComboBox::currentIndexChanged, this, &TabPage::OnDevNoSel);
    }
    // A page initialised before without a tab (the LED page serves the illumination from the
    // start) goes into its tab when one is given.
    if (parent && parentWidget() != parent) {
        auto* layout = parent->layout() ? parent->layout() : new QVBoxLayout(parent);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(this);
    }
    m_deviceCount = deviceCount;
    m_deviceNames = deviceNames;
    m_deviceHandles = deviceHandles;

    QComboBox* combo = deviceCombo();
    {
        // Filling the combo is not a choice of the operator's.
        const QSignalBlocker quiet(combo);
        combo->clear();
        if (deviceCount > 0) {
            combo->addItems(deviceNames.mid(0, deviceCount));
            combo->setCurrentIndex(0);
        }
    }
    if (deviceCount > 0) {
        readDevice(0, handleAt(0));
    }
}

CamContext* TabPage::handleAt(int index) const {
    return index >= 0 && index < m_deviceHandles.size() ? m_deviceHandles.at(index) : nullptr;
}

void TabPage::OnDevNoSel(int nDevNoSel) {
    readDevice(nDevNoSel, handleAt(nDevNoSel));
}

}  // namespace hv
