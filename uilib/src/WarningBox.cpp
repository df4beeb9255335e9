#include "WarningBox.h"

#include <QMessageBox>
#include <utility>

namespace kxui {

namespace {

// Used on the GUI thread only, as the boxes are.
WarningBox::Presenter& presenter() {
    static WarningBox::Presenter current;
    return current;
}

}  // namespace

void WarningBox::show(QWidget* parent, const QString& title, const QString& text) {
    if (presenter()) {
        presenter()(parent, title, text);
        return;
    }
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

WarningBox::Presenter WarningBox::setPresenter(Presenter next) {
    return std::exchange(presenter(), std::move(next));
}

}  // namespace kxui
