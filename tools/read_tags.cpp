// Prints how Tunemark reads the tags of the files given, as JSON: for each file, every field
// under each tag encoding of the settings page, with ID3v2 on and off. A file of no type the
// program knows by its name (test files named .id3 or .tag) is read as an MP3 file.
//
//     tunemark_read_tags FILE...
#include "platform/LegacyText.h"
#include "tags/TagReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const char *const names[] = {"title", "singer", "album",      "track",
                                 "year",  "disc",   "albumArtist"};
    QJsonArray files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        const TagFormat *format = formatByNameEnding(path, true);
        if (!format)
            format = formatByNameEnding(u"x.mp3");
        QJsonArray readings;
        for (const LegacyText::TagEncoding &encoding : LegacyText::kTagEncodings) {
            for (const bool id3v2 : {false, true}) {
                QJsonObject reading{
                    {QStringLiteral("encoding"), encoding.iniName.isEmpty()
                                                     ? QStringLiteral("system")
                                                     : QString::fromLatin1(encoding.iniName)},
                    {QStringLiteral("id3v2"), id3v2}};
                bool unreadable = false;
                const std::optional<TagText> tags =
                    readTags(*format, path, {id3v2, encoding.codePage, true}, &unreadable);
                if (tags) {
                    for (size_t f = 0; f < std::size(kTagFields); ++f)
                        reading.insert(QString::fromLatin1(names[f]), (*tags).*kTagFields[f]);
                }
                if (unreadable)
                    reading.insert(QStringLiteral("unreadable"), true);
                readings.append(reading);
            }
        }
        files.append(
            QJsonObject{{QStringLiteral("file"), path}, {QStringLiteral("readings"), readings}});
    }
    const QByteArray json = QJsonDocument(files).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
