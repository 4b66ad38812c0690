#pragma once

#include <QString>

// What a tag gives the program: the song's title and its singer.
struct TagText {
    QString title;
    QString singer;
};
