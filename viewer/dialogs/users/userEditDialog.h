// The user manager ("User Manager"): creates accounts after an administrator's log-in and removes
// them after the log-in of an administrator or of the user being removed.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <utility>

namespace Ui {
class userEditForm;
}

namespace hv {

class userEditDialog : public QDialog {
    Q_OBJECT

public:
    explicit userEditDialog(QWidget* parent = nullptr);
    ~userEditDialog() override;

    // Resets the type combo to "Operator", connects the buttons the first time, and places the
    // dialog directly below parent, at its left edge.
    void initialise(QWidget* parent);

public slots:
    void OnCreateButton();
    void OnRemoveButton();

private:
    // Runs a fresh log-in dialog over this one; its result type and user name.
    std::pair<int, QString> logIn();
    void tell(const QString& text);

    std::unique_ptr<Ui::userEditForm> m_ui;
    bool m_connected = false;
};

}  // namespace hv
