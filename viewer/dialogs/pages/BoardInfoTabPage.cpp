#include "BoardInfoTabPage.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "MfgEeprom.h"
#include "PromptService.h"
#include "SingleInstances.h"
#include "ui_BoardInfoTabPage.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("Board Information Utility Tool");

// What the page says of each field, by MfgField::Id.
struct FieldTexts {
    const char* tooLong;    // typed text longer than the field
    const char* invalid;    // a character the field does not allow ...
    const char* hint;       // ... and what it allows
    const char* resetNote;  // the field was put back
    const char* wrongSize;  // a field to write is not whole (%1: its length)
    const char* noDevice;   // a field to write without a device
};

const FieldTexts kTexts[MfgField::kCount] = {
    {"ERROR::Exceed maximum number of board ID hex digits...",
     "ERROR::Invalid board ID value ...\n",
     " NOTE::Valid board ID value are [0x00000000 to 0xFFFFFFFF] in hex\n",
     " NOTE::Value are reset back to original value.....",
     "ERROR::The size of board ID should be %1 hex digits [0x00000000 to 0xFFFFFFFF]...",
     "ERROR::Fail to set board ID due to invalid device number selection...\n"},
    {"ERROR::Exceed the maximum size of board revision string can hold...",
     "ERROR::Invalid revision vlaue ...\n",
     "NOTE::Valid revision value are \"1-9\", \"a-z\", or \"A-Z\"\n",
     "NOTE::Value is reset back to original value.....",
     "ERROR::The size of board revision should be %1 character...",
     "ERROR::Fail to set board revision due to invalid device number selection...\n"},
    {"ERROR::Exceed the maximum number of board serial number digits...",
     "ERROR::Invalid board serial number value ...\n",
     " NOTE::Valid board serial number value are [0x00000000 to 0xFFFFFFFF] in hex\n",
     "NOTE::Value is reset back to original value.....",
     "ERROR::The size of board serial number should be %1 hex digits [0x00000000 to "
     "0xFFFFFFFF]...",
     "ERROR::Fail to set board serial number due to invalid device number selection...\n"},
    {"ERROR::Exceed the maximum size of board MFG location string...",
     "ERROR::Invalid MFG location value ...\n",
     "NOTE::Valid MFG location value are [US], [CA], [CN], [MX], [EU]\n",
     "NOTE::MFG location value are reset back to [US].....",
     "ERROR::Board MFG location string should be %1 characters...",
     "ERROR::Fail to set board MFG loaction due to invalid device number selection...\n"},
    {"ERROR::Exceed the maximum size of MFG data string...", "ERROR::Invalid MFG date vlaue ...\n",
     "NOTE::Valid MFG date value are [mm-dd-yy]\n",
     "NOTE::Value is reset back to original value.....",
     "ERROR::Board MFG date string should be %1 characters...",
     "ERROR::Fail to set board MFG date due to invalid device number selection...\n"},
};

constexpr MfgField::Id kFieldOrder[MfgField::kCount] = {MfgField::BoardId, MfgField::Revision,
                                                        MfgField::SerialNumber, MfgField::Location,
                                                        MfgField::Date};

}  // namespace

BoardInfoTabPage::BoardInfoTabPage(QWidget* parent) : RegisterTabPage(parent) {}

BoardInfoTabPage::~BoardInfoTabPage() = default;

BoardInfoTabPage* BoardInfoTabPage::instance() {
    return SingleInstances::get<BoardInfoTabPage>();
}

void BoardInfoTabPage::initialise(QWidget* parent, int deviceCount, const QStringList& deviceNames,
                                  const QList<CamContext*>& deviceHandles) {
    RegisterTabPage::initialise(parent, deviceCount, deviceNames, deviceHandles);
    if (device() == nullptr) {
        for (const MfgField::Id id : kFieldOrder) {
            edit(id)->setReadOnly(true);
        }
    }
}

void BoardInfoTabPage::buildForm() {
    m_ui = std::make_unique<Ui::BoardInfoTabPage>();
    m_ui->setupUi(this);
    m_edits = {m_ui->leBoardId, m_ui->leBoardRev, m_ui->leBoardSerNo, m_ui->leBoardMfgLoc,
               m_ui->leBoardMfgDate};
    connect(m_ui->leBoardId, &QLineEdit::textChanged, this, &BoardInfoTabPage::OnBoardId);
    connect(m_ui->leBoardRev, &QLineEdit::textChanged, this, &BoardInfoTabPage::OnBoardRev);
    connect(m_ui->leBoardSerNo, &QLineEdit::textChanged, this, &BoardInfoTabPage::OnBoardSerNo);
    connect(m_ui->leBoardMfgLoc, &QLineEdit::textChanged, this, &BoardInfoTabPage::OnBoardMfgLoc);
    connect(m_ui->leBoardMfgDate, &QLineEdit::textChanged, this, &BoardInfoTabPage::OnBoardMfgDate);
    connect(m_ui->leBoardId, &QLineEdit::returnPressed, this, &BoardInfoTabPage::OnBoardIdEntered);
    connect(m_ui->leBoardRev, &QLineEdit::returnPressed, this,
            &BoardInfoTabPage::OnBoardRevEntered);
    connect(m_ui->leBoardSerNo, &QLineEdit::returnPressed, this,
            &BoardInfoTabPage::OnBoardSerNoEntered);
    connect(m_ui->leBoardMfgLoc, &QLineEdit::returnPressed, this,
            &BoardInfoTabPage::OnBoardMfgLocEntered);
    connect(m_ui->leBoardMfgDate, &QLineEdit::returnPressed, this,
            &BoardInfoTabPage::OnBoardMfgDateEntered);
    connect(m_ui->pbSetBoardInfo, &QPushButton::clicked, this,
            &BoardInfoTabPage::OnSetBoardInfoButton);
    connect(m_ui->pbGetBoardInfo, &QPushButton::clicked, this,
            &BoardInfoTabPage::OnGetBoardInfoButton);
}

