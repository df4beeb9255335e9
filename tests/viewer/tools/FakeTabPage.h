// A setup page for tests: a bare "Device#" combo, and a record of every device it read.
#pragma once

#include <QComboBox>
#include <utility>
#include <vector>

#include "TabPage.h"

namespace hvtest {

class FakeTabPage : public hv::TabPage {
public:
    // (index, handle) of each read, in order.
    std::vector<std::pair<int, CamContext*>> reads;

    QComboBox* combo() const { return m_combo; }

protected:
    void buildForm() override { m_combo = new QComboBox(this); }
    QComboBox* deviceCombo() const override { return m_combo; }
    void readDevice(int index, CamContext* handle) override { reads.emplace_back(index, handle); }

private:
    QComboBox* m_combo = nullptr;
};

}  // namespace hvtest
