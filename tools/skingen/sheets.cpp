#include "tools/skingen/sheets.h"

#include "tools/skingen/art.h"
#include "tools/skingen/pictures.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skingen {

using vela::skin::Control;
using vela::skin::Kind;
using vela::skin::Window;
using vela::skin::WindowId;

namespace {

void fillBase(QPainter &p, const QSize &size)
{
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(17, 18, 21));
    g.setColorAt(1, QColor(9, 10, 12));
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

void hint(QPainter &p, const QRect &box, const QString &text, int flags = Qt::AlignLeft | Qt::AlignTop)
{
    drawText(p, box, text, 11, colour::textDim, flags | Qt::TextWordWrap);
}

void drawMainArt(QPainter &p)
{
    fillBase(p, {1024, 576});
    QLinearGradient header(0, 0, 0, 88);
    header.setColorAt(0, QColor(27, 29, 33));
    header.setColorAt(1, QColor(15, 16, 19));
    p.fillRect(QRect(0, 0, 1024, 88), header);
    p.fillRect(QRect(0, 87, 1024, 1), QColor(38, 41, 46));
    p.fillRect(QRect(170, 51, 690, 1), QColor(32, 35, 39));

    const QFont logo = font(27, true);
    const int vela = QFontMetrics(logo).horizontalAdvance(QStringLiteral("VELA"));
    drawText(p, QRect(24, 14, 140, 36), QStringLiteral("VELA"), 27, Qt::white, Qt::AlignLeft | Qt::AlignVCenter, true);
    drawText(p, QRect(30 + vela, 14, 90, 36), QStringLiteral("PRO"), 27, colour::accent,
             Qt::AlignLeft | Qt::AlignVCenter, true);
    p.fillRect(QRect(26, 52, 36, 2), colour::accent);
    drawText(p, QRect(26, 57, 160, 14), QStringLiteral("GAMING MOUSE SOFTWARE"), 9, colour::textDim,
             Qt::AlignLeft | Qt::AlignVCenter, true);
    drawText(p, QRect(196, 65, 90, 16), QStringLiteral("PROFILES"), 10, colour::textDim,
             Qt::AlignRight | Qt::AlignVCenter, true);

    p.fillRect(QRect(0, 516, 1024, 60), QColor(10, 11, 13));
    p.fillRect(QRect(0, 516, 1024, 1), QColor(36, 39, 44));
}

void drawMouseSettingsArt(QPainter &p)
{
    fillBase(p, {1024, 427});
    drawPanel(p, QRect(18, 18, 318, 290));
    drawPanel(p, QRect(342, 18, 340, 350));
    drawPanel(p, QRect(342, 372, 340, 51));
    drawPanel(p, QRect(690, 18, 316, 300));
    drawTitle(p, {32, 40}, QStringLiteral("Button Assignment"));
    drawTitle(p, {354, 376}, QStringLiteral("Polling Rate"));
    drawTitle(p, {708, 50}, QStringLiteral("Double Click Speed"));
    drawTitle(p, {708, 140}, QStringLiteral("Scroll Speed"));
    drawTitle(p, {705, 232}, QStringLiteral("Pointer Acceleration"));
    const auto scale = [&](int left, int right, int y, const QString &low, const QString &high) {
        hint(p, QRect(left, y, 80, 14), low);
        hint(p, QRect(right - 80, y, 80, 14), high, Qt::AlignRight | Qt::AlignTop);
    };
    scale(708, 910, 101, QStringLiteral("Slow"), QStringLiteral("Fast"));
    scale(708, 910, 191, QStringLiteral("1 line"), QStringLiteral("6 lines"));
    scale(801, 937, 284, QStringLiteral("Low"), QStringLiteral("High"));
    hint(p, QRect(707, 286, 60, 14), QStringLiteral("Enable"));
    hint(p, QRect(32, 287, 290, 14), QStringLiteral("Click a field to choose what the button does."));
}

void drawSensorArt(QPainter &p)
{
    fillBase(p, {1024, 427});
    drawPanel(p, QRect(18, 18, 988, 178));
    drawPanel(p, QRect(18, 204, 600, 92));
    drawPanel(p, QRect(18, 302, 600, 110));
    drawPanel(p, QRect(626, 204, 380, 208));
    drawTitle(p, {84, 56}, QStringLiteral("DPI Stages"));
    hint(p, QRect(84, 117, 80, 14), QStringLiteral("50"));
    hint(p, QRect(712, 117, 80, 14), QStringLiteral("19000"), Qt::AlignRight | Qt::AlignTop);
    drawText(p, QRect(116, 151, 170, 17), QStringLiteral("Number of stages"), 12, colour::text);
    hint(p, QRect(812, 88, 180, 44), QStringLiteral("Drag a thumb or type a value for each stage, in steps of 50."));
    drawTitle(p, {104, 224}, QStringLiteral("Pointer Speed"));
    hint(p, QRect(104, 278, 80, 14), QStringLiteral("Slow"));
    hint(p, QRect(525, 278, 80, 14), QStringLiteral("Fast"), Qt::AlignRight | Qt::AlignTop);
    drawTitle(p, {117, 312}, QStringLiteral("Lift-Off Distance"));
    drawTitle(p, {278, 312}, QStringLiteral("Angle Snapping"));
    drawTitle(p, {437, 312}, QStringLiteral("Ripple Control"));
    hint(p, QRect(117, 364, 150, 14), QStringLiteral("Higher when on"));
    hint(p, QRect(278, 364, 150, 14), QStringLiteral("Straightens lines"));
    hint(p, QRect(437, 364, 150, 14), QStringLiteral("Smooths jitter"));
    drawTitle(p, {632, 224}, QStringLiteral("Surface Quality"));
}

void drawColorSettingsArt(QPainter &p)
{
    fillBase(p, {1024, 427});
    drawPanel(p, QRect(18, 18, 352, 394));
    drawPanel(p, QRect(380, 14, 288, 387));
    drawPanel(p, QRect(676, 18, 330, 394));
    drawText(p, QRect(34, 34, 320, 22), QStringLiteral("Lighting"), 17, Qt::white, Qt::AlignLeft | Qt::AlignVCenter, true);
    hint(p, QRect(34, 56, 320, 14), QStringLiteral("Scroll wheel and logo"));
    drawTitle(p, {86, 84}, QStringLiteral("Brightness"));
    hint(p, QRect(86, 131, 60, 14), QStringLiteral("Low"));
    hint(p, QRect(160, 131, 60, 14), QStringLiteral("High"), Qt::AlignRight | Qt::AlignTop);
    drawTitle(p, {95, 158}, QStringLiteral("Effects"));
    drawTitle(p, {94, 254}, QStringLiteral("Mode"));
    drawTitle(p, {749, 78}, QStringLiteral("Color"));
    // Frames for the colour picker's windows and the preview.
    p.setPen(QPen(colour::line, 1));
    p.setBrush(Qt::NoBrush);
    for (const Control &c : vela::skin::window(WindowId::ColorSettings).controls)
        if (c.kind == Kind::Area || c.kind == Kind::Preview)
            p.drawRect(QRectF(c.rect).adjusted(-1.5, -1.5, 0.5, 0.5));
    hint(p, QRect(749, 356, 240, 40), QStringLiteral("Pick a color, or type it as red, green and blue or as a hex value."));
}

void drawMacroSettingsArt(QPainter &p)
{
    fillBase(p, {1024, 427});
    drawPanel(p, QRect(80, 72, 504, 308));
    drawPanel(p, QRect(592, 72, 330, 220));
    hint(p, QRect(98, 80, 470, 16), QStringLiteral("Create macros here, then give one to a button on the Mouse Settings page."));
    drawTitle(p, {98, 104}, QStringLiteral("Macros"));
    drawTitle(p, {368, 104}, QStringLiteral("Events"));
    drawTitle(p, {614, 96}, QStringLiteral("Recording"));
    hint(p, QRect(368, 342, 200, 30), QStringLiteral("Right-click the list to insert, edit or delete events."));
    hint(p, QRect(710, 206, 200, 32), QStringLiteral("Keys you press are added to the selected macro."));
}

void drawSupportArt(QPainter &p)
{
    fillBase(p, {1024, 427});
    drawPanel(p, QRect(120, 60, 784, 330));
    drawTitle(p, {140, 86}, QStringLiteral("Help & Support"));
    drawText(p, QRect(278, 122, 360, 25), QStringLiteral("Answers to common questions"), 12, colour::textDim);
    hint(p, QRect(342, 258, 340, 16), QStringLiteral("Opens the support site in your browser"), Qt::AlignHCenter | Qt::AlignTop);
    drawTitle(p, {352, 280}, QStringLiteral("Versions"));
}

struct PopUpWords {
    QString title;
    QString message;
    bool warning;
};

PopUpWords popUpWords(WindowId id)
{
    switch (id) {
    case WindowId::Rename:
        return {QStringLiteral("Rename Profile"), {}, false};
    case WindowId::LeftClickWarn:
        return {QStringLiteral("Left Click Needed"),
                QStringLiteral("At least one button must keep the Left click function. Give Left click to "
                               "another button first, then change this one."),
                true};
    case WindowId::DeleteMacro:
        return {QStringLiteral("Delete Macro"),
                QStringLiteral("Delete the selected macro? Buttons that use it go back to their default "
                               "function."),
                true};
    case WindowId::SensorSQAT1:
        return {QStringLiteral("Surface Analysis"),
                QStringLiteral("Place the mouse on the surface you want to test. Press Start Analysis, then "
                               "keep moving the mouse over the surface for ten seconds."),
                false};
    case WindowId::SensorSQAT2:
        return {QStringLiteral("Analyzing Surface"),
                QStringLiteral("Keep moving the mouse over the surface until the countdown ends."), false};
    case WindowId::SensorSQAT3:
        return {QStringLiteral("Analysis Complete"),
                QStringLiteral("The surface has been measured. Press Show Result to see its quality."),
                false};
    case WindowId::ResetWarn:
        return {QStringLiteral("Reset All Profiles"),
                QStringLiteral("All five profiles go back to their factory settings, and the first profile "
                               "is written to the mouse. Continue?"),
                true};
    case WindowId::UpdateWarn:
        return {QStringLiteral("Firmware Update Required"),
                QStringLiteral("The mouse's firmware is out of date and must be updated to work with this "
                               "software. Update now? Cancel closes the program."),
                true};
    case WindowId::AssignKey:
        return {QStringLiteral("Assign a Key"),
                QStringLiteral("Press the key this button should send, then click OK."), false};
    default:
        return {};
    }
}

void drawWarningIcon(QPainter &p, const QRectF &box)
{
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.right(), box.bottom());
    triangle.lineTo(box.left(), box.bottom());
    triangle.closeSubpath();
    p.setPen(QPen(QColor(235, 190, 60), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(60, 48, 18));
    p.drawPath(triangle);
    drawText(p, box.adjusted(0, 6, 0, 0).toRect(), QStringLiteral("!"), 18, QColor(235, 190, 60),
             Qt::AlignCenter, true);
}

void drawCheckIcon(QPainter &p, const QRectF &box)
{
    p.setPen(QPen(colour::accent, 2));
    p.setBrush(QColor(18, 50, 38));
    p.drawEllipse(box);
    drawTick(p, box, colour::accent, 2.5);
}

void drawPopUpArt(QPainter &p, const Window &w)
{
    const QRect all(QPoint(0, 0), w.size);
    QLinearGradient g(0, 0, 0, w.size.height());
    g.setColorAt(0, QColor(24, 26, 30));
    g.setColorAt(1, QColor(15, 16, 19));
    p.fillRect(all, g);
    p.fillRect(QRect(0, 0, w.size.width(), 26), QColor(30, 32, 36));
    p.fillRect(QRect(0, 26, w.size.width(), 1), QColor(44, 48, 54));
    p.fillRect(QRect(0, 0, w.size.width(), 2), colour::accent);
    p.setPen(QPen(QColor(62, 67, 75), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(all).adjusted(0.5, 0.5, -0.5, -0.5));

    const PopUpWords words = popUpWords(w.id);
    drawText(p, QRect(14, 3, 340, 23), words.title, 13, Qt::white, Qt::AlignLeft | Qt::AlignVCenter, true);
    QRect message(20, 42, 364, 96);
    if (words.warning) {
        drawWarningIcon(p, QRectF(22, 50, 34, 30));
        message.setLeft(72);
    } else if (w.id == WindowId::SensorSQAT3) {
        drawCheckIcon(p, QRectF(22, 48, 34, 34));
        message.setLeft(72);
    } else if (w.id == WindowId::SensorSQAT2) {
        message = QRect(226, 50, 166, 74);
        p.setPen(QPen(colour::line, 1));
        p.drawRect(QRectF(11.5, 48.5, 202, 112));
    } else if (w.id == WindowId::AssignKey) {
        message.setHeight(44);
    }
    drawText(p, message, words.message, 13, colour::text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);

    if (w.id == WindowId::Rename)
    {
        hint(p, QRect(114, 64, 250, 16), QStringLiteral("Up to 7 characters"));
        drawText(p, QRect(114, 92, 270, 36),
                 QStringLiteral("The new name shows on the profile button and is saved with the profile."),
                 12, colour::textDim, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap);
    }
    if (w.id == WindowId::AssignKey) {
        // The captured key's name is written into this field.
        const Control *key = vela::skin::findControl(w.id, 1079);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(62, 67, 75), 1));
        p.setBrush(colour::field);
        p.drawRoundedRect(QRectF(key->rect).adjusted(-5.5, -3.5, 5.5, 3.5), 3, 3);
        p.restore();
    }
}

