#include "macro/macro.h"

#include <algorithm>

CMacro::CMacro(MacroOwner *owner_, MacroRect viewRect_, int32_t id_, QString name_)
    : owner(owner_), viewRect(viewRect_), id(id_), name(std::move(name_))
{
}

int32_t CMacro::NextEventId() const
{
    uint32_t largest = 0;
    for (const CEventItem &e : events)
        largest = std::max(largest, static_cast<uint32_t>(e.id));
    return static_cast<int32_t>(largest + 1);
}

int CMacro::FirstSelected() const
{
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].selected)
            return static_cast<int>(i);
    return -1;
}

void CMacro::AddEvent(uint8_t kind, uint16_t code, uint8_t upFlag, int32_t delay, int insertMode)
{
    CEventItem item;
    item.kind = kind;
    item.code = code;
    item.upFlag = upFlag;
    item.delay = delay;
    item.id = NextEventId();
    item.selected = 1;

    size_t at = events.size();
    if (insertMode == 1) {
        const int selected = FirstSelected();
        at = selected >= 0 ? static_cast<size_t>(selected) + 1 : 0;
    }
    for (CEventItem &e : events)
        e.selected = 0;
    events.insert(events.begin() + static_cast<std::ptrdiff_t>(at), item);

    LayoutRows();
    if (owner)
        owner->showRow(static_cast<int>(at));
}

void CMacro::ClearEvents() { events.clear(); }

void CMacro::LayoutRows()
{
    for (size_t i = 0; i < events.size(); ++i) {
        const int32_t top = kMacroRowHeight * static_cast<int32_t>(i) + 5;
        events[i].rect = {4, top, viewRect.right - 2, top + kMacroRowHeight};
    }
    if (!events.empty() && events.back().rect.bottom > viewRect.bottom && owner)
        owner->scrollToRow(static_cast<int>(events.size()) - 1);
}

void CMacro::ScrollToRow(int p)
{
    const int n = static_cast<int>(events.size());
    const int visible = viewRect.height() / kMacroRowHeight;
    if (n == 0 || visible > n)
        return;
    p = std::min(std::max(p, visible), n - 1);
    const int32_t target = p == visible ? viewRect.bottom + 20 : viewRect.bottom;
    const int32_t dy = target - events[static_cast<size_t>(p)].rect.bottom;
    for (CEventItem &e : events) {
        e.rect.top += dy;
        e.rect.bottom += dy;
    }
}

void CMacro::DeleteSelectedEvent()
{
    const int index = FirstSelected();
    if (index < 0)
        return;
    events.erase(events.begin() + index);
    if (owner)
        owner->eventDeleted(static_cast<int>(events.size()));
    for (size_t i = static_cast<size_t>(index); i < events.size(); ++i) {
        events[i].rect.top -= kMacroRowHeight;
        events[i].rect.bottom -= kMacroRowHeight;
    }
    if (events.empty())
        return;
    for (CEventItem &e : events)
        e.selected = 0;
    if (static_cast<size_t>(index) < events.size()) {
        events[static_cast<size_t>(index)].selected = 1;
    } else {
        events.front().selected = 1;
        if (owner)
            owner->showRow(0);
    }
}
