// The text entry box: its widgets, the caption fitted to the prompt, and how it ends.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "TextBox.h"

namespace {

struct TextBoxParts {
    explicit TextBoxParts(TextBox& box)
        : label(box.findChild<QLabel*>("textboxLabel")),
          edit(box.findChild<QLineEdit*>("textboxLineEdit")),
          buttons(box.findChild<QDialogButtonBox*>("buttonBox")) {}
    QLabel* label;
    QLineEdit* edit;
    QDialogButtonBox* buttons;
};

TEST(TextBox, WidgetsAtTheirPlaces) {
    TextBox box;
    EXPECT_EQ(box.findChild<QLabel*>(), nullptr);  // built by setupTextBox only
    box.setupTextBox(nullptr);
    TextBoxParts parts(box);
    ASSERT_NE(parts.label, nullptr);
    ASSERT_NE(parts.edit, nullptr);
    ASSERT_NE(parts.buttons, nullptr);
    EXPECT_EQ(box.windowTitle(), "TextBox");
    EXPECT_EQ(box.size(), QSize(400, 70));
    EXPECT_EQ(parts.buttons->geometry(), QRect(220, 70, 160, 30));
    EXPECT_EQ(parts.buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(parts.edit->geometry(), QRect(80, 20, 300, 30));
    EXPECT_EQ(parts.label->geometry(), QRect(20, 20, 54, 30));
    EXPECT_EQ(parts.label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(box.styleSheet(),
              "color: rgb(25, 25, 25);\nbackground-color: rgb(170, 170, 170);\nfont: 12pt "
              "\"Cambria\";");
    EXPECT_EQ(parts.label->styleSheet(), parts.edit->styleSheet());
    EXPECT_TRUE(parts.label->text().isEmpty());
}

TEST(TextBox, CaptionGrowsForLongPrompts) {
    struct Case {
        const char* prompt;
        QRect label;
        QRect edit;
    };
    const char* const thirty = "Dampening coefficient (0-255):";
    ASSERT_EQ(std::strlen(thirty), 30u);
    const Case cases[] = {
        {"", QRect(20, 20, 54, 30), QRect(80, 20, 300, 30)},
        {"Gain", QRect(20, 20, 54, 30), QRect(80, 20, 300, 30)},
        {"Gains", QRect(20, 20, 55, 30), QRect(81, 20, 299, 30)},
        {thirty, QRect(20, 20, 230, 30), QRect(256, 20, 124, 30)},
    };
    for (const Case& c : cases) {
        TextBox box;
        box.setupTextBox(c.prompt);
        TextBoxParts parts(box);
        EXPECT_EQ(parts.label->geometry(), c.label) << c.prompt;
        EXPECT_EQ(parts.edit->geometry(), c.edit) << c.prompt;
        EXPECT_EQ(parts.label->text(), QString::fromLatin1(c.prompt));
        EXPECT_EQ(box.size(), QSize(400, 70));
    }
}

TEST(TextBox, SecondSetupStartsFromTheFirstGeometry) {
    TextBox box;
    box.setupTextBox("A much longer prompt text");
    box.setupTextBox("Gain");
    TextBoxParts parts(box);
    EXPECT_EQ(parts.label->geometry(), QRect(20, 20, 54, 30));
    EXPECT_EQ(box.findChildren<QLineEdit*>().size(), 1);
}

TEST(TextBox, ReturnAcceptsAndEscapeRejects) {
    TextBox box;
    box.setupTextBox("Value");
    box.show();
    TextBoxParts parts(box);
    QTest::keyClicks(parts.edit, "0.75");
    QTest::keyClick(parts.edit, Qt::Key_Return);
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.getTextBox(), "0.75");

    box.show();
    box.setResult(QDialog::Accepted);
    QTest::keyClick(parts.edit, Qt::Key_Escape);
    EXPECT_EQ(box.result(), QDialog::Rejected);
    parts.buttons->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(box.result(), QDialog::Rejected);
}

}  // namespace
