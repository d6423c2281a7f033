#pragma once

// Something that shows how far a request queue has got, such as the
// downloads screen's progress bar. Called on the main thread only.
class HttpProgressDelegate
{
public:
    virtual ~HttpProgressDelegate() = default;
    // 0 when nothing is done, 1 when everything added has ended.
    virtual void setProgress(float progress) = 0;
};
