#pragma once
// A macro as the editor holds it: named, ordered events, each with its row in
// the events view.
#include <QString>

#include <cstdint>
#include <vector>

struct MacroRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t height() const { return bottom - top; }
    bool operator==(const MacroRect &) const = default;
};

// What a macro asks of the control that shows it. The events list implements
// it; every call comes on the thread that edits the macro (the UI thread).
class MacroOwner {
public:
    virtual ~MacroOwner() = default;
    virtual void repaintMacros() = 0;
    // Rows overflow the view: set the scroll bar's maximum and position to row.
    virtual void scrollToRow(int row) = 0;
    // Set the scroll bar's position to row.
    virtual void showRow(int row) = 0;
    // An event was deleted; count events remain.
    virtual void eventDeleted(int count) = 0;
};

struct CEventItem {
    MacroRect rect;
    int32_t selected = 0;
    int32_t id = 0;
    uint8_t kind = 0;    // 1 key, 0x10 mouse button, 0x11 wheel
    uint16_t code = 0;
    uint8_t upFlag = 0;  // 0 press, 1 release
    int32_t delay = 0;   // milliseconds
    bool operator==(const CEventItem &) const = default;
};

constexpr int kMacroRowHeight = 18;

class CMacro {
public:
    CMacro(MacroOwner *owner, MacroRect viewRect, int32_t id, QString name);

    MacroOwner *owner = nullptr;
    MacroRect viewRect;
    int32_t id = 0;
    QString name;
    std::vector<CEventItem> events;

    // Insert mode 0 appends; mode 1 inserts after the first selected event
    // (at the front when none is selected). The new event is selected alone.
    void AddEvent(uint8_t kind, uint16_t code, uint8_t upFlag, int32_t delay, int insertMode);
    void ClearEvents();
    // Row i spans (4, 18i + 5)-(viewRect.right - 2, 18i + 23), unscrolled.
    void LayoutRows();
    // Scrolls so that row p ends at the bottom of the view.
    void ScrollToRow(int p);
    void DeleteSelectedEvent();

    // 1 + the largest event id, compared unsigned; 1 in an empty macro.
    int32_t NextEventId() const;
    // Index of the first selected event, or -1.
    int FirstSelected() const;
};
