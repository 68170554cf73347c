#pragma once
// Little-endian growable byte stream shared by profile and macro files.
// Strings are an int32 count of UTF-16 units followed by the units; numbers
// as text are "%d" stored as such a string.
//
// Reads never go past the written data: a read that would sets failed() and
// yields zero or an empty string, so a loader checks failed() once at the end.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class DataStream {
public:
    explicit DataStream(size_t initialCapacity = 1024);
    // A stream for reading whole data, e.g. a file's contents.
    explicit DataStream(const QByteArray &data);
    virtual ~DataStream() = default;

    // Grows the buffer when fewer than n bytes are free, by max(2n, 1024).
    void reserve(size_t n);

    void putUInt8(uint8_t v);
    void putInt16(int16_t v);
    void putInt32(int32_t v);
    void putString(const QString &s);
    void putNumberText(int32_t v);
    void putBytes(const void *data, size_t n);

    uint8_t getUInt8();
    int16_t getInt16();
    int32_t getInt32();
    QString getString();
    int32_t getNumberText();

    bool failed() const { return failed_; }
    // For a reader that finds a count its data cannot hold.
    void markFailed() { failed_ = true; }
    size_t remaining() const { return written_ - readPos_; }
    size_t capacity() const { return buffer_.size(); }
    size_t size() const { return written_; }
    size_t readPosition() const { return readPos_; }
    const uint8_t *data() const { return buffer_.data(); }
    QByteArray bytes() const;

private:
    bool take(void *out, size_t n);

    std::vector<uint8_t> buffer_;
    size_t written_ = 0;
    size_t readPos_ = 0;
    bool failed_ = false;
};
