// The main window. It hosts the way into the tools (the Tools button and Ctrl+T) and hides the
// tools dialog with itself.
#pragma once

#include <QMainWindow>
#include <memory>

#include "ToolsAccess.h"

namespace Ui {
class Nelvora;
}

namespace hv {

class Nelvora : public QMainWindow {
    Q_OBJECT

public:
    explicit Nelvora(QWidget* parent = nullptr);
    ~Nelvora() override;

    // The current user type handed to the tools dialog.
    int userAccess() const { return m_tools.currentUserType(); }

public slots:
    void OnToolsButtonClicked();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<Ui::Nelvora> ui;
    ToolsAccess m_tools;
};

}  // namespace hv
