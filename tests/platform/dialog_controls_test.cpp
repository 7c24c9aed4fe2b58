// Controls by numeric id: names, lookup, texts, check, enable, visibility and list helpers
// on real widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include "test_window.h"

namespace {

using qttest::TestWindow;

enum Id {
    kLineEdit = 1011,
    kTextEdit = 1009,
    kPlainEdit = 1012,
    kLabel = 1054,
    kButton = 1035,
    kCheckBox = 1014,
    kGroup = 1100,
    kEditableCombo = 1101,
    kDropList = 1001,
    kList = 1081,
    kPlainWidget = 1102,
    kInGroup = 1103,
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest()
    {
        w.RegisterControl(kLineEdit, lineEdit = new QLineEdit(&w));
        w.RegisterControl(kTextEdit, textEdit = new QTextEdit(&w));
        w.RegisterControl(kPlainEdit, plainEdit = new QPlainTextEdit(&w));
        w.RegisterControl(kLabel, label = new QLabel(&w));
        w.RegisterControl(kButton, button = new QPushButton(&w));
        w.RegisterControl(kCheckBox, checkBox = new QCheckBox(&w));
        w.RegisterControl(kGroup, group = new QGroupBox(&w));
        w.RegisterControl(kEditableCombo, editableCombo = new QComboBox(&w));
        editableCombo->setEditable(true);
        w.RegisterControl(kDropList, dropList = new QComboBox(&w));
        dropList->addItems({"1200", "2400", "9600"});
        w.RegisterControl(kList, list = new QListWidget(&w));
        w.RegisterControl(kPlainWidget, new QWidget(&w));
        w.RegisterControl(kInGroup, inGroup = new QLineEdit(group));
    }

