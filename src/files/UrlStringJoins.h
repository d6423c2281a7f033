#pragma once

#include <QString>

// Joins for URL texts, where QUrl's resolution rules would be wrong: the
// sites hand out relative links that are simply appended to a base.

// An absolute component ("http:" or "https:") replaces the base; otherwise
// exactly one "/" joins the two.
QString urlStringByAppendingPathComponent(const QString &base, const QString &component);

// Drops the text after the last "/"; the slash itself stays.
QString urlStringByDeletingLastPathComponent(const QString &urlString);
