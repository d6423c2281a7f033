#include <gmock/gmock.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "ui/kit/ActionSheet.h"
#include "ui/kit/MessageBoxAlerts.h"

namespace {

QAbstractButton *buttonTitled(QMessageBox *box, const QString &title)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

TEST(MessageBoxAlerts, ReturnsAtOnceAndReportsButtonsInRequestOrder)
{
    QWidget window;
    window.show();
    MessageBoxAlerts alerts(&window);
    std::vector<int> pressed;
    alerts.show({QStringLiteral("Title"),
                 QStringLiteral("Message"),
                 QStringLiteral("Cancel"),
                 {QStringLiteral("One"), QStringLiteral("Two")},
                 7,
                 [&](int index) { pressed.push_back(index); }});

    auto *box = window.findChild<QMessageBox *>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->informativeText(), QStringLiteral("Message"));
    EXPECT_TRUE(pressed.empty());
    // The platform may lay the buttons out in its own order; indices follow the request.
    buttonTitled(box, QStringLiteral("Two"))->click();
    EXPECT_EQ(pressed, std::vector<int>({2}));

    alerts.show({QStringLiteral("Oops"), QString(), QStringLiteral("Ok"), {}, 0, [&](int index) {
                     pressed.push_back(index);
                 }});
    QMessageBox *second = nullptr;
    for (QMessageBox *b : window.findChildren<QMessageBox *>()) {
        if (b->isVisible() && b->text() == u"Oops")
            second = b;
    }
    ASSERT_NE(second, nullptr);
    buttonTitled(second, QStringLiteral("Ok"))->click();
    EXPECT_EQ(pressed, std::vector<int>({2, 0}));
}

TEST(ActionSheet, NumbersDestructiveThenOthersThenCancel)
{
    QWidget window;
    window.resize(320, 480);
    window.show();
    std::vector<int> pressed;
    ActionSheet *sheet = ActionSheet::show(&window, {QString(),
                                                     QStringLiteral("Cancel"),
                                                     QStringLiteral("Delete"),
                                                     {QStringLiteral("Save"), QStringLiteral("Next")},
                                                     [&](int index) { pressed.push_back(index); }});
    EXPECT_EQ(sheet->buttonTitles(), QStringList({QStringLiteral("Delete"), QStringLiteral("Save"),
                                                  QStringLiteral("Next"), QStringLiteral("Cancel")}));
    EXPECT_EQ(sheet->cancelButtonIndex(), 3);
    for (QPushButton *button : sheet->findChildren<QPushButton *>()) {
        if (button->text() == u"Next")
            button->click();
    }
    sheet->press(0); // answered already: ignored
    EXPECT_EQ(pressed, std::vector<int>({2}));

    ActionSheet *second = ActionSheet::show(
        &window, {QString(), QStringLiteral("Cancel"), QString(), {QStringLiteral("Next")}, [&](int index) {
                      pressed.push_back(index);
                  }});
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(second, &escape);
    EXPECT_EQ(pressed, std::vector<int>({2, 1}));
}

} // namespace
