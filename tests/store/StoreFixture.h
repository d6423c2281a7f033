#pragma once

#include <memory>

#include "store/AppData.h"
#include "support/HomeFixture.h"

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// The home fixture with its directories made.
class StoreFixture : public HomeFixture
{
protected:
    void SetUp() override
    {
        HomeFixture::SetUp();
        MyDirectories::sharedMyDirectories().createDirectories();
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
};
