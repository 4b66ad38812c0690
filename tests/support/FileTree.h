#pragma once

#include "platform/LegacyText.h"
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

// text as rename.log and rename.m3u hold it, for a run whose every character is in text: UTF-8
// off Windows; on Windows the system code page, or UTF-8 behind a byte-order mark where that
// lacks a character.
inline QByteArray outputBytes(const QString &text) {
#ifdef Q_OS_WIN
    if (!LegacyText::canEncode(text))
        return "\xEF\xBB\xBF" + text.toUtf8();
    return LegacyText::encode(text);
#else
    return text.toUtf8();
#endif
}

} // namespace FileTree
