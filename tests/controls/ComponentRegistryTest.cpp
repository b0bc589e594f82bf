#include "controls/ComponentRegistry.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

TEST(ComponentRegistryTest, EveryRegisteredNameCreatesAControlOfThatClass)
{
    QStringList names;
    for (const ComponentClass &component : registeredComponents()) {
        names << component.className;
        std::unique_ptr<QWidget> control(createComponent(component.className));
        ASSERT_TRUE(control) << component.className.toStdString();
        EXPECT_STREQ(control->metaObject()->className(), component.className.toLatin1().constData());
    }
    EXPECT_EQ(names.indexOf("TFmtEdit"), 0);
    EXPECT_EQ(names.indexOf("TIntEdit"), 1);
    EXPECT_EQ(names.indexOf("TFloatEdit"), 2);
    EXPECT_EQ(names.indexOf("TFloatEdit") + 1, names.indexOf("TSelEdit"));
    EXPECT_EQ(names.indexOf("TSelEdit") + 1, names.indexOf("TDateTimeEdit"));
    EXPECT_EQ(names.indexOf("TDateTimeEdit") + 1, names.indexOf("TDateEdit"));
    EXPECT_EQ(names.indexOf("TDateEdit") + 1, names.indexOf("TTimeEdit"));
    EXPECT_TRUE(names.contains("TNumEdit"));
    EXPECT_TRUE(names.contains("TSHTreeView"));
    EXPECT_EQ(createComponent("TNoSuchEdit"), nullptr);
}
