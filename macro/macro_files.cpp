#include "macro/macro_files.h"

#include "platform/paths.h"
#include "profile/data_stream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString &path) { return QFile::encodeName(path); }

bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(native(path).constData(), &st) == 0;
}

// Removes one entry; folders (never followed through a link) with their contents.
bool removeEntry(const QString &path)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISDIR(st.st_mode))
        return DeleteFolderTree(path);
    return ::unlink(native(path).constData()) == 0;
}

// Empty on success, else the reason.
QString writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    // fsync before the folder swap, so a crash cannot leave a swapped-in
    // folder of empty files.
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(strerror(errno));
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}

// Reads a regular file of bounded size; false for anything else.
bool readWholeFile(const QString &path, QByteArray &out)
{
    QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxMacroFileSize)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return false;
    out = file.read(kMaxMacroFileSize + 1);
    return out.size() <= kMaxMacroFileSize && file.error() == QFileDevice::NoError;
}

void putRect(DataStream &s, const MacroRect &r)
{
    s.putInt32(r.left);
    s.putInt32(r.top);
    s.putInt32(r.right);
    s.putInt32(r.bottom);
}

MacroRect getRect(DataStream &s)
{
    MacroRect r;
    r.left = s.getInt32();
    r.top = s.getInt32();
    r.right = s.getInt32();
    r.bottom = s.getInt32();
    return r;
}

constexpr size_t kEventRecordSize = 32;

// Keeps a file name within the 255 bytes Linux file systems allow, with room
// for ".macro": the head and the tail of the name survive, so names that
// differ by an appended "1" still get different files.
QString shortenForFileSystem(const QString &base)
{
    constexpr int kMaxBytes = 240;
    if (base.toUtf8().size() <= kMaxBytes)
        return base;
    QString tail = base.right(40);
    if (!tail.isEmpty() && tail.front().isLowSurrogate())
        tail.remove(0, 1);
    QString head = base;
    head.chop(tail.size());
    while (!head.isEmpty() && (head + u'~' + tail).toUtf8().size() > kMaxBytes) {
        head.chop(1);
        if (!head.isEmpty() && head.back().isHighSurrogate())
            head.chop(1);
    }
    return head + u'~' + tail;
}

} // namespace

QString MacroFileBaseName(const QString &macroName)
{
    QString base = macroName;
    for (QChar &c : base)
        if (c == u'/' || c == u'\\' || c == QChar(0))
            c = u'_';
    if (base.isEmpty() || base == u"." || base == u"..")
        base.prepend(u'_');
    return shortenForFileSystem(base);
}

QByteArray EncodeMacroFile(const MacroSnapshot &macro)
{
    DataStream s(1024);
    s.putString(macro.name);
    s.putInt32(macro.id);
    putRect(s, macro.viewRect);
    s.putInt32(static_cast<int32_t>(macro.events.size()));
    for (const CEventItem &e : macro.events) {
        s.putUInt8(e.kind);
        s.putInt16(static_cast<int16_t>(e.code));
        s.putUInt8(e.upFlag);
        s.putInt32(e.delay);
        putRect(s, e.rect);
        s.putInt32(e.selected);
        s.putInt32(e.id);
    }
    return s.bytes();
}

bool DecodeMacroFile(const QByteArray &bytes, MacroSnapshot &macro)
{
    DataStream s(bytes);
    MacroSnapshot m;
    m.name = s.getString();
    m.id = s.getInt32();
    m.viewRect = getRect(s);
    const int32_t count = s.getInt32();
    if (s.failed())
        return false;
    if (count > 0) {
        if (s.remaining() / kEventRecordSize < static_cast<size_t>(count))
            return false;
        m.events.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            CEventItem e;
            e.kind = s.getUInt8();
            e.code = static_cast<uint16_t>(s.getInt16());
            e.upFlag = s.getUInt8();
            e.delay = s.getInt32();
            e.rect = getRect(s);
            e.selected = s.getInt32();
            e.id = s.getInt32();
            m.events.push_back(e);
        }
    }
    if (s.failed())
        return false;
    macro = std::move(m);
    return true;
}

QByteArray EncodeMacroIndex(const QStringList &paths)
{
    DataStream s(1024);
    s.putInt32(static_cast<int32_t>(paths.size()));
    for (const QString &p : paths)
        s.putString(p);
    return s.bytes();
}

QStringList DecodeMacroIndex(const QByteArray &bytes)
{
    DataStream s(bytes);
    const int32_t count = s.getInt32();
    QStringList paths;
    for (int32_t i = 0; i < count; ++i) {
        QString p = s.getString();
        if (s.failed())
            break;
        paths.append(p);
    }
    return paths;
}

bool DeleteFolderTree(const QString &path)
{
    if (!EmptyFolder(path))
        return false;
    return ::rmdir(native(path).constData()) == 0 || errno == ENOENT;
}

