#include "common/ui/SelectAllText.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

using namespace tolva;

namespace {

class SelectAllTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(height = new QLineEdit(QStringLiteral("30"), &form));
        layout->addWidget(light = new QLineEdit(QStringLiteral("0.75"), &form));
        SelectAllText::attachAll(&form);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        height->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(height->hasFocus());
    }
    QWidget form;
    QLineEdit* height = nullptr;
    QLineEdit* light = nullptr;
};

TEST_F(SelectAllTextTest, TabIntoABoxSelectsItsText)
{
    QTest::keyClick(height, Qt::Key_Tab);
    ASSERT_TRUE(light->hasFocus());
    EXPECT_EQ(light->selectedText(), QStringLiteral("0.75"));
    QTest::keyClick(light, Qt::Key_Backtab);
    ASSERT_TRUE(height->hasFocus());
    EXPECT_EQ(height->selectedText(), QStringLiteral("30"));
}

TEST_F(SelectAllTextTest, ClickingIntoABoxSelectsItsTextAndTypingReplacesIt)
{
    // The click lands in the middle of the text, where the line edit itself
    // would put the cursor and drop any selection.
    QTest::mouseClick(light, Qt::LeftButton, {}, QPoint(light->width() / 2, light->height() / 2));
    ASSERT_TRUE(light->hasFocus());
    EXPECT_EQ(light->selectedText(), QStringLiteral("0.75"));
    QTest::keyClicks(light, QStringLiteral("0.5"));
    EXPECT_EQ(light->text(), QStringLiteral("0.5"));
}

TEST_F(SelectAllTextTest, ASecondClickPlacesTheCursor)
{
    QTest::mouseClick(light, Qt::LeftButton, {}, QPoint(2, light->height() / 2));
    ASSERT_EQ(light->selectedText(), QStringLiteral("0.75"));
    QTest::mouseClick(light, Qt::LeftButton, {}, QPoint(2, light->height() / 2));
    EXPECT_FALSE(light->hasSelectedText());
}

TEST_F(SelectAllTextTest, FocusGivenByTheProgramSelectsToo)
{
    light->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(light->selectedText(), QStringLiteral("0.75"));
}

TEST_F(SelectAllTextTest, AttachingTwiceInstallsOneFilter)
{
    SelectAllText::attach(light);
    SelectAllText::attach(nullptr);
    EXPECT_EQ(light->findChildren<SelectAllText*>().size(), 1);
}

} // namespace
