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
}

// The first click lands in the middle of the text, where the line edit itself
// would put the cursor and drop any selection; a second click places the cursor.
TEST_F(SelectAllTextTest, TheFirstClickIntoABoxSelectsItsTextAndTypingReplacesIt)
{
    const QPoint middle(light->width() / 2, light->height() / 2);
    QTest::mouseClick(light, Qt::LeftButton, {}, middle);
    ASSERT_TRUE(light->hasFocus());
    EXPECT_EQ(light->selectedText(), QStringLiteral("0.75"));
    QTest::keyClicks(light, QStringLiteral("0.5"));
    EXPECT_EQ(light->text(), QStringLiteral("0.5"));
    QTest::mouseClick(light, Qt::LeftButton, {}, middle);
    EXPECT_FALSE(light->hasSelectedText());
}

} // namespace
