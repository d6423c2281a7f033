#pragma once

#include <QString>

// A book's details as its page shows them. A null string means the page did
// not give that detail (no site fills demographic). A plain value.
struct NavBookInfo {
    QString author;
    QString artist;
    QString genre;
    QString rank;
    QString summary;
    QString license;
    QString coverUrlString;
    QString demographic;
    QString releaseDate;
    QString status;

    bool operator==(const NavBookInfo &) const = default;
};
