#pragma once

#include <QString>

class Download;

// A download keeps the text of its last deduction error in nextChapterURL;
// a null text clears it. Thread contract: the download's context's thread.
void SetDeducerErrorString(Download &download, const QString &text);
QString GetDeducerErrorString(const Download &download);
