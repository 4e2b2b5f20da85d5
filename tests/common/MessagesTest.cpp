#include "Messages.h"

#include <gtest/gtest.h>

using namespace tolva;

TEST(Messages, ViewerReportsNameTheProcedureUnderTheViewerTitle)
{
    const MessageReport r = ViewerError(QStringLiteral("Blit2scren"), QStringLiteral("device lost"));
    EXPECT_EQ(r.text, QStringLiteral("Blit2scren error: device lost"));
    EXPECT_EQ(r.title, QStringLiteral("Tolva3DView"));
    EXPECT_EQ(r.icon, MessageIcon::Exclamation);
}

TEST(Messages, AMapThatCannotBeLoadedHasItsDescriptionAfterTwoLineBreaks)
{
    const MessageReport r = OpenFileError(QStringLiteral("Unsupported image format"));
    EXPECT_EQ(r.text, QStringLiteral("Open File error:\n\nUnsupported image format"));
    EXPECT_EQ(r.title, QStringLiteral("Tolva3DView"));
    EXPECT_EQ(r.icon, MessageIcon::Exclamation);
}

TEST(Messages, EditorReportsPutTheDescriptionOnItsOwnLine)
{
    const MessageReport r = EditorError(QStringLiteral("ReadData"), QStringLiteral("line 3: bad number"));
    EXPECT_EQ(r.text, QStringLiteral("RecordEdit ReadData error: \nline 3: bad number"));
    EXPECT_EQ(r.title, QStringLiteral("TolvaEdit"));
}

TEST(Messages, FatalReportsAreCriticalAndTitledFatalError)
{
    const MessageReport r = FatalReport(QStringLiteral("Could not start VK3D"));
    EXPECT_EQ(r.text, QStringLiteral("ERROR : Could not start VK3D"));
    EXPECT_EQ(r.title, QStringLiteral("FATAL ERROR!"));
    EXPECT_EQ(r.icon, MessageIcon::Critical);
}
