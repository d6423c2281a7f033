#pragma once

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/MyDirectories.h"
#include "foundation/AlertFunctions.h"
#include "foundation/Alerts.h"

// A fresh home tree per test, alerts recorded, fatal exits recorded instead
// of ending the test program.
class HomeFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        MyDirectories::setRootDirectory(root.path());
        Alerts::install(alerts);
        SetFatalExitHook([this](int status) { exitStatuses.push_back(status); });
    }

    void TearDown() override
    {
        SetFatalExitHook({});
        Alerts::install(nullptr);
        MyDirectories::setRootDirectory({});
    }

    QTemporaryDir root;
    std::shared_ptr<AlertRecorder> alerts = std::make_shared<AlertRecorder>();
    std::vector<int> exitStatuses;
};
