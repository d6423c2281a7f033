#pragma once

#include "sites/mangareader/DeducerMangaReader.h"

// MangaHere: reader pages laid out like MangaReader's, except that a chapter
// may show the same image on more than one page.
//
// Thread contract: as Deducer.
class DeducerMangaHere : public DeducerMangaReader
{
public:
    using DeducerMangaReader::DeducerMangaReader;

    bool go() override;
};
