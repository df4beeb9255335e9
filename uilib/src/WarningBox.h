// The warning boxes of the UI library: a modal box with an Ok button. Tests and programs that
// route their messages elsewhere set a presenter of their own.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kxui {

class WarningBox {
public:
    using Presenter =
        std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    static void show(QWidget* parent, const QString& title, const QString& text);
    // Sets the presenter (null: the modal box again) and returns the previous one.
    static Presenter setPresenter(Presenter presenter);
};

}  // namespace kxui
