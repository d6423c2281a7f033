#pragma once

#include <QObject>
#include <QString>

// A tab's face in the tab bar: its drawing (an Icons name), its title and the
// badge text beside it. An empty badge shows no badge at all.
// Thread contract: main thread only.
class TabBarItem : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabBarItem)

public:
    explicit TabBarItem(QObject *parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString &title);

    QString badgeValue() const { return badgeValue_; }
    void setBadgeValue(const QString &value);

    QString imageName() const { return imageName_; }
    void setImageName(const QString &name);

Q_SIGNALS:
    void changed();

private:
    QString title_;
    QString badgeValue_;
    QString imageName_;
};
