#include "ui/nex_edit.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace vela::ui {

bool HexFilterDrops(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 71 && u <= 90) || (u >= 103 && u <= 122);
}

QString WheelStepText(const QString &text, bool forward, int step, int min, int max)
{
    // Leading digits count, as a C atoi reads them; wide enough that a step
    // near the int limits cannot overflow.
    long long v = 0;
    int i = 0;
    const QString t = text.trimmed();
    const bool negative = i < t.size() && t[i] == u'-';
    if (negative || (i < t.size() && t[i] == u'+'))
        ++i;
    for (; i < t.size() && t[i].isDigit() && v < 10000000000LL; ++i)
        v = v * 10 + t[i].digitValue();
    if (negative)
        v = -v;
    const long long next = forward ? std::min<long long>(v + step, max) : std::max<long long>(v - step, min);
    return QString::number(std::clamp<long long>(next, INT_MIN, INT_MAX));
}

CNexEdit::CNexEdit(QWidget *parent, int id)
    : CNexEdit(parent, id, FONT_EDIT, Qt::black, FromArgb(ARGB_EDIT_FRAME))
{
}

CNexEdit::CNexEdit(QWidget *parent, int id, int fontHeight, QColor fill, QColor frame)
    : QLineEdit(parent), fill_(fill), frame_(frame)
{
    setControlId(id);
    init(fontHeight);
}

void CNexEdit::init(int fontHeight)
{
    setFrame(false);
    setAttribute(Qt::WA_NoSystemBackground);
    // The edit draws its text and selection over our background: no base fill.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, FromColorref(COLORREF_WHITE));
    // The selection in the kit's accent instead of the desktop theme's colour.
    pal.setColor(QPalette::Highlight, FromArgb(ARGB_ACCENT));
    pal.setColor(QPalette::HighlightedText, Qt::black);
    setPalette(pal);
    setFont(KitFont(fontHeight));
    // The text starts 1 pixel from the left edge, at the top.
    setTextMargins(1, 0, 0, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(this, &QLineEdit::textChanged, this,
            [this] { NotifyParent(this, controlId(), EDIT_TEXT_CHANGED); });
}

void CNexEdit::SetFontHeight(int cellHeight)
{
    setFont(KitFont(cellHeight));
    update();
}

void CNexEdit::SetBackground(const QImage &image)
{
    background_ = image;
    update();
}

void CNexEdit::setTextVisible(bool visible)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Text, visible ? FromColorref(COLORREF_WHITE) : QColor(Qt::transparent));
    setPalette(pal);
    update();
}

void CNexEdit::paintEvent(QPaintEvent *e)
{
    {
        QPainter p(this);
        if (!background_.isNull()) {
            DrawStretched(p, background_, rect());
        } else {
            p.fillRect(rect(), fill_);
            p.setPen(frame_);
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
    QLineEdit::paintEvent(e);
}

void CNexEdit::keyPressEvent(QKeyEvent *e)
{
    const QString t = e->text();
    if (t.size() == 1 && t.front().isPrint()) {
        const QChar c = t.front();
        if ((hexFilter_ && HexFilterDrops(c)) || (digitsOnly_ && !(c >= u'0' && c <= u'9'))) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void CNexEdit::mousePressEvent(QMouseEvent *e)
{
    QLineEdit::mousePressEvent(e);
    update();
}

void CNexEdit::mouseReleaseEvent(QMouseEvent *e)
{
    QLineEdit::mouseReleaseEvent(e);
    update();
}

// ---- CPOLEdit ---------------------------------------------------------------

CPOLEdit::CPOLEdit(QWidget *parent, int id) : CNexEdit(parent, id, FONT_BUTTON, Qt::white, Qt::black) {}

void CPOLEdit::SetWheel(int step, int min, int max, bool enabled)
{
    step_ = step;
    min_ = min;
    max_ = max;
    wheel_ = enabled;
}

void CPOLEdit::SetDrawText(bool draw)
{
    setTextVisible(draw);
}

void CPOLEdit::wheelEvent(QWheelEvent *e)
{
    const int delta = e->angleDelta().y();
    if (!wheel_ || delta == 0) {
        QLineEdit::wheelEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    setText(WheelStepText(text(), delta > 0, step_, min_, max_));
    e->accept();
}

} // namespace vela::ui
