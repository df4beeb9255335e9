#include "gammaDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <cstring>

#include "CurveLine.h"
#include "GammaDialogForm.h"
#include "GammaFiles.h"
#include "GammaTableWriter.h"
#include "GammaView.h"
#include "UiPrompter.h"

namespace {

const char* const kTitle = "Gamma Tool";
const char* const kNamePrompt = "Table name:";

}  // namespace

gammaDialog::gammaDialog(QWidget* parent)
    : QDialog(parent), m_form(std::make_unique<kxui::GammaDialogForm>()) {
    setupGammaDialog(this);
}

gammaDialog::~gammaDialog() = default;

void gammaDialog::setupGammaDialog(QDialog* dialog) {
    if (dialog != this || m_form->buttonBox != nullptr) {
        return;
    }
    m_form->setupUi(dialog);
    QDialogButtonBox* box = m_form->buttonBox;
    connect(box->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, &gammaDialog::OnOK);
    connect(box->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this,
            &gammaDialog::OnCancel);
    connect(box->button(QDialogButtonBox::Help), &QPushButton::clicked, this, &gammaDialog::OnHelp);
    connect(box->button(QDialogButtonBox::Reset), &QPushButton::clicked, this,
            &gammaDialog::OnReset);
    connect(box->button(QDialogButtonBox::Save), &QPushButton::clicked, this, &gammaDialog::OnSave);
}

GammaView* gammaDialog::gammaView() const {
    return m_form->curveArea;
}

void gammaDialog::OnOK() {
    accept();
}

void gammaDialog::OnCancel() {
    reject();
}

void gammaDialog::OnHelp() {
    kxui::UiPrompter::current().information(this, "Gammag Tool", "Help Message For Gamma Tool");
}

void gammaDialog::OnReset() {
    const QRect area = m_form->curveArea->editingArea();
    m_form->curveArea->reset(area.x(), area.y(), area.width(), area.height());
}

void gammaDialog::OnSave() {
    kxui::UiPrompter& prompter = kxui::UiPrompter::current();
    const QString folder = kxui::GammaFiles::tableFolder();
    const std::optional<QString> answer = prompter.text(this, kNamePrompt);
    if (!answer) {
        return;
    }
    const QString typed = answer->trimmed();
    const QString name = kxui::GammaFiles::tableFileName(typed);
    if (name.isEmpty()) {
        prompter.warning(this, kTitle,
                         QString("\"%1\" cannot name a gamma table: give a name without "
                                 "blanks, \"/\", \"\\\", \":\" or \"..\".")
                             .arg(typed));
        return;
    }
    const QString file = folder + '/' + name;
    GammaView* view = m_form->curveArea;
    const kxui::GammaTableWriter::Levels levels = kxui::GammaTableWriter::levels(
        view->curveLine() != nullptr ? view->curveLine()->path() : QPainterPath(),
        view->editingArea());
    QDir().mkpath(folder);
    const int error = kxui::GammaTableWriter::write(QFile::encodeName(file).toStdString(), levels);
    if (error != 0) {
        prompter.warning(
            this, kTitle,
            QString("Cannot save the gamma table %1: %2")
                .arg(QDir::toNativeSeparators(file), QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    prompter.information(this, kTitle, "Save Gamma Settings");
}
