#pragma once

#include "tags/TagText.h"

#include <optional>

class ReadOnlyFile;

// Readers of the other music formats, each through TagLib over the file (FileStream): the
// format's own tag, its text as the format defines it (UTF-8 or UTF-16), except ID3v2 frames
// marked Latin-1 and RIFF INFO text, which are legacy text in codePage. Nothing when the file
// holds no readable tag of its format.
namespace OtherFormats {

// FLAC: only the block headers and the Vorbis comment block are read, never a picture.
std::optional<TagText> readFlac(ReadOnlyFile &file, int codePage);
// Ogg Vorbis, Opus, Speex and FLAC in Ogg, told apart by the first packet.
std::optional<TagText> readOgg(ReadOnlyFile &file, int codePage);
std::optional<TagText> readMp4(ReadOnlyFile &file, int codePage);
std::optional<TagText> readAsf(ReadOnlyFile &file, int codePage);
std::optional<TagText> readApe(ReadOnlyFile &file, int codePage);
std::optional<TagText> readWavPack(ReadOnlyFile &file, int codePage);
std::optional<TagText> readMusepack(ReadOnlyFile &file, int codePage);
std::optional<TagText> readTrueAudio(ReadOnlyFile &file, int codePage);
// AIFF: its ID3 chunk.
std::optional<TagText> readAiff(ReadOnlyFile &file, int codePage);
// WAV: its ID3 chunk, else its RIFF INFO list.
std::optional<TagText> readWav(ReadOnlyFile &file, int codePage);

} // namespace OtherFormats
