#pragma once

#include "support/TestFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTest>

#include <algorithm>

// File access for tests that rename real files in a temporary folder.
namespace FileTree {

inline void write(const QString &path, const QByteArray &content) {
    QVERIFY2(TestFiles::write(path, content), qPrintable(path));
}

using TestFiles::read;

// Every file below root, by its path relative to root, with its content.
inline QMap<QString, QByteArray> files(const QString &root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(path.mid(root.size()), read(path));
    }
    return out;
}

// The contents below root, sorted: equal to the sorted originals when every file is there
// exactly once, under whatever name.
inline QByteArrayList sortedContents(const QString &root) {
    QByteArrayList out = files(root).values();
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace FileTree
