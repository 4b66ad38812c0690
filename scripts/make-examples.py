#!/usr/bin/env python3
"""Writes the sample files in examples/: a few small tagged MP3 files (silent MPEG audio
frames followed by an ID3v1 block), one RealMedia file with a content-description header,
and one MP3 file without a tag. Texts in tags are GBK, as legacy players wrote them."""
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")


def silent_frames(count):
    # MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417-byte frames.
    frame = b"\xff\xfb\x90\x00" + bytes(417 - 4)
    return frame * count


def id3v1(title, artist, album="", year="2003", genre=12):
    def field(text, size):
        data = text.encode("gbk")
        assert len(data) <= size, text
        return data + bytes(size - len(data))

    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30)
            + field(year, 4) + field("", 30) + bytes([genre]))


def chunk(name, body):
    return name + struct.pack(">I", 8 + len(body)) + body


def realmedia(title, author, copyright_="", comment=""):
    def text(s):
        data = s.encode("gbk")
        return struct.pack(">H", len(data)) + data

    header = b".RMF" + struct.pack(">IHII", 18, 0, 0, 4)
    prop = chunk(b"PROP", struct.pack(">H", 0) + bytes(40))
    cont = chunk(b"CONT", struct.pack(">H", 0) + text(title) + text(author)
                 + text(copyright_) + text(comment))
    data = chunk(b"DATA", struct.pack(">HII", 0, 0, 0) + bytes(2048))
    return header + prop + cont + data


def main():
    os.makedirs(OUT, exist_ok=True)
    files = {
        "track01.mp3": silent_frames(8) + id3v1("春天的小路", "林小雨", "四季"),
        "track02.mp3": silent_frames(8) + id3v1("Blue Night", "Alice", "Evening"),
        "track03.mp3": silent_frames(8) + id3v1("夜空中的歌", "陈星"),
        "untagged.mp3": silent_frames(8),
        "folk.rm": realmedia("茉莉花", "民歌合唱团", "(c) Tunemark", "sample"),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print("wrote", len(files), "files to", os.path.normpath(OUT), file=sys.stderr)


if __name__ == "__main__":
    main()
