#include "common/Messages.h"

#include <gtest/gtest.h>

using namespace tolva;

TEST(Messages, EachReportHasItsExactTextTitleAndIcon)
{
    const struct {
        MessageReport report;
        QString text, title;
        MessageIcon icon;
    } rows[] = {
        {ViewerError(QStringLiteral("Blit2scren"), QStringLiteral("device lost")),
         QStringLiteral("Blit2scren error: device lost"), QStringLiteral("Tolva3DView"), MessageIcon::Exclamation},
        {OpenFileError(QStringLiteral("Unsupported image format")),
         QStringLiteral("Open File error:\n\nUnsupported image format"), QStringLiteral("Tolva3DView"),
         MessageIcon::Exclamation},
        // The editor puts the description on its own line.
        {EditorError(QStringLiteral("ReadData"), QStringLiteral("line 3: bad number")),
         QStringLiteral("RecordEdit ReadData error: \nline 3: bad number"), QStringLiteral("TolvaEdit"),
         MessageIcon::Exclamation},
        {FatalReport(QStringLiteral("Could not start Direct3D hardware rendering!")),
         QStringLiteral("ERROR : Could not start Direct3D hardware rendering!"), QStringLiteral("FATAL ERROR!"),
         MessageIcon::Critical},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.report.text, row.text);
        EXPECT_EQ(row.report.title, row.title) << row.text.toStdString();
        EXPECT_EQ(row.report.icon, row.icon) << row.text.toStdString();
    }
}
