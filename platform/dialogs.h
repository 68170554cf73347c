#pragma once
// The system's message box and file dialogs behind one replaceable service, so
// tests answer them through a double and never block on a real modal window.
#include <QString>

class QWidget;

namespace vela {

class DialogService {
public:
    virtual ~DialogService() = default;
    // A modal box with `text`, the window title `caption`, the exclamation
    // (warning) icon and one OK button; returns when it is closed. UI thread.
    virtual void messageBox(QWidget *parent, const QString &text, const QString &caption) = 0;
    // The save-file dialog proposing `proposedName` (a file name, optionally with
    // a folder), with a filter in the Windows form "Name|patterns|...||". An
    // existing file is chosen without an overwrite question. Returns the chosen
    // path, or an empty string when cancelled. UI thread.
    virtual QString saveFileName(QWidget *parent, const QString &proposedName,
                                 const QString &windowsFilter) = 0;
    // The open-file dialog; `proposedName` may end in a wildcard such as
    // "/some/folder/*.profile", which opens that folder. Returns the chosen
    // path, or an empty string when cancelled. UI thread.
    virtual QString openFileName(QWidget *parent, const QString &proposedName,
                                 const QString &windowsFilter) = 0;
};

// The service in use: the real Qt dialogs unless a test set its own.
DialogService &Dialogs();
// Replaces the service (not owned); nullptr restores the real dialogs.
void SetDialogService(DialogService *service);

// Shows Dialogs().messageBox from any thread: off the UI thread the call is
// handed to the UI thread and blocks until the box is closed, so the UI thread
// must not be waiting for the caller. Does nothing without a QApplication.
// `parent` may be destroyed meanwhile; the box then has no parent.
void ShowMessageBox(QWidget *parent, const QString &text, const QString &caption);

// "Mouse Profile(*.profile)|*.profile||" → "Mouse Profile(*.profile)": each
// name|patterns pair becomes one Qt filter "name (patterns)" with ';' between
// Windows patterns turned into blanks; a name that already ends in exactly
// "(patterns)" is kept as it is. Qt filters are joined by ";;". Plain function.
QString QtFileFilter(const QString &windowsFilter);

// Splits a proposed name into the folder to open and the file name to preset:
// a last component holding '*' or '?' presets nothing. Plain function.
struct ProposedName {
    QString folder;  // empty: the dialog's default folder
    QString file;    // empty: nothing preset
};
ProposedName SplitProposedName(const QString &proposedName);

} // namespace vela
