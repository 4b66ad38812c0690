#pragma once

#include <tiostream.h>

class ReadOnlyFile;

// TagLib's view of one of our read-only files: positioned reads, and nothing that writes.
// TagLib reads through it exactly as through its own file stream, but with the program's open
// (non-blocking, regular files only, nothing buffered) and on whatever thread reads the tag.
// length, when not negative, makes the stream end there (a tag at the file's start read alone).
class FileStream : public TagLib::IOStream {
public:
    explicit FileStream(ReadOnlyFile &file, long length = -1);

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector &) override {}
    void insert(const TagLib::ByteVector &, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override;
    void seek(long offset, Position p = Beginning) override;
    long tell() const override { return m_position; }
    long length() override { return m_length; }
    void truncate(long) override {}

private:
    ReadOnlyFile &m_file;
    long m_length;
    long m_position = 0;
};
