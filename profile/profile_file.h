#pragma once
// .profile files: a magic, then the record's stored fields in a fixed order.
#include "profile/profile_record.h"

#include <QByteArray>
#include <QString>

// The bytes of a profile file for this record.
QByteArray SerializeProfile(const ProfileRecord &record);

// Reads profile-file bytes into the record. Wrong magic, data that ends early
// or a count beyond the data reject the whole file: the record is untouched.
bool DeserializeProfile(ProfileRecord &record, const QByteArray &bytes);

// Writes the file atomically (a temporary file in the same folder, renamed
// over the old one), creating missing folders. False when it could not be
// written; the previous file, if any, is then intact.
bool SaveProfile(const ProfileRecord &record, const QString &path);

// Reads a whole file and deserialises it. False when the file cannot be read
// or is rejected; the record keeps its values.
bool LoadProfile(ProfileRecord &record, const QString &path);

// Larger files are not profiles; refusing them bounds the memory a load takes.
constexpr qint64 kMaxProfileFileSize = 16 * 1024 * 1024;
