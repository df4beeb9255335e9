#include "dirListDialog.h"

#include <QDir>
#include <QPushButton>
#include <QTableWidgetItem>

#include "DataFolder.h"
#include "PromptService.h"
#include "scViewer.h"
#include "ui_dirListDialog.h"

namespace hv {

namespace {

const QString kOpenTitle = QStringLiteral("Open Image");
const QString kOpenFilter = QStringLiteral(
    "Images/Videos (*.jpg *.jpeg *.png *.avi);;Image Files (*.jpg *.jpeg *.png);;Video Files "
    "(*.avi)");

QString dataFolder() {
    return QDir::current().absolutePath() + QLatin1Char('/') + DataFolder::root();
}

}  // namespace

dirListDialog::dirListDialog(QWidget* parent)
    : ReviewDialog(parent), m_ui(std::make_unique<Ui::dirListForm>()) {
    m_ui->setupUi(this);
    connect(m_ui->openButton, &QPushButton::clicked, this, &dirListDialog::OnOpenButton);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &dirListDialog::OnExitButton);
}

dirListDialog::~dirListDialog() = default;

void dirListDialog::refresh(QWidget* parent) {
    m_caller = parent;
    QTableWidget* table = m_ui->tableWidget;
    table->clearContents();
    m_directories = QDir(dataFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    table->setRowCount(static_cast<int>(m_directories.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(m_directories[row]));
    }
    table->selectRow(0);
}

void dirListDialog::OnOpenButton() {
    hide();
    const int row = m_ui->tableWidget->currentRow();
    if (row < 0 || row >= m_directories.size()) {
        return;
    }
    const QString folder = dataFolder() + QLatin1Char('/') + m_directories[row];
    QWidget* over = m_caller ? m_caller.data() : this;
    for (;;) {
        const QString file =
            PromptService::current().openFileName(over, kOpenTitle, folder, kOpenFilter);
        if (file.isEmpty()) {
            return;
        }
        // The viewer deletes itself when it closes, as exec() returns.
        auto* viewer = new scViewer(this);
        viewer->show(file);
        viewer->exec();
    }
}

void dirListDialog::OnExitButton() {
    hide();
}

}  // namespace hv
