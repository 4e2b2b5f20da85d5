#include "common/Messages.h"

#include <gtest/gtest.h>

using namespace tolva;

TEST(Messages, EachReportHasItsExactTextTitleAndIcon)
{
    const MessageIcon warning = MessageIcon::Exclamation;
    const std::pair<MessageReport, MessageReport> rows[] = {
        {ViewerError("Blit2scren", "device lost"), {"Blit2scren error: device lost", "Tolva3DView", warning}},
        {OpenFileError("Unsupported image format"),
         {"Open File error:\n\nUnsupported image format", "Tolva3DView", warning}},
        // The editor puts the description on its own line.
        {EditorError("ReadData", "line 3: bad number"),
         {"RecordEdit ReadData error: \nline 3: bad number", "TolvaEdit", warning}},
        {FatalReport("Could not start Direct3D hardware rendering!"),
         {"ERROR : Could not start Direct3D hardware rendering!", "FATAL ERROR!", MessageIcon::Critical}},
    };
    for (const auto& [report, expected] : rows)
        EXPECT_EQ(report, expected) << qPrintable(report.text) << " | " << qPrintable(report.title);
}
