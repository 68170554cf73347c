// Renders every control of the kit in each look (normal, hover, pressed,
// selected or checked, disabled), the sliders with 1, 3 and 5 thumbs, the
// scroll bars and a menu with its submenu open, to PNG files. The skin images
// are drawn here in code, in the program's dark look.
#include "ui/nex_button.h"
#include "ui/nex_edit.h"
#include "ui/nex_image_dialog.h"
#include "ui/nex_menu.h"
#include "ui/nex_slider.h"
#include "ui/nex_static.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

using namespace vela::ui;

namespace {

const QColor kAccent(50, 235, 165);
const QColor kText(210, 210, 210);

enum class Face { Normal, Hover, Pressed, Disabled };

QImage Blank(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A bevelled plate: near-black with a soft top light; the pressed plate glows green.
QImage Plate(QSize size, Face face, int radius = 3)
{
    QImage img = Blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(img.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, 0, 0, size.height());
    QColor border;
    switch (face) {
    case Face::Normal:
        fill.setColorAt(0, QColor(40, 43, 47));
        fill.setColorAt(1, QColor(22, 24, 27));
        border = QColor(62, 66, 72);
        break;
    case Face::Hover:
        fill.setColorAt(0, QColor(58, 63, 69));
        fill.setColorAt(1, QColor(32, 35, 39));
        border = QColor(120, 128, 136);
        break;
    case Face::Pressed:
        fill.setColorAt(0, QColor(16, 52, 40));
        fill.setColorAt(1, QColor(10, 28, 22));
        border = kAccent;
        break;
    case Face::Disabled:
        fill.setColorAt(0, QColor(24, 25, 27));
        fill.setColorAt(1, QColor(18, 19, 20));
        border = QColor(36, 38, 40);
        break;
    }
    p.setPen(border);
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
    return img;
}

QImage CheckBoxImage(Face face)
{
    QImage img = Plate({18, 18}, face, 2);
    if (face == Face::Pressed) {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kAccent, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5, 9.5), QPointF(7.5, 12.5), QPointF(13.5, 5.5)}));
    }
    return img;
}

// The combo button's plate with its drop-down arrow.
QImage ComboImage(QSize size, Face face)
{
    QImage img = Plate(size, face);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = face == Face::Pressed ? kAccent : face == Face::Hover ? QColor(Qt::white) : kText;
    const double x = size.width() - 16, y = size.height() / 2.0 - 2;
    QPainterPath arrow;
    arrow.moveTo(x, y);
    arrow.lineTo(x + 8, y);
    arrow.lineTo(x + 4, y + 5);
    arrow.closeSubpath();
    p.fillPath(arrow, c);
    return img;
}

QImage TrackImage(QSize size, bool vertical = false)
{
    QImage img = Blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF groove = vertical ? QRectF(size.width() / 2.0 - 2, 2, 4, size.height() - 4)
                                   : QRectF(2, size.height() / 2.0 - 2, size.width() - 4, 4);
    p.setPen(QColor(60, 64, 70));
    p.setBrush(QColor(12, 13, 15));
    p.drawRoundedRect(groove, 2, 2);
    return img;
}

