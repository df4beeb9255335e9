#include "Nelvora.h"

#include <QKeySequence>
#include <QShortcut>

#include "ViewerVersion.h"
#include "toolsDialog.h"
#include "ui_Nelvora.h"

namespace hv {

Nelvora::Nelvora(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Nelvora>()), m_tools(this) {
    ui->setupUi(this);
    setWindowTitle(ViewerVersion::windowTitle());
    connect(ui->toolsButton, &QPushButton::clicked, this, &Nelvora::OnToolsButtonClicked);
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    connect(shortcut, &QShortcut::activated, this, &Nelvora::OnToolsButtonClicked);
}

Nelvora::~Nelvora() = default;

void Nelvora::OnToolsButtonClicked() {
    m_tools.open();
}

void Nelvora::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (toolsDialog* tools = toolsDialog::instance()) {
        tools->hide();
    }
}

}  // namespace hv
