#include "common/PathTools.h"

#include <gtest/gtest.h>

using namespace tolva;

TEST(PathTools, FileTitleDropsTheFolderWhateverTheSeparator)
{
    const struct { const char* path; const char* title; } rows[] = {
        {"C:\\maps\\Crater.ebm", "Crater.ebm"}, {"/home/ana/maps/Crater.ebm", "Crater.ebm"},
        {"C:/maps\\mixed/Crater.ebm", "Crater.ebm"}, {"maps.v2/Crater.v1.ebm", "Crater.v1.ebm"},
        {"Crater.ebm", "Crater.ebm"}, {"C:Crater.ebm", "Crater.ebm"}, {"C:\\maps\\", ""}, {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PathTools::FileTitle(QString::fromUtf8(row.path), 0), QString::fromUtf8(row.title))
            << row.path;
}
