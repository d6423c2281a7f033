#pragma once

#include "store/FetchRequest.h"

// Every favourite, by title in the reader's collation.
class FavoritesRequest : public FetchRequest
{
public:
    FavoritesRequest();
};
