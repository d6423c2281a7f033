#include "store/FavoritesRequest.h"

#include "store/AppData.h"

FavoritesRequest::FavoritesRequest()
    : FetchRequest(AppData::FavoriteEntityName, Predicate(),
                   {SortDescriptor::localizedCaseInsensitive(QStringLiteral("title"))})
{}
