#include "platform/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <atomic>

namespace vela {
namespace {

QString startPath(const QString &proposedName)
{
    ProposedName split = SplitProposedName(proposedName);
    if (split.folder.isEmpty())
        return split.file;
    if (split.file.isEmpty())
        return split.folder;
    return split.folder.endsWith(u'/') ? split.folder + split.file : split.folder + u'/' + split.file;
}

class QtDialogs final : public DialogService {
public:
    void messageBox(QWidget *parent, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        box.exec();
    }
    QString saveFileName(QWidget *parent, const QString &proposedName, const QString &windowsFilter) override
    {
        return QFileDialog::getSaveFileName(parent, QString(), startPath(proposedName),
                                            QtFileFilter(windowsFilter), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
    QString openFileName(QWidget *parent, const QString &proposedName, const QString &windowsFilter) override
    {
        return QFileDialog::getOpenFileName(parent, QString(), startPath(proposedName),
                                            QtFileFilter(windowsFilter));
    }
};

QtDialogs &qtDialogs()
{
    static QtDialogs dialogs;
    return dialogs;
}

std::atomic<DialogService *> g_service{nullptr};

} // namespace

DialogService &Dialogs()
{
    DialogService *service = g_service.load();
    return service ? *service : qtDialogs();
}

void SetDialogService(DialogService *service)
{
    g_service.store(service);
}

void ShowMessageBox(QWidget *parent, const QString &text, const QString &caption)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QPointer<QWidget> guard(parent);
    auto show = [guard, text, caption] { Dialogs().messageBox(guard.data(), text, caption); };
    if (QThread::currentThread() == app->thread())
        show();
    else
        QMetaObject::invokeMethod(app, show, Qt::BlockingQueuedConnection);
}

QString QtFileFilter(const QString &windowsFilter)
{
    QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        if (name.isEmpty())
            break;  // "||" ends the list
        QString patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ');
        QString tail = u'(' + patterns + u')';
        filters << (name.endsWith(tail) ? name : name + u' ' + tail);
    }
    return filters.join(QStringLiteral(";;"));
}

ProposedName SplitProposedName(const QString &proposedName)
{
    qsizetype slash = proposedName.lastIndexOf(u'/');
    ProposedName out;
    out.folder = slash < 0 ? QString() : proposedName.left(slash == 0 ? 1 : slash);
    out.file = proposedName.mid(slash + 1);
    if (out.file.contains(u'*') || out.file.contains(u'?'))
        out.file.clear();
    return out;
}

} // namespace vela
