// Draws the program's windows as a user sees them into PNG files:
//   vela-shell-snapshots OUTPUT_FOLDER
// The main window with each tab chosen, the rename dialog and every pop-up
// kind (the countdown half-way, the key capture showing a key). Per-user
// files go to a temporary folder, so nothing of the user's is touched.
#include "app/main_window.h"
#include "app/rename_dlg.h"
#include "pages/pop_dlg.h"
#include "ui/nex_button.h"
#include "ui/nex_edit.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool Save(QWidget &w, const QString &folder, const QString &name)
{
    w.show();
    QApplication::processEvents();
    const QString path = folder + u'/' + name + QStringLiteral(".png");
    if (!w.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vela-shell-snapshots OUTPUT_FOLDER\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(out))
        return 1;

    bool ok = true;
    {
        CVELADlg main;
        main.OnInitDialog();
        main.profileSlots().records[1].name = QStringLiteral("Sniper");
        main.OnSlotMenu(3, MenuDisableEnable);
        main.OnSelectSlot(1);
        const char *tabs[] = {"mouse", "sensor", "color", "macro", "support"};
        for (int i = PageCount - 1; i >= 0; --i) {
            main.OnTab(i);
            ok &= Save(main, out, QStringLiteral("main_%1_%2").arg(i).arg(QLatin1String(tabs[i])));
        }
        main.hide();
        main.DestroyWindow();
    }
    {
        CRenameDlg rename(2, nullptr);
        rename.edit()->setText(QStringLiteral("Sniper"));
        ok &= Save(rename, out, QStringLiteral("rename"));
    }
    for (int kind : CPopDlg::kKinds) {
        CPopDlg pop(kind, nullptr);
        if (kind == POP_SQAT_COUNTDOWN) {
            pop.countdownTimer().stop();
            for (int i = 0; i < 5; ++i)
                pop.CountdownTick();
        }
        if (kind == POP_ASSIGN_KEY)
            pop.onKeyHookEvent(0xA0, 0); // Left SHIFT
        ok &= Save(pop, out, QStringLiteral("popup_%1").arg(kind));
    }
    return ok ? 0 : 1;
}
