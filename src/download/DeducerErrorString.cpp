#include "download/DeducerErrorString.h"

#include "store/Download.h"

void SetDeducerErrorString(Download &download, const QString &text)
{
    download.setNextChapterURL(text);
}

QString GetDeducerErrorString(const Download &download)
{
    return download.nextChapterURL();
}
