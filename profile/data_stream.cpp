#include "profile/data_stream.h"

#include <algorithm>
#include <cstring>

DataStream::DataStream(size_t initialCapacity) : buffer_(initialCapacity, 0) {}

DataStream::DataStream(const QByteArray &data)
    : buffer_(data.begin(), data.end()), written_(static_cast<size_t>(data.size()))
{
}

void DataStream::reserve(size_t n)
{
    if (buffer_.size() - written_ < n)
        buffer_.resize(buffer_.size() + std::max<size_t>(2 * n, 1024), 0);
}

void DataStream::putBytes(const void *data, size_t n)
{
    reserve(n);
    std::memcpy(buffer_.data() + written_, data, n);
    written_ += n;
}

void DataStream::putUInt8(uint8_t v) { putBytes(&v, 1); }

void DataStream::putInt16(int16_t v)
{
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8)};
    putBytes(b, 2);
}

void DataStream::putInt32(int32_t v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                          static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    putBytes(b, 4);
}

void DataStream::putString(const QString &s)
{
    const size_t count = static_cast<size_t>(s.size());
    reserve(2 * count + 4);
    putInt32(static_cast<int32_t>(count));
    for (QChar c : s)
        putInt16(static_cast<int16_t>(c.unicode()));
}

void DataStream::putNumberText(int32_t v) { putString(QString::number(v)); }

bool DataStream::take(void *out, size_t n)
{
    if (failed_ || remaining() < n) {
        failed_ = true;
        std::memset(out, 0, n);
        return false;
    }
    std::memcpy(out, buffer_.data() + readPos_, n);
    readPos_ += n;
    return true;
}

uint8_t DataStream::getUInt8()
{
    uint8_t v;
    take(&v, 1);
    return v;
}

int16_t DataStream::getInt16()
{
    uint8_t b[2];
    take(b, 2);
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t DataStream::getInt32()
{
    uint8_t b[4];
    take(b, 4);
    return static_cast<int32_t>(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
                                (uint32_t(b[3]) << 24));
}

QString DataStream::getString()
{
    const int32_t count = getInt32();
    if (failed_ || count <= 0)
        return {};
    if (remaining() / 2 < static_cast<size_t>(count)) {
        // A count beyond the data: the stream is not what it claims to be.
        failed_ = true;
        return {};
    }
    QString s(count, Qt::Uninitialized);
    for (int32_t i = 0; i < count; ++i)
        s[i] = QChar(static_cast<char16_t>(getInt16()));
    return s;
}

int32_t DataStream::getNumberText()
{
    // Leading decimal digits with an optional sign, as a C runtime would parse
    // them; anything else reads as 0. Out-of-range values wrap to 32 bits.
    const QString text = getString();
    int i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10 + static_cast<uint32_t>(text[i].unicode() - u'0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

QByteArray DataStream::bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(buffer_.data()), static_cast<qsizetype>(written_));
}
