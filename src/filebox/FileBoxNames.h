#pragma once

#include "platform/FilePath.h"

#include <QString>
#include <QStringList>

class ChineseCollator;

// Which names a file box lists for a pattern, and in which order, as the file list box of a
// Chinese system does.
namespace FileBoxNames {

// The names that match pattern: one or more patterns separated by ";", each with "*" and "?"
// as wildcards, letter case ignored. "*.*" matches every name; a pattern ending in "." matches
// names without an extension ("*." every such name).
QStringList matching(const QStringList &names, const QString &pattern);
// The positions of the names that match, in their order.
QList<qsizetype> matchingPositions(const QStringList &names, const QString &pattern);

// Sorts names alphabetically whatever the system locale: letter case ignored; symbols and
// digits first, then Latin letters, then Chinese characters in pinyin order.
void sort(QStringList &names);

// The positions of names in the order sort puts them in, for lists that carry more than a
// name per line.
QList<qsizetype> sortedPositions(const QStringList &names);
// The same with a collator kept for many lists.
QList<qsizetype> sortedPositions(const QStringList &names, const ChineseCollator &collator);

// The files of folder that match pattern, in sorted order: what the file list box shows and what
// page 2 numbers. None when the folder cannot be read.
QList<FilePath> filesOf(const FilePath &folder, const QString &pattern);

} // namespace FileBoxNames
