#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QSharedData>
#include <QString>

// A path, or a part of one, as the program passes it around: text for people, and the file
// system's exact bytes. Off Windows a name need not be UTF-8 (an archive made on Windows names
// its files in GBK); such a path keeps its own bytes beside its decoded text, so that the file
// is found again. Everywhere else the text gives the bytes back, and only the text is kept.
//
// Folders keep their trailing separator, so that a file's path is folder.join(name).
class FilePath {
public:
    FilePath() = default;
    // A path given as text; its bytes are what the text encodes to.
    FilePath(QString text) // implicit: a text path is a path
        : m_text(std::move(text)) {}
    FilePath(const char16_t *text)
        : m_text(QString::fromUtf16(text)) {}

    // A path given as the file system's exact bytes (off Windows; UTF-8 on Windows, whose
    // names are UTF-16): its text decoded part by part (Paths::nameText), its bytes kept where
    // the text would not give them back.
    static FilePath fromExactBytes(const QByteArray &bytes);

    const QString &text() const { return m_text; }
    // The bytes that name the file to the system.
    QByteArray exactBytes() const;
    // Whether the bytes are kept beside the text because the text does not give them back.
    bool hasOwnBytes() const { return m_ownBytes != nullptr; }
    bool isEmpty() const { return m_text.isEmpty() && !hasOwnBytes(); }

    // This path followed by name, as they are: a folder joined with a name is the file's path.
    FilePath join(const FilePath &name) const;
    // The folder part, up to and including the last separator; empty when there is none.
    FilePath folder() const;
    // The last part, after the last separator.
    FilePath name() const;

    // The form rename.log and rename.m3u give a path: own bytes as they are, text in the
    // outputs' encoding (LegacyText::encodeOutputPath); every control byte written as "?".
    QByteArray outputForm(bool inUtf8 = false) const;

    // Two paths are the same when they name the same bytes.
    friend bool operator==(const FilePath &a, const FilePath &b) {
        return a.m_text == b.m_text && a.ownBytes() == b.ownBytes();
    }
    friend bool operator!=(const FilePath &a, const FilePath &b) { return !(a == b); }
    friend size_t qHash(const FilePath &path, size_t seed = 0) {
        return qHashMulti(seed, path.m_text, path.ownBytes());
    }

private:
    QString m_text;
    struct OwnBytes : QSharedData {
        QByteArray bytes; // never empty
    };
    // The bytes kept beside the text, or none.
    const QByteArray &ownBytes() const;
    // Keeps bytes beside the text; empty bytes keep none.
    void setOwnBytes(const QByteArray &bytes);

    // Null when the text gives the bytes back: a pointer, so that the many paths a long list
    // holds pay little for the few that need their own bytes.
    QExplicitlySharedDataPointer<OwnBytes> m_ownBytes;
};
