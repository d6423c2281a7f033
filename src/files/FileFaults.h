#pragma once

#include <functional>

#include <QString>

// Where the disk can refuse the library's files: creating a folder, writing
// a page, moving a file, renaming a folder. The suites run as root, where
// permissions cannot make a write fail, and a full disk cannot be had on
// demand, so tests install an injector that picks the steps that fail and
// the errno they fail with. Nothing installs one outside tests.
// Thread contract: any thread; the injector is called on the thread doing
// the step.
class FileFaults
{
public:
    enum class Step { CreateFolder, WriteFile, MoveFile, RenameFolder };
    // The errno to fail the step with, or 0 to let it run.
    using Injector = std::function<int(Step step, const QString &path)>;

    // An empty injector removes the one installed.
    static void setInjector(Injector injector);
    // True, with errno set, when the step must fail.
    static bool fails(Step step, const QString &path);
};
