#include "GammaTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "GammaFileList.h"
#include "PromptService.h"

namespace hv {

namespace {

constexpr int kFieldWidth = 420;

}  // namespace

GammaTable::GammaTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("GammaTable"));
    setWindowTitle(QStringLiteral("Gamma Table"));
    auto* layout = new QGridLayout(this);
    using Slot = void (GammaTable::*)();
    const std::array<Slot, kRows> choose = {
        &GammaTable::OnGammaTable0ButtonPressed, &GammaTable::OnGammaTable1ButtonPressed,
        &GammaTable::OnGammaTable2ButtonPressed, &GammaTable::OnGammaTable3ButtonPressed};
    for (int row = 0; row < kRows; ++row) {
        auto* label = new QLabel(QStringLiteral("TAB %1").arg(row), this);
        label->setObjectName(QStringLiteral("gammaTable%1Label").arg(row));
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("gammaTable%1Edit").arg(row));
        field->setMinimumWidth(kFieldWidth);
        auto* button = new QPushButton(QStringLiteral("..."), this);
        button->setObjectName(QStringLiteral("gammaTable%1Button").arg(row));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, choose[static_cast<std::size_t>(row)]);
        layout->addWidget(label, row, 0);
        layout->addWidget(field, row, 1);
        layout->addWidget(button, row, 2);
        m_fields[static_cast<std::size_t>(row)] = field;
    }
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Reset, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &GammaTable::OnApply);
    connect(buttons->button(QDialogButtonBox::Reset), &QPushButton::clicked, this,
            &GammaTable::OnReset);
    layout->addWidget(buttons, kRows, 0, 1, 3);
    showList();
}

void GammaTable::showList() {
    for (int row = 0; row < kRows; ++row) {
        m_fields[static_cast<std::size_t>(row)]->setText(GammaFileList::name(row));
    }
}

void GammaTable::chooseFile(int row) {
    const QString file = PromptService::current().openFileName(
        this, QStringLiteral("Open Gamma Table"), GammaFileList::folder(),
        QStringLiteral("Gamma Table FIles(*.txt)"));
    if (!file.isEmpty()) {
        m_fields[static_cast<std::size_t>(row)]->setText(file);
    }
}

void GammaTable::OnGammaTable0ButtonPressed() {
    chooseFile(0);
}

void GammaTable::OnGammaTable1ButtonPressed() {
    chooseFile(1);
}

void GammaTable::OnGammaTable2ButtonPressed() {
    chooseFile(2);
}

void GammaTable::OnGammaTable3ButtonPressed() {
    chooseFile(3);
}

void GammaTable::OnApply() {
    for (int row = 0; row < kRows; ++row) {
        GammaFileList::setName(row, m_fields[static_cast<std::size_t>(row)]->text());
    }
}

void GammaTable::OnReset() {
    GammaFileList::reset();
    showList();
}

}  // namespace hv
