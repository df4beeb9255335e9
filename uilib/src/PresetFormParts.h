// The parts the forms of the preset dialogs share: named widgets and the preset row (caption,
// preset combo and its buttons).
#pragma once

#include <QString>
#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QPushButton;

namespace kxui {

class PresetFormParts {
public:
    // widget, given its object name.
    template <typename Widget>
    static Widget* named(Widget* widget, const char* name) {
        widget->setObjectName(name);
        return widget;
    }
    // A push button with text and object name.
    static QPushButton* button(const QString& text, const char* name);
    // caption, then combo (taking the free width), then buttons.
    static QHBoxLayout* presetRow(const QString& caption, QComboBox* combo,
                                  std::initializer_list<QPushButton*> buttons);
    // The dialog's buttons: left ones at the left edge, right ones at the right edge.
    static QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> left,
                                  std::initializer_list<QPushButton*> right);
};

}  // namespace kxui
