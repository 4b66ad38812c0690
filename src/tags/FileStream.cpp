#include "tags/FileStream.h"

#include "platform/ReadOnlyFile.h"

#include <algorithm>

FileStream::FileStream(ReadOnlyFile &file, long length)
    : m_file(file)
    , m_length(length >= 0 ? std::min(length, long(file.size())) : long(file.size())) {}

TagLib::FileName FileStream::name() const {
    return ""; // the formats are chosen by the program, never by a name
}

bool FileStream::isOpen() const {
    return m_file.isOpen();
}

TagLib::ByteVector FileStream::readBlock(unsigned long length) {
    const long count = std::min(long(std::min(length, 1ul << 30)), m_length - m_position);
    if (count <= 0 || !m_file.isOpen())
        return {};
    TagLib::ByteVector bytes(static_cast<unsigned int>(count), 0);
    long got = 0;
    while (got < count) {
        const qint64 read = m_file.readAt(bytes.data() + got, count - got, m_position + got);
        if (read <= 0)
            break; // the end, or a failed read: what came so far
        got += long(read);
    }
    bytes.resize(static_cast<unsigned int>(got));
    m_position += got;
    return bytes;
}

void FileStream::seek(long offset, Position p) {
    const long from = p == Beginning ? 0 : p == Current ? m_position : m_length;
    m_position = std::max(0L, from + offset);
}
