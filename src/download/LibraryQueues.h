#pragma once

class DownloadsMoverQueueWrapper;
class RemovePathsQueueWrapper;

// The library's two background queue wrappers: removing folders and saving
// downloads in bulk. The program's start (the application delegate's
// start-up, or yomora-cli before it works on the library) creates them once;
// they live until the process ends.
// Thread contract: main thread only.
class LibraryQueues
{
public:
    // Creates the wrappers when missing and resumes, once, the removals an
    // earlier run left unfinished. Only where the program starts: a removal
    // listed by a deletion in progress must not be resumed a second time.
    static void create();
    // Made on first use when create() has not run (a flow used on its own).
    static RemovePathsQueueWrapper *removePathsQueueWrapper();
    static DownloadsMoverQueueWrapper *downloadsMoverQueueWrapper();
    // Tests only: waits for the queues to drain and drops the wrappers, so
    // that the next create() starts afresh.
    static void destroy();
};
