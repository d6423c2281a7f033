#pragma once

#include <cstddef>
#include <functional>

#include <QtGlobal>

// The tables of the store file. Chapter and Download share one table; a
// row's entity column tells them apart.
enum class StoreTable { Book, Chapter, Page, Favorite };

// A record's permanent identity: its table and row id. Row ids are handed
// out by the coordinator when a record is created (before it is saved), so
// an identity never changes and two contexts never hand out the same one.
struct ObjectID {
    StoreTable table = StoreTable::Book;
    qint64 row = 0;

    bool isNull() const { return row == 0; }
    bool operator==(const ObjectID &) const = default;
};

struct ObjectIDHash {
    std::size_t operator()(const ObjectID &id) const noexcept
    {
        return std::hash<qint64>()(id.row * 4 + qint64(id.table));
    }
};