QImage ThumbImage(QSize size, QColor colour, bool lockedLook = false)
{
    QImage img = Blank(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(size.width() / 2.0, size.height() / 3.0, size.width() / 1.6);
    g.setColorAt(0, lockedLook ? QColor(110, 110, 110) : colour.lighter(135));
    g.setColorAt(1, lockedLook ? QColor(55, 55, 55) : colour.darker(140));
    p.setPen(QColor(10, 10, 10));
    p.setBrush(g);
    p.drawEllipse(QRectF(img.rect()).adjusted(1, 1, -1, -1));
    return img;
}

QImage ArrowImage(QSize size, bool up, bool pressed, bool horizontal = false)
{
    QImage img = Plate(size, pressed ? Face::Pressed : Face::Normal, 2);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double cx = size.width() / 2.0, cy = size.height() / 2.0;
    QPainterPath a;
    if (horizontal) {
        const double d = up ? -1 : 1;
        a.moveTo(cx - 2 * d, cy - 4);
        a.lineTo(cx + 3 * d, cy);
        a.lineTo(cx - 2 * d, cy + 4);
    } else {
        const double d = up ? -1 : 1;
        a.moveTo(cx - 4, cy - 2 * d);
        a.lineTo(cx, cy + 3 * d);
        a.lineTo(cx + 4, cy - 2 * d);
    }
    a.closeSubpath();
    p.fillPath(a, pressed ? kAccent : kText);
    return img;
}

QImage EditBackground(QSize size)
{
    QImage img = Blank(size);
    QPainter p(&img);
    p.setPen(QColor(70, 74, 80));
    p.setBrush(QColor(8, 9, 10));
    p.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    return img;
}

// ---- driving looks with pointer events --------------------------------------

void Send(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Hover(QWidget *w) { Send(w, QEvent::MouseMove, w->rect().center()); }
void Press(QWidget *w)
{
    Hover(w);
    Send(w, QEvent::MouseButtonPress, w->rect().center(), Qt::LeftButton);
}

// ---- the sheet ---------------------------------------------------------------

constexpr int kLabelWidth = 150, kCell = 150, kRow = 46, kTop = 40;
const char *const kLookNames[5] = {"Normal", "Hover", "Pressed", "Selected / checked", "Disabled"};

class Sheet : public CNexImageDialog {
public:
    Sheet(QSize size, const QString &title)
    {
        QImage bg(size, QImage::Format_RGB32);
        QPainter p(&bg);
        QLinearGradient g(0, 0, 0, size.height());
        g.setColorAt(0, QColor(22, 24, 27));
        g.setColorAt(1, QColor(10, 11, 12));
        p.fillRect(bg.rect(), g);
        p.setPen(QColor(40, 44, 48));
        p.drawLine(0, kTop - 6, size.width(), kTop - 6);
        p.end();
        SetBackground(bg);
        label(title, {12, 6, 400, 24}, 16, ARGB_ACCENT);
    }
    CNexStatic *label(const QString &text, QRect at, int height = 15, uint32_t argb = 0xFFD2D2D2, bool centre = false)
    {
        auto *s = new CNexStatic(this);
        s->setGeometry(at);
        s->SetFontHeight(height);
        s->SetTextColor(argb);
        s->SetCentre(centre);
        s->SetText(text);
        return s;
    }
    void columnHeads(int count = 5)
    {
        for (int i = 0; i < count; ++i)
            label(QString::fromLatin1(kLookNames[i]), {kLabelWidth + i * kCell, kTop, kCell - 10, 20}, 13, 0xFF8C9096);
    }
    QRect cell(int row, int col, QSize size) const
    {
        const int x = kLabelWidth + col * kCell, y = kTop + 26 + row * kRow;
        return QRect(QPoint(x, y + (kRow - 10 - size.height()) / 2), size);
    }
    void rowLabel(int row, const QString &text)
    {
        label(text, {12, kTop + 26 + row * kRow, kLabelWidth - 16, kRow - 10}, 15, 0xFFFFFFFF);
    }
};

// Five looks of one control kind: make(col) creates it; the column decides the look.
template <typename Make, typename Select>
void LookRow(Sheet &sheet, int row, const QString &name, QSize size, Make make, Select select)
{
    sheet.rowLabel(row, name);
    for (int col = 0; col < 5; ++col) {
        QWidget *w = make();
        w->setGeometry(sheet.cell(row, col, size));
        w->show();
        switch (col) {
        case 1: Hover(w); break;
        case 2: Press(w); break;
        case 3: select(w); break;
        case 4: w->setEnabled(false); break;
        default: break;
        }
    }
}

bool Save(QWidget *w, const QString &dir, const char *name)
{
    const QString path = dir + QLatin1Char('/') + QLatin1String(name);
    if (!w->grab().save(path, "PNG")) {
        std::fprintf(stderr, "vela-gallery: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Controls(const QString &dir)
{
    Sheet sheet({kLabelWidth + 5 * kCell + 10, kTop + 26 + 8 * kRow}, QStringLiteral("Control kit: buttons, boxes, edits"));
    sheet.columnHeads();
    const QSize buttonSize(120, 28);
    auto buttonImages = [&](CNexButtonBase *b, QSize s) {
        b->SetImages(Plate(s, Face::Normal), Plate(s, Face::Hover), Plate(s, Face::Pressed), Plate(s, Face::Disabled));
    };
    LookRow(sheet, 0, QStringLiteral("CNexButton"), buttonSize, [&] {
        auto *b = new CNexButton(&sheet, 1000);
        buttonImages(b, buttonSize);
        b->SetCaption(QStringLiteral("Apply"));
        return b;
    }, [](QWidget *w) { static_cast<CNexButton *>(w)->SetSelected(true); });

    LookRow(sheet, 1, QStringLiteral("No caption"), {28, 28}, [&] {
        auto *b = new CNexButton(&sheet, 1029);
        buttonImages(b, {28, 28});
        return b;
    }, [](QWidget *w) { static_cast<CNexButton *>(w)->SetSelected(true); });

    LookRow(sheet, 2, QStringLiteral("CNexCheckBox"), {18, 18}, [&] {
        auto *b = new CNexCheckBox(&sheet, 1028);
        b->SetImages(CheckBoxImage(Face::Normal), CheckBoxImage(Face::Hover), CheckBoxImage(Face::Pressed),
                     CheckBoxImage(Face::Disabled));
        return b;
    }, [](QWidget *w) { static_cast<CNexCheckBox *>(w)->SetCheck(true); });

    LookRow(sheet, 3, QStringLiteral("CNexCbnColorButton"), {24, 24}, [&] {
        auto *b = new CNexCbnColorButton(&sheet, 1035);
        QImage swatch = Plate({24, 24}, Face::Normal);
        QPainter(&swatch).fillRect(QRect(5, 5, 14, 14), QColor(255, 60, 60));
        QImage over = Plate({24, 24}, Face::Hover);
        QPainter(&over).fillRect(QRect(5, 5, 14, 14), QColor(255, 60, 60));
        QImage down = Plate({24, 24}, Face::Pressed);
        QPainter(&down).fillRect(QRect(5, 5, 14, 14), QColor(255, 60, 60));
        b->SetImages(swatch, over, down, Plate({24, 24}, Face::Disabled));
        return b;
    }, [](QWidget *) {});

    const QSize comboSize(140, 26);
    LookRow(sheet, 4, QStringLiteral("CNexComboButton"), comboSize, [&] {
        auto *c = new CNexComboButton(&sheet, 1040);
        c->SetImages(ComboImage(comboSize, Face::Normal), ComboImage(comboSize, Face::Hover),
                     ComboImage(comboSize, Face::Pressed));
        c->SetSelection(QStringLiteral("Left Click"), 1, -1);
        return c;
    }, [](QWidget *w) { static_cast<CNexComboButton *>(w)->SetActive(true); });

    sheet.rowLabel(5, QStringLiteral("CNexEdit / CPOLEdit"));
    auto *hex = new CNexEdit(&sheet, 1087);
    hex->setGeometry(sheet.cell(5, 0, {70, 17}));
    hex->SetHexFilter(true);
    hex->setText(QStringLiteral("32EBA5"));
    auto *red = new CNexEdit(&sheet, 1082);
    red->setGeometry(sheet.cell(5, 1, {40, 17}));
    red->SetBackground(EditBackground({40, 17}));
    red->setText(QStringLiteral("255"));
    auto *pol = new CPOLEdit(&sheet, 1017);
    pol->setGeometry(sheet.cell(5, 2, {50, 19}));
    pol->setText(QStringLiteral("150"));
    QPalette dark = pol->palette();
    dark.setColor(QPalette::Text, Qt::black);
    pol->setPalette(dark);
    auto *selected = new CNexEdit(&sheet, 1083);
    selected->setGeometry(sheet.cell(5, 3, {70, 17}));
    selected->setText(QStringLiteral("Macro 1"));
    selected->selectAll();
    auto *off = new CNexEdit(&sheet, 1084);
    off->setGeometry(sheet.cell(5, 4, {40, 17}));
    off->setText(QStringLiteral("0"));
    off->setEnabled(false);

    sheet.rowLabel(6, QStringLiteral("CNexProgressCtrl"));
    const int fractions[3] = {0, 50, 100};
    QImage fill(120, 10, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&fill);
        QLinearGradient g(0, 0, 120, 0);
        g.setColorAt(0, kAccent.darker(160));
        g.setColorAt(1, kAccent);
        p.fillRect(fill.rect(), g);
    }
    for (int i = 0; i < 3; ++i) {
        auto *bar = new CNexProgressCtrl(&sheet);
        bar->setGeometry(sheet.cell(6, i, {120, 10}));
        bar->SetImages(TrackImage({120, 10}), fill);
        bar->SetRange(0, 100);
        bar->SetPos(fractions[i]);
        sheet.label(QStringLiteral("%1 %").arg(fractions[i]), sheet.cell(6, i, {120, 10}).translated(0, 12), 12, 0xFF8C9096);
    }

    sheet.rowLabel(7, QStringLiteral("CNexStatic"));
    auto *stat = new CNexStatic(&sheet, 1113);
    stat->setGeometry(sheet.cell(7, 0, {120, 20}));
    stat->SetBackgroundColor(0xFF14161A);
    stat->SetText(QStringLiteral("Polling Rate"));
    auto *centred = new CNexStatic(&sheet, 1114);
    centred->setGeometry(sheet.cell(7, 1, {120, 20}));
    centred->SetBackground(Plate({120, 20}, Face::Normal));
    centred->SetCentre(true);
    centred->SetTextColor(ARGB_ACCENT);
    centred->SetText(QStringLiteral("1000 Hz"));
    return Save(&sheet, dir, "controls.png");
}

bool Sliders(const QString &dir)
{
    const int width = kLabelWidth + 2 * kCell + 260 + 290;
    Sheet sheet({width, kTop + 26 + 6 * kRow + 10}, QStringLiteral("Control kit: sliders and scroll bars"));
    const QColor thumbColours[5] = {QColor(230, 80, 80), QColor(240, 170, 60), QColor(80, 200, 120),
                                    QColor(70, 150, 240), QColor(180, 110, 240)};
    std::array<QImage, 5> thumbs;
    for (int k = 0; k < 4; ++k)
        thumbs[k] = ThumbImage({16, 16}, thumbColours[k]);
    thumbs[4] = ThumbImage({16, 16}, thumbColours[4]);
    std::array<QImage, 5> singleThumbs = thumbs;
    singleThumbs[0] = ThumbImage({16, 16}, kAccent);
    singleThumbs[4] = ThumbImage({16, 16}, QColor(), true); // the locked look

    struct Row { const char *name; int thumbs; bool locked; bool single; int values[2][5]; };
    const Row rows[] = {
        {"1 thumb", 1, false, true, {{1600}, {6400}}},
        {"1 thumb, locked", 1, true, true, {{1600}, {100}}},
        {"3 thumbs", 3, false, false, {{800, 2400, 4000}, {100, 3200, 6400}}},
        {"5 thumbs", 5, false, false, {{400, 1600, 3200, 4800, 6400}, {100, 200, 300, 6300, 6400}}},
        {"5 thumbs, locked", 5, true, false, {{400, 1600, 3200, 4800, 6400}, {800, 1600, 2400, 3200, 4000}}},
    };
    int row = 0;
    for (const Row &r : rows) {
        sheet.rowLabel(row, QString::fromLatin1(r.name));
        for (int col = 0; col < 2; ++col) {
            auto *s = new CNexSliderCtrl3D(&sheet, 1014);
            s->setGeometry(sheet.cell(row, col * 2, {260, 16}));
            s->SetImages(TrackImage({260, 16}), r.single ? singleThumbs : thumbs);
            s->SetRange(100, 6400);
            s->SetStep(100);
            s->SetThumbCount(r.thumbs);
            for (int k = 1; k <= r.thumbs; ++k)
                s->SetValue(k, r.values[col][k - 1]);
            if (r.locked)
                s->SetLook(LookLocked);
            s->show();
        }
        ++row;
    }
    sheet.label(QStringLiteral("Range 100-6400"), {kLabelWidth, kTop, 200, 20}, 13, 0xFF8C9096);
    sheet.label(QStringLiteral("At the ends of the track"), {kLabelWidth + 2 * kCell, kTop, 200, 20}, 13, 0xFF8C9096);

    // Scroll bars and the vertical slider, to the right of the rows.
    const int x0 = kLabelWidth + 2 * kCell + 260 + 60;
    std::array<QImage, CNexScrollCtrl::ImageCount> vimg{
        TrackImage({12, 200}, true), Plate({12, 40}, Face::Hover), Plate({12, 40}, Face::Pressed),
        ArrowImage({12, 14}, true, false), ArrowImage({12, 14}, true, true),
        ArrowImage({12, 14}, false, false), ArrowImage({12, 14}, false, true)};
    auto *vbar = new CNexScrollCtrl(&sheet, 100);
    vbar->setGeometry(x0, kTop + 30, 12, 200);
    vbar->SetImages(vimg);
    vbar->SetRange(0, 20);
    vbar->SetPosition(6);
    auto *vbarDown = new CNexScrollCtrl(&sheet, 100);
    vbarDown->setGeometry(x0 + 60, kTop + 30, 12, 200);
    vbarDown->SetImages(vimg);
    vbarDown->SetRange(0, 20);
    vbarDown->SetPosition(20);
    Send(vbarDown, QEvent::MouseMove, {6, 195});
    Send(vbarDown, QEvent::MouseButtonPress, {6, 195}, Qt::LeftButton); // lower arrow held
    auto *vbarEmpty = new CNexScrollCtrl(&sheet, 100);
    vbarEmpty->setGeometry(x0 + 120, kTop + 30, 12, 200);
    vbarEmpty->SetImages(vimg);
    vbarEmpty->SetRange(10, 10);
    vbarEmpty->SetPosition(10);
    sheet.label(QStringLiteral("position 6"), {x0 - 24, kTop + 234, 60, 16}, 11, 0xFF8C9096, true);
    sheet.label(QStringLiteral("arrow held"), {x0 + 36, kTop + 234, 60, 16}, 11, 0xFF8C9096, true);
    sheet.label(QStringLiteral("min = max"), {x0 + 96, kTop + 234, 60, 16}, 11, 0xFF8C9096, true);

    auto *hbar = new CNexScrollCtrl(&sheet, 101);
    hbar->setGeometry(sheet.cell(5, 0, {300, 12}));
    hbar->SetImages({TrackImage({300, 12}), Plate({50, 12}, Face::Hover), Plate({50, 12}, Face::Pressed),
                     ArrowImage({14, 12}, true, false, true), ArrowImage({14, 12}, true, true, true),
                     ArrowImage({14, 12}, false, false, true), ArrowImage({14, 12}, false, true, true)});
    hbar->SetRange(0, 100);
    hbar->SetPosition(35);
    sheet.rowLabel(5, QStringLiteral("Scroll bar"));

    // A hue strip for the vertical slider, which picks the colour under its thumb.
    QImage hue(24, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 24; ++x)
            hue.setPixelColor(x, y, QColor::fromHsv(y * 359 / 199, 230, 235));
    auto *ver = new CNexSliderCtrlVer(&sheet, 1106);
    ver->setGeometry(x0 + 180, kTop + 30, 24, 200);
    ver->SetImages(hue, Plate({24, 10}, Face::Normal), Plate({24, 10}, Face::Pressed), QImage());
    ver->SetRange(0, 100);
    ver->SetValue(40);
    ver->SetShowValue(true);
    Hover(ver);
    sheet.label(QStringLiteral("vertical"), {x0 + 162, kTop + 234, 60, 16}, 11, 0xFF8C9096, true);
    return Save(&sheet, dir, "sliders.png");
}

bool Menus(const QString &dir)
{
    Sheet sheet({560, 300}, QStringLiteral("Control kit: menu with a submenu open"));
    sheet.move(0, 0);
    sheet.show();
    auto *combo = new CNexComboButton(&sheet, 1040);
    combo->setGeometry(20, 60, 160, 26);
    const QSize comboSize(160, 26);
    combo->SetImages(ComboImage(comboSize, Face::Normal), ComboImage(comboSize, Face::Hover),
                     ComboImage(comboSize, Face::Pressed));
    combo->SetActive(true);
    combo->SetSelection(QStringLiteral("Left Click"), 1, -1);
    combo->show();
    const char *const top[] = {"Left Click", "Right Click", "Middle Click", "Forward", "Back", "Scroll", "Keyboard", "Disable"};
    for (int i = 0; i < 8; ++i)
        combo->AddItem(i + 1, QString::fromLatin1(top[i]));
    combo->AddSubItem(6, 61, QStringLiteral("Up"));
    combo->AddSubItem(6, 62, QStringLiteral("Down"));
    combo->AddSubItem(7, 71, QStringLiteral("Key Combination"));
    CNexMenu *menu = combo->menu();
    const QPoint at = combo->mapToGlobal(QPoint(0, combo->height()));
    menu->ShowMenu(AnchorTopLeft, at.x(), at.y());
    // Hover "Scroll": its submenu opens beside it.
    const QPoint scroll = menu->items()[5].rect.center();
    Send(menu, QEvent::MouseMove, scroll);
    CNexMenu *sub = menu->GetSubMenu(6);
    QApplication::processEvents();

    // Compose the sheet and the two menu windows as the screen would show them.
    QImage shot = sheet.grab().toImage();
    QPainter p(&shot);
    const QPoint origin = sheet.mapToGlobal(QPoint(0, 0));
    p.drawPixmap(menu->geometry().topLeft() - origin, menu->grab());
    if (sub->isVisible())
        p.drawPixmap(sub->geometry().topLeft() - origin, sub->grab());
    p.end();
    menu->HideMenu();
    const QString path = dir + QStringLiteral("/menu.png");
    if (!sub->isVisible() && !shot.save(path, "PNG")) {
        std::fprintf(stderr, "vela-gallery: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Statics(const QString &dir)
{
    Sheet sheet({660, 440}, QStringLiteral("Control kit: lighting preview and colour square"));
    // A stand-in mouse picture: a dark body, transparent where the two zones glow.
    QImage mouse = Blank({270, 369});
    {
        QPainter p(&mouse);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath body;
        body.addRoundedRect(QRectF(60, 20, 150, 330), 70, 90);
        QLinearGradient g(0, 0, 270, 0);
        g.setColorAt(0, QColor(20, 22, 25));
        g.setColorAt(0.5, QColor(48, 52, 58));
        g.setColorAt(1, QColor(16, 17, 19));
        p.fillPath(body, g);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(CNexMouseStatic::ZoneA, Qt::transparent);
        p.fillRect(CNexMouseStatic::ZoneB, Qt::transparent);
    }
    auto *preview = new CNexMouseStatic(&sheet, 1085);
    preview->setGeometry(20, kTop + 10, 270, 369);
    preview->SetPicture(mouse);
    preview->SetColorA(0xFF32EBA5);
    preview->SetColorB(0xFFE04040);
    preview->SetBrightness(4);
    auto *square = new CPolColorStatic(&sheet, 1112);
    square->setGeometry(330, kTop + 10, 143, 140);
    square->SetBaseColor(0x0000FF);
    sheet.label(QStringLiteral("CNexMouseStatic"), {20, kTop + 384, 200, 18}, 12, 0xFF8C9096);
    sheet.label(QStringLiteral("CPolColorStatic"), {330, kTop + 154, 200, 18}, 12, 0xFF8C9096);
    return Save(&sheet, dir, "statics.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery");
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "vela-gallery: cannot create %s\n", qPrintable(dir));
        return 1;
    }
    const bool ok = Controls(dir) && Sliders(dir) && Menus(dir) && Statics(dir);
    return ok ? 0 : 1;
}
