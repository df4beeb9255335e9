// The tools panel: large buttons that lead to the review dialog, the preference dialog, the user
// manager, the about dialog and the setup dialog. The main window initialises it at bring-up with
// the devices it knows, and the user type decides which buttons the operator gets.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include <kxCamContextHead.h>

class QPushButton;
class preferenceDialog;

namespace Ui {
class toolsForm;
}

namespace hv {

class ReviewDialog;
class helpDialog;
class setupDialog;
class userEditDialog;

class toolsDialog : public QDialog {
    Q_OBJECT

public:
    // How the tools dialog reaches its child dialogs; an accessor answers null when its dialog
    // is missing.
    struct Children {
        std::function<setupDialog*()> setup;
        std::function<helpDialog*()> help;
        std::function<ReviewDialog*()> review;
        std::function<userEditDialog*()> userManager;

        // The program's single instances.
        static Children standard();
    };

    explicit toolsDialog(QWidget* parent = nullptr);
    explicit toolsDialog(Children children, QWidget* parent = nullptr);
    ~toolsDialog() override;

    // The single tools dialog (created on the first call); null when its creation failed.
    static toolsDialog* instance();

    // Gets the child dialogs and initialises them (a missing one is reported with a warning),
    // connects the buttons the first time and moves to mainWindow's position. Called at every
    // bring-up.
    void initialise(QWidget* mainWindow, int deviceCount, const QStringList& deviceNames,
                    const QList<CamContext*>& deviceHandles);
    // Offers the buttons of user type 0 "Operator", 1 "Support" (PREFERENCE and SETUP) or 2
    // "Admin" (PREFERENCE, USER MANAGER and SETUP); any other type
    // gets none but HELP and EXIT. A button a type leaves unchanged keeps its state.
    void applyUserType(int userType);

public slots:
    void OnReviewButton();
    // Shows the UI library's preference dialog over the presets of the root's "Config" folder;
    // its prompts go through the prompt service.
    void OnPreferenceButton();
    void OnUserEditButton();
    void OnHelpButton();
    void OnSetupButton();
    void OnExitButton();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void connectButtons();
    // Shows and raises child, or warns that the dialog of that kind is missing.
    void showChild(QWidget* child, const QString& kind);
    void hideChildren();

    std::unique_ptr<Ui::toolsForm> m_ui;
    Children m_children;
    int m_deviceCount = 0;
    QStringList m_deviceNames;
    QList<CamContext*> m_deviceHandles;
    QPointer<setupDialog> m_setup;
    QPointer<helpDialog> m_help;
    QPointer<ReviewDialog> m_review;
    QPointer<userEditDialog> m_userManager;
    QPointer<preferenceDialog> m_preference;
    bool m_connected = false;
};

}  // namespace hv