bool EmptyFolder(const QString &path)
{
    // O_NOFOLLOW: a folder that was swapped for a link is not entered.
    const int fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENOENT;
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    QStringList names;
    while (dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != u"." && name != u"..")
            names.append(name);
    }
    ::closedir(dir);
    bool ok = true;
    for (const QString &name : names)
        ok = removeEntry(path + u'/' + name) && ok;
    return ok;
}

MacroSaveResult WriteMacroLibrary(const MacroLibrarySnapshot &library)
{
    MacroSaveResult result;
    const QString &folder = library.folderPath;
    if (folder.size() < 4)
        return result;

    auto fail = [&](const QString &why, const QString &staging) {
        if (!staging.isEmpty())
            DeleteFolderTree(staging);
        result.ok = false;
        result.error = why;
        result.savedNames.clear();
        return result;
    };

    vela::EnsureFolder(folder);
    // A Macros folder that is a link to elsewhere stays a link: save into its target.
    QString real = folder;
    if (QFileInfo info(folder); info.isSymLink() && info.isDir())
        real = info.canonicalFilePath();
    if (!QFileInfo(real).isDir())
        return fail(QStringLiteral("The macro folder %1 cannot be created.").arg(folder), {});

    const QString staging = real + QStringLiteral(".saving");
    DeleteFolderTree(staging); // a save that died earlier
    if (::mkdir(native(staging).constData(), 0755) != 0)
        return fail(QStringLiteral("Cannot create %1: %2").arg(staging, QString::fromLocal8Bit(strerror(errno))), {});

    QStringList paths;
    for (const MacroSnapshot &macro : library.macros) {
        MacroSnapshot saved = macro;
        QString base = MacroFileBaseName(saved.name);
        // Names that differ by an appended "1" always get different files, but
        // stop rather than loop if the file system says otherwise.
        for (int tries = 0; entryExists(staging + u'/' + base + QStringLiteral(".macro")); ++tries) {
            if (tries > 100000)
                return fail(QStringLiteral("No free file name for the macro %1.").arg(macro.name), staging);
            saved.name += u'1';
            base = MacroFileBaseName(saved.name);
        }
        const QString fileName = base + QStringLiteral(".macro");
        if (QString why = writeWholeFile(staging + u'/' + fileName, EncodeMacroFile(saved)); !why.isEmpty())
            return fail(QStringLiteral("Cannot write the macro %1: %2").arg(saved.name, why), staging);
        paths.append(folder + u'/' + fileName);
        result.savedNames.push_back(saved.name);
    }
    if (QString why = writeWholeFile(staging + u'/' + kMacroIndexName, EncodeMacroIndex(paths)); !why.isEmpty())
        return fail(QStringLiteral("Cannot write the macro index: %1").arg(why), staging);

    // Swap the new folder in at once; the old contents end up in staging.
    if (::renameat2(AT_FDCWD, native(staging).constData(), AT_FDCWD, native(real).constData(),
                    RENAME_EXCHANGE) == 0) {
        DeleteFolderTree(staging);
        return result;
    }
    // File systems without an exchange: move the old folder aside first.
    const QString old = real + QStringLiteral(".old");
    DeleteFolderTree(old);
    if (::rename(native(real).constData(), native(old).constData()) != 0)
        return fail(QStringLiteral("Cannot replace %1: %2").arg(folder, QString::fromLocal8Bit(strerror(errno))),
                    staging);
    if (::rename(native(staging).constData(), native(real).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(strerror(errno));
        ::rename(native(old).constData(), native(real).constData());
        return fail(QStringLiteral("Cannot replace %1: %2").arg(folder, why), staging);
    }
    DeleteFolderTree(old);
    return result;
}

MacroLoadResult ReadMacroLibrary(const QString &folderPath)
{
    MacroLoadResult result;
    QByteArray index;
    if (!readWholeFile(folderPath + u'/' + kMacroIndexName, index))
        return result;
    for (const QString &stored : DecodeMacroIndex(index)) {
        // Only the file name of a stored path counts, and only inside this
        // folder: an index never makes us read elsewhere, and a library that
        // was moved (or written with "\" separators) still loads.
        const qsizetype cut = std::max(stored.lastIndexOf(u'/'), stored.lastIndexOf(u'\\'));
        const QString fileName = stored.mid(cut + 1);
        QByteArray bytes;
        MacroSnapshot macro;
        if (fileName.isEmpty() || fileName == u"." || fileName == u".." ||
            !readWholeFile(folderPath + u'/' + fileName, bytes) || !DecodeMacroFile(bytes, macro)) {
            ++result.skipped;
            continue;
        }
        result.macros.push_back(std::move(macro));
    }
    return result;
}
