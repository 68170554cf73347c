#pragma once
// Sets an environment variable for one scope and restores the old value.
#include <QByteArray>

#include <cstdlib>

namespace vela::test {

class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

} // namespace vela::test
