#!/usr/bin/env python3
"""Writes the sample files in examples/: a few small tagged MP3 files (silent MPEG audio
frames followed by an ID3v1 block), one RealMedia file with a content-description header,
one MP3 file without a tag, and MP3 files with ID3v2 tags (UTF-16, UTF-8, and Latin-1 frames
that hold GBK). Texts in ID3v1 and Latin-1 frames are GBK, as legacy players wrote them."""
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


def gbk_cut(text, size):
    # What a legacy tagger stored of a long title: as many whole characters as fit.
    data = b""
    for ch in text:
        if len(data) + len(ch.encode("gbk")) > size:
            break
        data += ch.encode("gbk")
    return data.decode("gbk")


def id3v2(version, frames):
    def syncsafe(n):
        return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

    body = b""
    for frame_id, encoding, data in frames:
        payload = bytes([encoding]) + data
        size = syncsafe(len(payload)) if version == 4 else struct.pack(">I", len(payload))
        body += frame_id + size + b"\0\0" + payload
    return b"ID3" + bytes([version, 0, 0]) + syncsafe(len(body)) + body


def utf16(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


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
        # ID3v2 (read when "读取 ID3v2 标签" is on); the ID3v1 block holds a title cut short.
        "track04.mp3": id3v2(3, [(b"TIT2", 1, utf16("一条通往远方山谷的弯弯曲曲的小路")),
                                 (b"TPE1", 1, utf16("周远"))])
        + silent_frames(8) + id3v1(gbk_cut("一条通往远方山谷的弯弯曲曲的小路", 30), "周远"),
        "track05.mp3": id3v2(4, [(b"TIT2", 3, "Morning Light".encode()),
                                 (b"TPE1", 3, "Ben".encode())]) + silent_frames(8),
        "track06.mp3": id3v2(3, [(b"TIT2", 0, "月亮代表我的心".encode("gbk")),
                                 (b"TPE1", 0, "老歌手".encode("gbk"))]) + silent_frames(8),
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print("wrote", len(files), "files to", os.path.normpath(OUT), file=sys.stderr)


if __name__ == "__main__":
    main()