QComboBox* BoardInfoTabPage::deviceCombo() const {
    return m_ui->cbDevNoSel;
}

void BoardInfoTabPage::readDevice(int index, CamContext*) {
    chooseDevice(index);
    OnGetBoardInfoButton();
}

QLineEdit* BoardInfoTabPage::edit(MfgField::Id id) const {
    return m_edits[id];
}

void BoardInfoTabPage::showField(MfgField::Id id) {
    const QSignalBlocker quiet(edit(id));
    edit(id)->setText(m_texts[id]);
}

void BoardInfoTabPage::checkTyped(MfgField::Id id, const QString& text) {
    const FieldTexts& texts = kTexts[id];
    switch (MfgField::of(id).check(text)) {
        case MfgField::Verdict::Fits:
            m_texts[id] = text;
            return;
        case MfgField::Verdict::TooLong:
            PromptService::warning(this, kTitle,
                                   QString::fromLatin1(texts.tooLong) + texts.resetNote);
            break;
        case MfgField::Verdict::Invalid:
            PromptService::warning(
                this, kTitle, QString::fromLatin1(texts.invalid) + texts.hint + texts.resetNote);
            break;
    }
    showField(id);
}

bool BoardInfoTabPage::canWrite(MfgField::Id id) {
    const MfgField& field = MfgField::of(id);
    if (m_texts[id].size() != field.length()) {
        PromptService::warning(this, kTitle,
                               QString::fromLatin1(kTexts[id].wrongSize).arg(field.length()));
        ++m_errorCount;
        return false;
    }
    if (device() == nullptr) {
        PromptService::warning(this, kTitle, QString::fromLatin1(kTexts[id].noDevice));
        ++m_errorCount;
        return false;
    }
    return true;
}

void BoardInfoTabPage::writeField(MfgField::Id id) {
    const MfgField& field = MfgField::of(id);
    MfgEeprom(port(), device()).write(field, field.encode(m_texts[id]));
}

void BoardInfoTabPage::enterField(MfgField::Id id) {
    if (canWrite(id)) {
        writeField(id);
    }
}

void BoardInfoTabPage::OnSetBoardInfoButton() {
    if (device() == nullptr) {
        return;
    }
    m_errorCount = 0;
    for (const MfgField::Id id : kFieldOrder) {
        canWrite(id);
    }
    if (m_errorCount > 0) {
        PromptService::warning(this, QStringLiteral("Invalid Data Entere"),
                               QStringLiteral("One or more field contains invalid data.  Data not "
                                              "saved. Please try again."));
        return;
    }
    for (const MfgField::Id id : kFieldOrder) {
        writeField(id);
    }
    confirmUpdate();
}

void BoardInfoTabPage::confirmUpdate() {
    MfgEeprom eeprom(port(), device());
    QString differing;
    for (const MfgField::Id id : kFieldOrder) {
        const MfgField& field = MfgField::of(id);
        if (eeprom.read(field) != field.encode(m_texts[id])) {
            differing += field.name() + QLatin1Char('\n');
        }
    }
    if (differing.isEmpty()) {
        PromptService::information(
            this, kTitle, QStringLiteral("NOTE::Board information saved and verified....."));
    } else {
        PromptService::warning(this, kTitle,
                               QStringLiteral("ERROR::Fail to save board information. The "
                                              "following fields do not read back as written:\n") +
                                   differing);
    }
}

void BoardInfoTabPage::OnGetBoardInfoButton() {
    if (device() == nullptr) {
        return;
    }
    MfgEeprom eeprom(port(), device());
    QString defaulted;
    for (const MfgField::Id id : kFieldOrder) {
        const MfgField& field = MfgField::of(id);
        QString text = field.decode(eeprom.read(field));
        if (!field.valid(text)) {
            text = field.defaultText();
            defaulted += field.name() + QLatin1Char('\n');
        }
        m_texts[id] = text;
        showField(id);
        edit(id)->setReadOnly(false);
    }
    if (!defaulted.isEmpty()) {
        PromptService::warning(
            this, kTitle,
            QStringLiteral("Information for the following fields are set to default:\n") +
                defaulted);
    }
}

void BoardInfoTabPage::OnBoardId(const QString& text) {
    checkTyped(MfgField::BoardId, text);
}

void BoardInfoTabPage::OnBoardRev(const QString& text) {
    checkTyped(MfgField::Revision, text);
}

void BoardInfoTabPage::OnBoardSerNo(const QString& text) {
    checkTyped(MfgField::SerialNumber, text);
}

void BoardInfoTabPage::OnBoardMfgLoc(const QString& text) {
    checkTyped(MfgField::Location, text);
}

void BoardInfoTabPage::OnBoardMfgDate(const QString& text) {
    checkTyped(MfgField::Date, text);
}

void BoardInfoTabPage::OnBoardIdEntered() {
    enterField(MfgField::BoardId);
}

void BoardInfoTabPage::OnBoardRevEntered() {
    enterField(MfgField::Revision);
}

void BoardInfoTabPage::OnBoardSerNoEntered() {
    enterField(MfgField::SerialNumber);
}

void BoardInfoTabPage::OnBoardMfgLocEntered() {
    enterField(MfgField::Location);
}

void BoardInfoTabPage::OnBoardMfgDateEntered() {
    enterField(MfgField::Date);
}

}  // namespace hv
