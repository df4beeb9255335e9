#include "toolsDialog.h"

#include <QHideEvent>
#include <initializer_list>
#include <iterator>

#include "PresetFolders.h"
#include "PromptService.h"
#include "ReviewDialog.h"
#include "SingleInstances.h"
#include "UiLibPrompts.h"
#include "VelquinRoot.h"
#include "dirListDialog.h"
#include "helpDialog.h"
#include "preferenceDialog.h"
#include "setupDialog.h"
#include "ui_toolsDialog.h"
#include "userEditDialog.h"

namespace hv {

namespace {

const QString kTitle = QStringLiteral("Tools Dialog");

// What a user type does to one button.
enum class Offer { Keep, Withdraw, Give };

struct ButtonOffers {
    Offer review;
    Offer preference;
    Offer userEdit;
    Offer setup;
};

// Indexed by user type: 0 "Operator", 1 "Support", 2 "Admin".
constexpr ButtonOffers kOffersByType[] = {
    {Offer::Keep, Offer::Withdraw, Offer::Withdraw, Offer::Withdraw},
    {Offer::Keep, Offer::Give, Offer::Withdraw, Offer::Give},
    {Offer::Keep, Offer::Give, Offer::Give, Offer::Give},
};
constexpr ButtonOffers kOffersOfUnknownType = {Offer::Withdraw, Offer::Withdraw, Offer::Withdraw,
                                               Offer::Withdraw};

void offer(QPushButton* button, Offer what) {
    if (what == Offer::Keep) {
        return;
    }
    const bool give = what == Offer::Give;
    button->setEnabled(give);
    button->setVisible(give);
}

void warnMissing(QWidget* parent, const QString& kind) {
    PromptService::warning(parent, kTitle,
                           QStringLiteral("WARNING::Fail to get %1 dialog!!!").arg(kind));
}

}  // namespace

toolsDialog::Children toolsDialog::Children::standard() {
    return Children{
        [] { return SingleInstances::get<setupDialog>(); },
        [] { return SingleInstances::get<helpDialog>(); },
        [] { return SingleInstances::get<dirListDialog>(); },
        [] { return SingleInstances::get<userEditDialog>(); },
    };
}

toolsDialog::toolsDialog(QWidget* parent) : toolsDialog(Children::standard(), parent) {}

toolsDialog::toolsDialog(Children children, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::toolsForm>()), m_children(std::move(children)) {
    m_ui->setupUi(this);
}

toolsDialog::~toolsDialog() = default;

toolsDialog* toolsDialog::instance() {
    return SingleInstances::get<toolsDialog>();
}

void toolsDialog::initialise(QWidget* mainWindow, int deviceCount, const QStringList& deviceNames,
                             const QList<CamContext*>& deviceHandles) {
    m_setup = m_children.setup();
    m_help = m_children.help();
    m_review = m_children.review();
    m_userManager = m_children.userManager();
    m_deviceCount = deviceCount;
    m_deviceNames = deviceNames;
    m_deviceHandles = deviceHandles;

    if (m_setup) {
        m_setup->initialise(mainWindow, m_deviceCount, m_deviceNames, m_deviceHandles);
    } else {
        warnMissing(this, QStringLiteral("setup"));
    }
    if (m_help) {
        m_help->initialise(mainWindow, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    } else {
        warnMissing(this, QStringLiteral("help"));
    }
    if (m_review) {
        m_review->refresh(this);
    } else {
        warnMissing(this, QStringLiteral("review"));
    }
    if (m_userManager) {
        m_userManager->initialise(this);
    } else {
        warnMissing(this, QStringLiteral("user manager"));
    }

    connectButtons();
    if (mainWindow) {
        move(mainWindow->pos());
    }
}

void toolsDialog::applyUserType(int userType) {
    const bool known = userType >= 0 && userType < static_cast<int>(std::size(kOffersByType));
    const ButtonOffers& offers = known ? kOffersByType[userType] : kOffersOfUnknownType;
    offer(m_ui->reviewButton, offers.review);
    offer(m_ui->preferenceButton, offers.preference);
    offer(m_ui->userEditButton, offers.userEdit);
    offer(m_ui->setupButton, offers.setup);
}

void toolsDialog::connectButtons() {
    // initialise runs at every bring-up; a second connection would run each slot twice.
    if (m_connected) {
        return;
    }
    m_connected = true;
    connect(m_ui->setupButton, &QPushButton::clicked, this, &toolsDialog::OnSetupButton);
    connect(m_ui->reviewButton, &QPushButton::clicked, this, &toolsDialog::OnReviewButton);
    connect(m_ui->preferenceButton, &QPushButton::clicked, this, &toolsDialog::OnPreferenceButton);
    connect(m_ui->helpButton, &QPushButton::clicked, this, &toolsDialog::OnHelpButton);
    connect(m_ui->userEditButton, &QPushButton::clicked, this, &toolsDialog::OnUserEditButton);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &toolsDialog::OnExitButton);
}

void toolsDialog::OnReviewButton() {
    if (m_review) {
        m_review->refresh(this);
    }
    showChild(m_review, QStringLiteral("review"));
}

void toolsDialog::OnPreferenceButton() {
    UiLibPrompts::route();
    PresetFolders::setConfigFolder(VelquinRoot::path(QStringLiteral("Config")).toStdString());
    // The one preference dialog, a child of this one: it goes when the tools dialog goes.
    m_preference = preferenceDialog::getInstance(this);
    if (m_preference) {
        m_preference->setupPreferenceDialog();
    }
    showChild(m_preference, QStringLiteral("preference"));
}

void toolsDialog::OnUserEditButton() {
    if (m_userManager) {
        m_userManager->initialise(this);
    }
    showChild(m_userManager, QStringLiteral("user manager"));
}

void toolsDialog::OnHelpButton() {
    showChild(m_help, QStringLiteral("help"));
}

void toolsDialog::OnSetupButton() {
    showChild(m_setup, QStringLiteral("setup"));
}

void toolsDialog::OnExitButton() {
    hideChildren();
    hide();
}

void toolsDialog::hideEvent(QHideEvent* event) {
    hideChildren();
    QDialog::hideEvent(event);
}

void toolsDialog::showChild(QWidget* child, const QString& kind) {
    if (!child) {
        warnMissing(this, kind);
        return;
    }
    child->show();
    child->raise();
}

void toolsDialog::hideChildren() {
    for (QWidget* child :
         std::initializer_list<QWidget*>{m_setup, m_help, m_review, m_userManager, m_preference}) {
        if (child) {
            child->hide();
        }
    }
}

}  // namespace hv
