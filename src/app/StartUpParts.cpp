#include "app/StartUpParts.h"

#include "download/DeducerFetcher.h"
#include "download/DownloadManager.h"

void StartUpParts::reconstructWaitQueue()
{
    DownloadManager::sharedDownloadManager().deducerFetcher().reconstructWaitQueue();
}
