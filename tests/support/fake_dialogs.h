#pragma once
// Answers the message box and file dialogs without showing anything: records
// every request and gives back scripted file names. Installed while it lives.
#include "platform/dialogs.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <deque>
#include <vector>

namespace vela::test {

class FakeDialogs final : public DialogService {
public:
    enum class Kind { Message, Save, Open };
    struct Request {
        Kind kind;
        QString text;      // message text, or the proposed file name
        QString caption;   // message caption, or the Windows filter
        QWidget *parent;
        QThread *thread;   // the thread that asked
    };

    FakeDialogs() { SetDialogService(this); }
    ~FakeDialogs() override { SetDialogService(nullptr); }

    // Answers for the next file dialogs, in order; an empty answer (or none
    // left) means the user cancelled.
    void answer(const QString &path) { answers_.push_back(path); }

    const std::vector<Request> &requests() const { return requests_; }
    QStringList messages() const
    {
        QStringList out;
        for (const Request &r : requests_)
            if (r.kind == Kind::Message)
                out << r.caption + u'|' + r.text;
        return out;
    }

    void messageBox(QWidget *parent, const QString &text, const QString &caption) override
    {
        requests_.push_back({Kind::Message, text, caption, parent, QThread::currentThread()});
    }
    QString saveFileName(QWidget *parent, const QString &name, const QString &filter) override
    {
        requests_.push_back({Kind::Save, name, filter, parent, QThread::currentThread()});
        return next();
    }
    QString openFileName(QWidget *parent, const QString &name, const QString &filter) override
    {
        requests_.push_back({Kind::Open, name, filter, parent, QThread::currentThread()});
        return next();
    }

private:
    QString next()
    {
        if (answers_.empty())
            return {};
        QString path = answers_.front();
        answers_.pop_front();
        return path;
    }

    std::deque<QString> answers_;
    std::vector<Request> requests_;
};

} // namespace vela::test
