#include <gtest/gtest.h>

#include "foundation/ActivitySwitches.h"
#include "foundation/Alerts.h"
#include "foundation/Uuid.h"

TEST(AlertRecorderTest, RecordsAlertsAndPressesButtons)
{
    auto recorder = std::make_shared<AlertRecorder>();
    Alerts::install(recorder);
    int pressed = -1;
    Alerts::instance().show({QStringLiteral("Title"), QStringLiteral("Message"), QStringLiteral("Ok"),
                             {QStringLiteral("Retry")}, 7, [&](int i) { pressed = i; }});
    Alerts::instance().show({QStringLiteral("Second"), {}, QStringLiteral("Ok"), {}, 0, nullptr});
    ASSERT_EQ(recorder->alerts().size(), 2u);
    EXPECT_EQ(recorder->alerts()[0].tag, 7);
    recorder->press(1);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(recorder->last().title, QStringLiteral("Second"));
    recorder->press(0); // no callback: must not crash
    EXPECT_TRUE(recorder->isEmpty());
    Alerts::install(nullptr);
}

TEST(ActivitySwitchesTest, NestedCallsCount)
{
    ActivitySwitches::networkActivityOn();
    ActivitySwitches::networkActivityOn();
    ActivitySwitches::networkActivityOff();
    EXPECT_TRUE(ActivitySwitches::isNetworkActivityVisible());
    ActivitySwitches::networkActivityOff();
    ActivitySwitches::networkActivityOff(); // unbalanced: stays at zero
    EXPECT_FALSE(ActivitySwitches::isNetworkActivityVisible());
    ActivitySwitches::networkActivityOn();
    EXPECT_TRUE(ActivitySwitches::isNetworkActivityVisible());
    ActivitySwitches::networkActivityOff();
}

TEST(UuidTest, UpperCaseThirtySixCharacters)
{
    const QString a = createUUID();
    EXPECT_EQ(a.size(), 36);
    EXPECT_EQ(a, a.toUpper());
    EXPECT_NE(a, createUUID());
}
