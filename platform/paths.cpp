#include "platform/paths.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace vela {
namespace {

bool entryExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

void makeFolder(const QString &path)
{
    // Errors are ignored on purpose: an empty prefix or an existing file simply fails.
    ::mkdir(QFile::encodeName(path).constData(), 0777);
}

} // namespace

QString programFolder()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return QDir::currentPath();
    QString exe = QFile::decodeName(QByteArray(buf, static_cast<int>(n)));
    int slash = exe.lastIndexOf(u'/');
    return slash > 0 ? exe.left(slash) : QStringLiteral("/");
}

QString appDataFolder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative value is invalid by the XDG rules and is ignored.
    if (!config.isEmpty() && config.startsWith(u'/'))
        return config;
    return QDir::homePath() + QStringLiteral("/.config");
}

void EnsureFolder(const QString &input)
{
    if (input.isEmpty() || entryExists(input))
        return;
    QString path = input;
    int lastSlash = path.lastIndexOf(u'/');
    if (path.lastIndexOf(u'.') > lastSlash)
        path = path.left(lastSlash < 0 ? 0 : lastSlash);
    for (int i = path.indexOf(u'/'); i >= 0; i = path.indexOf(u'/', i + 1)) {
        QString prefix = path.left(i);
        if (!prefix.isEmpty() && !entryExists(prefix))
            makeFolder(prefix);
    }
    if (!path.isEmpty())
        makeFolder(path);
}

} // namespace vela