void drawWindowArt(QPainter &p, const Window &w)
{
    switch (w.id) {
    case WindowId::Main: drawMainArt(p); break;
    case WindowId::MouseSettings: drawMouseSettingsArt(p); break;
    case WindowId::Sensor: drawSensorArt(p); break;
    case WindowId::ColorSettings: drawColorSettingsArt(p); break;
    case WindowId::MacroSettings: drawMacroSettingsArt(p); break;
    case WindowId::Support: drawSupportArt(p); break;
    default: drawPopUpArt(p, w); break;
    }
}

void drawControlAt(QPainter &p, const Control &c, const QRect &r, int look)
{
    if (r.size() == c.rect.size()) {
        drawControl(p, c, r, look);
        return;
    }
    // Cut wider or taller than it sits: draw it at its real size and stretch
    // it to the cut, so the window's stretch brings it back undistorted.
    QImage art(c.rect.size(), QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    QPainter ap(&art);
    drawControl(ap, c, QRect(QPoint(0, 0), c.rect.size()), look);
    ap.end();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(r, art);
    p.restore();
}

QImage render(const Window &w, int state, bool background)
{
    QImage image(w.size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawWindowArt(p, w);
    const auto skipped = [&](const Control &c) {
        return background && ((c.flags & vela::skin::Optional) || c.cutRect() != c.rect);
    };
    for (const Control &c : w.controls)
        if (!skipped(c))
            drawControlLabel(p, c, state);
    for (const Control &c : w.controls) {
        if (skipped(c))
            continue;
        if (c.kind == Kind::Picture && c.skinId == 23) {
            p.drawImage(c.rect.topLeft(), buttonsMouse());
            continue;
        }
        drawControlAt(p, c, background ? c.rect : c.cutRect(), vela::skin::sheetForLook(c, state));
    }
    p.end();
    return image;
}

} // namespace

QImage renderSheet(const Window &window, int state)
{
    return render(window, state, false);
}

QImage renderBackground(const Window &window)
{
    return render(window, 0, true);
}

} // namespace skingen
