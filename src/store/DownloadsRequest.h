#pragma once

#include <QString>

#include "store/FetchRequest.h"

class ManagedObjectContext;

// Downloads: all of them, newest first; or those of one manga from one
// source (its title matched ignoring case), in chapter-number order.
class DownloadsRequest : public FetchRequest
{
public:
    DownloadsRequest();
    // The entity is the same in every context; the form names the context
    // the caller will run the request on.
    explicit DownloadsRequest(ManagedObjectContext *context);
    DownloadsRequest(const QString &bookTitle, const QString &rootTitle);
};
