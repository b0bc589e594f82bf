#include "controls/ComponentRegistry.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

TEST(ComponentRegistryTest, EveryRegisteredNameCreatesAControlOfThatClassInRegistrationOrder)
{
    QStringList names;
    for (const ComponentClass &component : registeredComponents()) {
        names << component.className;
        std::unique_ptr<QWidget> control(createComponent(component.className));
        ASSERT_TRUE(control) << component.className.toStdString();
        EXPECT_STREQ(control->metaObject()->className(), component.className.toLatin1().constData());
    }
    EXPECT_EQ(names, QStringList({"TFmtEdit", "TIntEdit", "TFloatEdit", "TSelEdit", "TDateTimeEdit", "TDateEdit",
                                  "TTimeEdit", "TNumEdit", "TSHTreeView"}));
    EXPECT_EQ(createComponent("TNoSuchEdit"), nullptr);
}
