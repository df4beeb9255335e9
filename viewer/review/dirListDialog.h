// The review dialog ("Directory List"): lists the folders of saved pictures and videos under
// "ImageData" in the working folder; OPEN asks for files of the chosen folder, one after the
// other, and shows each in a viewer of its own until the file dialog is cancelled.
//
// Used on the GUI thread only.
#pragma once

#include <QPointer>
#include <QStringList>
#include <memory>

#include "ReviewDialog.h"

namespace Ui {
class dirListForm;
}

namespace hv {

class dirListDialog : public ReviewDialog {
    Q_OBJECT

public:
    explicit dirListDialog(QWidget* parent = nullptr);
    ~dirListDialog() override;

    // Lists the folders of "ImageData" in the working folder by name (none when it is missing)
    // and selects the first. parent is the dialog the review was opened from; the file dialogs open
    // over it while this dialog is hidden.
    void refresh(QWidget* parent) override;

    // The folder names listed, in the table's order.
    const QStringList& directories() const { return m_directories; }

public slots:
    // Hides the dialog, then asks for a file of the current row's folder and shows it in a
    // modal viewer, again and again until no file is chosen. Nothing when no row is current.
    void OnOpenButton();
    void OnExitButton();

private:
    std::unique_ptr<Ui::dirListForm> m_ui;
    QPointer<QWidget> m_caller;
    QStringList m_directories;
};

}  // namespace hv
