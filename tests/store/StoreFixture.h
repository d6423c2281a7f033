#pragma once

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"
#include "store/AppData.h"

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A fresh home tree per test, alerts recorded, fatal exits recorded.
class StoreFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        MyDirectories::setRootDirectory(root.path());
        MyDirectories::sharedMyDirectories().createDirectories();
        Alerts::install(alerts);
        SetFatalExitHook([this](int status) { exitStatuses.push_back(status); });
    }

    void TearDown() override
    {
        SetFatalExitHook({});
        Alerts::install(nullptr);
        MyDirectories::setRootDirectory({});
    }

    QString storePath() const
    {
        return MyDirectories::sharedMyDirectories().applicationDocumentDirectory() + QStringLiteral("/") +
               AppData::CoreDataName;
    }

    // An AppData that has run its start-up steps, as a program start would.
    std::unique_ptr<AppData> start()
    {
        auto appData = std::make_unique<AppData>();
        EXPECT_TRUE(appData->setup());
        return appData;
    }

    QTemporaryDir root;
    std::shared_ptr<AlertRecorder> alerts = std::make_shared<AlertRecorder>();
    std::vector<int> exitStatuses;
};
