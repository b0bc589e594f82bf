#include "app/AboutBox.h"

#include "platform/VersionInfo.h"

#include <QLabel>

#include <gtest/gtest.h>

TEST(AboutBoxTest, TheVersionLabelAndStringShowTheVersionCompiledIntoTheProgram)
{
    const VersionInfo info = programVersionInfo();
    ASSERT_FALSE(info.version.isEmpty());
    TAboutBox box;
    EXPECT_EQ(box.findChild<QLabel *>("Version")->text(), "     Version " + info.version);
    EXPECT_EQ(GetVersionString(6), info.version);
    EXPECT_EQ(GetVersionString(-3), info.version);
}
