#pragma once
// A fresh folder per test, removed afterwards.
#include <QString>
#include <QTemporaryDir>

namespace vela::test {

class TempDir {
public:
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.path() + u'/' + name; }

private:
    QTemporaryDir dir_;
};

} // namespace vela::test
