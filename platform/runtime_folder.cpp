#include "platform/runtime_folder.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vela {
namespace {

// A folder we may trust: a real folder (not a link), ours, closed to others.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

QString ensurePrivateFolder(const QString &path)
{
    QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(native) ? path : QString();
}

} // namespace

QString PrivateRuntimeFolder()
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith(u'/') && isPrivateFolder(QFile::encodeName(runtime)))
        return ensurePrivateFolder(runtime + QStringLiteral("/vela-pro"));
    return ensurePrivateFolder(QStringLiteral("/tmp/vela-pro-%1").arg(::getuid()));
}

QString SafeFileName(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("_");
    QByteArray utf8 = text.toUtf8();
    QString out;
    for (char c : utf8) {
        auto b = static_cast<unsigned char>(c);
        bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-';
        if (plain)
            out += QChar(b);
        else
            out += QStringLiteral("_%1").arg(b, 2, 16, QChar(u'0')).toUpper();
    }
    if (out.size() > 64) {
        QByteArray hash = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex().left(16);
        out = out.left(40) + u'-' + QString::fromLatin1(hash);
    }
    return out;
}

} // namespace vela
