#include "PresetFormParts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace kxui {

QPushButton* PresetFormParts::button(const QString& text, const char* name) {
    return named(new QPushButton(text), name);
}

QHBoxLayout* PresetFormParts::presetRow(const QString& caption, QComboBox* combo,
                                        std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(caption));
    row->addWidget(combo, 1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return row;
}

QHBoxLayout* PresetFormParts::buttonRow(std::initializer_list<QPushButton*> left,
                                        std::initializer_list<QPushButton*> right) {
    auto* row = new QHBoxLayout;
    for (QPushButton* button : left) {
        row->addWidget(button);
    }
    row->addStretch();
    for (QPushButton* button : right) {
        row->addWidget(button);
    }
    return row;
}

}  // namespace kxui