    TestWindow w;
    QLineEdit* lineEdit;
    QTextEdit* textEdit;
    QPlainTextEdit* plainEdit;
    QLabel* label;
    QPushButton* button;
    QCheckBox* checkBox;
    QGroupBox* group;
    QComboBox* editableCombo;
    QComboBox* dropList;
    QListWidget* list;
    QLineEdit* inGroup;
};

TEST_F(ControlsTest, RegisterNamesTheWidgetWithItsIdInDecimal)
{
    for (int id : {0, 7, 1000, 1112, 65535}) {
        auto* widget = new QWidget(&w);
        w.RegisterControl(id, widget);
        EXPECT_EQ(widget->objectName(), QString::number(id));
        EXPECT_EQ(w.Item(id), widget);
    }
    EXPECT_EQ(lineEdit->objectName(), "1011");
    EXPECT_EQ(inGroup->objectName(), "1103");
}

TEST_F(ControlsTest, ItemFindsNamedDescendantsButNotThoseOfNestedWindows)
{
    // A control named by a layout rather than registered, inside a container.
    auto* named = new QLabel(group);
    named->setObjectName("1104");
    EXPECT_EQ(w.Item(1104), named);
    EXPECT_EQ(w.Item(kInGroup), inGroup);
    EXPECT_EQ(w.Item(4242), nullptr);

    // An embedded page keeps its own ids, and so does a separate window owned by this one.
    auto* page = new TestWindow(&w);
    page->setWindowFlags(Qt::Widget);
    auto* pageControl = new QLineEdit(page);
    page->RegisterControl(1200, pageControl);
    auto* owned = new QDialog(&w);
    auto* ownedControl = new QLineEdit(owned);
    ownedControl->setObjectName("1201");
    EXPECT_EQ(w.Item(1200), nullptr);
    EXPECT_EQ(w.Item(1201), nullptr);
    EXPECT_EQ(page->Item(1200), pageControl);

    // A deleted control is no longer found, a new one with the same id is.
    delete lineEdit;
    EXPECT_EQ(w.Item(kLineEdit), nullptr);
    auto* replacement = new QLineEdit(&w);
    replacement->setObjectName("1011");
    EXPECT_EQ(w.Item(kLineEdit), replacement);
}

TEST_F(ControlsTest, TextRoundTripsThroughEveryKindOfTextControl)
{
    struct Case {
        int id;
        std::function<QString()> widgetText;
    };
    const Case cases[] = {
        {kLineEdit, [&] { return lineEdit->text(); }},
        {kTextEdit, [&] { return textEdit->toPlainText(); }},
        {kPlainEdit, [&] { return plainEdit->toPlainText(); }},
        {kLabel, [&] { return label->text(); }},
        {kButton, [&] { return button->text(); }},
        {kCheckBox, [&] { return checkBox->text(); }},
        {kGroup, [&] { return group->title(); }},
        {kEditableCombo, [&] { return editableCombo->currentText(); }},
        {kInGroup, [&] { return inGroup->text(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const QString text = QString("Port State: %1\u7aef\u53e3").arg(c.id);
        EXPECT_TRUE(w.SetItemText(c.id, text));
        EXPECT_EQ(c.widgetText(), text);
        EXPECT_EQ(w.GetItemText(c.id), text);
    }
}

TEST_F(ControlsTest, DropDownListTextSelectsTheMatchingItemOnly)
{
    EXPECT_TRUE(w.SetItemText(kDropList, "9600"));
    EXPECT_EQ(dropList->currentIndex(), 2);
    EXPECT_EQ(w.GetItemText(kDropList), "9600");
    EXPECT_FALSE(w.SetItemText(kDropList, "960"));
    EXPECT_EQ(dropList->currentIndex(), 2);
    EXPECT_EQ(dropList->count(), 3);
}

TEST_F(ControlsTest, TextOfMissingOrTextlessControlsFails)
{
    EXPECT_FALSE(w.SetItemText(4242, "x"));
    EXPECT_EQ(w.GetItemText(4242), QString());
    EXPECT_FALSE(w.SetItemText(kPlainWidget, "x"));
    EXPECT_EQ(w.GetItemText(kPlainWidget), QString());
}

TEST_F(ControlsTest, CheckWorksOnCheckableButtonsOnly)
{
    EXPECT_TRUE(w.CheckItem(kCheckBox, true));
    EXPECT_TRUE(checkBox->isChecked());
    EXPECT_TRUE(w.IsItemChecked(kCheckBox));
    EXPECT_TRUE(w.CheckItem(kCheckBox, false));
    EXPECT_FALSE(checkBox->isChecked());
    EXPECT_FALSE(w.IsItemChecked(kCheckBox));

    EXPECT_FALSE(w.CheckItem(kButton, true));
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(w.CheckItem(kLineEdit, true));
    EXPECT_FALSE(w.IsItemChecked(4242));
}

TEST_F(ControlsTest, EnableAndVisibilityAreTheControlsOwnWithinTheWindow)
{
    ASSERT_FALSE(w.isVisible());
    for (int id : {kButton, kInGroup}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(w.IsItemEnabled(id));
        EXPECT_TRUE(w.EnableItem(id, false));
        EXPECT_FALSE(w.Item(id)->isEnabled());
        EXPECT_FALSE(w.IsItemEnabled(id));
        EXPECT_TRUE(w.EnableItem(id, true));
        EXPECT_TRUE(w.IsItemEnabled(id));

        // Before the window is shown nothing is on screen, yet the control's state is known.
        EXPECT_TRUE(w.IsItemVisible(id));
        EXPECT_TRUE(w.ShowItem(id, false));
        EXPECT_FALSE(w.IsItemVisible(id));
        EXPECT_TRUE(w.ShowItem(id, true));
        EXPECT_TRUE(w.IsItemVisible(id));
    }
    // The window's own state does not change its controls'.
    w.setEnabled(false);
    EXPECT_TRUE(w.IsItemEnabled(kButton));
    EXPECT_FALSE(w.EnableItem(4242, true));
    EXPECT_FALSE(w.IsItemEnabled(4242));
    EXPECT_FALSE(w.ShowItem(4242, true));
    EXPECT_FALSE(w.IsItemVisible(4242));

    w.show();
    EXPECT_TRUE(button->isVisible());
    EXPECT_TRUE(w.ShowItem(kButton, false));
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(w.IsItemVisible(kButton));
}

TEST_F(ControlsTest, ListHelpersWorkOnComboBoxesAndListWidgets)
{
    struct Case {
        int id;
        std::function<int()> widgetCount;
        std::function<int()> widgetCurrent;
    };
    const Case cases[] = {
        {kEditableCombo, [&] { return editableCombo->count(); }, [&] { return editableCombo->currentIndex(); }},
        {kList, [&] { return list->count(); }, [&] { return list->currentRow(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_TRUE(w.ClearList(c.id));
        EXPECT_EQ(w.ListItemCount(c.id), 0);
        EXPECT_EQ(w.AddListItem(c.id, "COM1"), 0);
        EXPECT_EQ(w.AddListItem(c.id, "COM3"), 1);
        EXPECT_EQ(w.AddListItem(c.id, "LPT1"), 2);
        EXPECT_EQ(w.ListItemCount(c.id), 3);
        EXPECT_EQ(c.widgetCount(), 3);
        EXPECT_EQ(w.ListItemText(c.id, 0), "COM1");
        EXPECT_EQ(w.ListItemText(c.id, 2), "LPT1");
        EXPECT_EQ(w.ListItemText(c.id, 3), QString());
        EXPECT_EQ(w.ListItemText(c.id, -1), QString());

        EXPECT_TRUE(w.SetCurSel(c.id, 1));
        EXPECT_EQ(w.GetCurSel(c.id), 1);
        EXPECT_EQ(c.widgetCurrent(), 1);
        EXPECT_FALSE(w.SetCurSel(c.id, 3));
        EXPECT_EQ(w.GetCurSel(c.id), 1);
        EXPECT_TRUE(w.SetCurSel(c.id, -1));
        EXPECT_EQ(w.GetCurSel(c.id), -1);
        EXPECT_EQ(c.widgetCurrent(), -1);

        EXPECT_TRUE(w.ClearList(c.id));
        EXPECT_EQ(w.ListItemCount(c.id), 0);
        EXPECT_EQ(c.widgetCount(), 0);
    }
    EXPECT_EQ(w.AddListItem(kLineEdit, "x"), -1);
    EXPECT_EQ(w.ListItemCount(kLineEdit), -1);
    EXPECT_FALSE(w.ClearList(kLineEdit));
    EXPECT_FALSE(w.SetCurSel(kLineEdit, 0));
    EXPECT_EQ(w.GetCurSel(kLineEdit), -1);
    EXPECT_EQ(w.ListItemCount(4242), -1);
}

}  // namespace
