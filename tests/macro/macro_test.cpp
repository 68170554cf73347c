#include "macro/macro_library.h"

#include <gtest/gtest.h>

namespace {

struct RecordingOwner : MacroOwner {
    std::vector<std::pair<char, int>> calls; // 'p' repaint, 's' scrollToRow, 'r' showRow, 'd' eventDeleted
    void repaintMacros() override { calls.push_back({'p', 0}); }
    void scrollToRow(int row) override { calls.push_back({'s', row}); }
    void showRow(int row) override { calls.push_back({'r', row}); }
    void eventDeleted(int count) override { calls.push_back({'d', count}); }
};

std::vector<uint16_t> codes(const CMacro &m)
{
    std::vector<uint16_t> out;
    for (const CEventItem &e : m.events)
        out.push_back(e.code);
    return out;
}

std::vector<int> selection(const CMacro &m)
{
    std::vector<int> out;
    for (const CEventItem &e : m.events)
        out.push_back(e.selected);
    return out;
}

} // namespace

TEST(CMacro, AddEventInsertModes)
{
    RecordingOwner owner;
    CMacro m(&owner, {0, 0, 199, 197}, 16, "M");
    m.AddEvent(1, 10, 0, 0, 1); // mode 1 into an empty macro appends
    m.AddEvent(1, 20, 0, 0, 0);
    m.AddEvent(1, 30, 0, 0, 0);
    EXPECT_EQ(codes(m), (std::vector<uint16_t>{10, 20, 30}));
    EXPECT_EQ(selection(m), (std::vector<int>{0, 0, 1}));

    m.events[0].selected = 1; // two selected: the first one counts
    m.AddEvent(1, 15, 1, 5, 1);
    EXPECT_EQ(codes(m), (std::vector<uint16_t>{10, 15, 20, 30}));
    EXPECT_EQ(selection(m), (std::vector<int>{0, 1, 0, 0}));

    m.events[3].selected = 1; // after the last selected one: appends
    m.events[1].selected = 0;
    m.AddEvent(1, 40, 0, 0, 1);
    EXPECT_EQ(codes(m), (std::vector<uint16_t>{10, 15, 20, 30, 40}));

    for (CEventItem &e : m.events)
        e.selected = 0;
    m.AddEvent(1, 5, 0, 0, 1); // nothing selected: goes to the front
    EXPECT_EQ(codes(m), (std::vector<uint16_t>{5, 10, 15, 20, 30, 40}));
    EXPECT_EQ(m.events[0].id, 6);
    EXPECT_EQ(owner.calls.back(), (std::pair<char, int>{'r', 0}));
}

TEST(CMacro, RowsAreLaidOutFromTheViewAndOverflowScrolls)
{
    RecordingOwner owner;
    CMacro m(&owner, {0, 0, 199, 40}, 16, "M");
    m.AddEvent(1, 1, 0, 0, 0);
    EXPECT_EQ(m.events[0].rect, (MacroRect{4, 5, 197, 23}));
    m.AddEvent(1, 2, 0, 0, 0);
    EXPECT_EQ(m.events[1].rect, (MacroRect{4, 23, 197, 41}));
    // Row 1 ends at 41, below the view's bottom 40: the list scrolls to it.
    EXPECT_EQ(owner.calls, (std::vector<std::pair<char, int>>{{'r', 0}, {'s', 1}, {'r', 1}}));
}

TEST(CMacro, EventIdsKeepGrowingAfterDeletions)
{
    CMacro m(nullptr, {0, 0, 199, 197}, 16, "M");
    EXPECT_EQ(m.NextEventId(), 1);
    for (int i = 0; i < 3; ++i)
        m.AddEvent(1, 65, 0, 0, 0);
    m.events[0].selected = 1;
    m.events[2].selected = 0;
    m.DeleteSelectedEvent();
    m.events[0].selected = 1;
    m.DeleteSelectedEvent();
    ASSERT_EQ(m.events.size(), 1u);
    EXPECT_EQ(m.events[0].id, 3);
    m.AddEvent(1, 66, 0, 0, 0);
    EXPECT_EQ(m.events.back().id, 4);
    m.events[0].id = -1; // ids compare unsigned
    EXPECT_EQ(m.NextEventId(), 0);
}

TEST(CMacro, DeletingSelectsTheNextOrWrapsToTheFirst)
{
    RecordingOwner owner;
    CMacro m(&owner, {0, 0, 199, 197}, 16, "M");
    for (uint16_t c : {1, 2, 3})
        m.AddEvent(1, c, 0, 0, 0);
    for (CEventItem &e : m.events)
        e.selected = 0;
    m.events[1].selected = 1;
    owner.calls.clear();
    m.DeleteSelectedEvent();
    EXPECT_EQ(codes(m), (std::vector<uint16_t>{1, 3}));
    EXPECT_EQ(selection(m), (std::vector<int>{0, 1}));
    EXPECT_EQ(m.events[1].rect.top, 23); // moved up a row
    EXPECT_EQ(owner.calls, (std::vector<std::pair<char, int>>{{'d', 2}}));

    owner.calls.clear();
    m.DeleteSelectedEvent(); // the last one: the first becomes selected and is shown
    EXPECT_EQ(selection(m), (std::vector<int>{1}));
    EXPECT_EQ(owner.calls, (std::vector<std::pair<char, int>>{{'d', 1}, {'r', 0}}));

    owner.calls.clear();
    m.DeleteSelectedEvent();
    EXPECT_TRUE(m.events.empty());
    EXPECT_EQ(owner.calls, (std::vector<std::pair<char, int>>{{'d', 0}}));
    m.DeleteSelectedEvent(); // nothing selected: nothing happens
    EXPECT_EQ(owner.calls.size(), 1u);
}

TEST(CMacro, ScrollToRowMovesTheRowToTheBottom)
{
    CMacro m(nullptr, {0, 0, 199, 54}, 16, "M"); // three rows visible
    for (int i = 0; i < 6; ++i)
        m.AddEvent(1, 65, 0, 0, 0);
    m.LayoutRows();
    m.ScrollToRow(4);
    EXPECT_EQ(m.events[4].rect.bottom, 54);
    m.LayoutRows();
    m.ScrollToRow(0); // raised to the visible count, with the extra margin
    EXPECT_EQ(m.events[3].rect.bottom, 74);
    m.ScrollToRow(99); // lowered to the last row
    EXPECT_EQ(m.events[5].rect.bottom, 54);
}

TEST(MacroLibrary, IdsStartAt16AndNeverReuseWhileLargerExist)
{
    MacroLibrary lib;
    EXPECT_EQ(lib.NextMacroId(), 16);
    lib.AddMacro(lib.NextMacroId(), "a");
    lib.AddMacro(lib.NextMacroId(), "b");
    lib.AddMacro(lib.NextMacroId(), "c");
    lib.DeleteMacro(17);
    EXPECT_EQ(lib.NextMacroId(), 19);
    lib.AddMacro(-5, "negative"); // unsigned: the largest of all
    EXPECT_EQ(lib.NextMacroId(), -4);
}

TEST(MacroLibrary, SelectAddsWhenMissingAndDeleteClearsCurrent)
{
    MacroLibrary lib;
    lib.eventsViewRect = {0, 0, 199, 197};
    CMacro *m = lib.SelectMacro("New", 16);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->viewRect, (MacroRect{0, 0, 199, 197}));
    EXPECT_EQ(lib.SelectMacro("ignored", 16), m);
    EXPECT_EQ(lib.macros.size(), 1u);
    lib.DeleteMacro(16);
    EXPECT_EQ(lib.current, nullptr);
    EXPECT_TRUE(lib.macros.empty());
}

TEST(MacroLibrary, BuildMacroRecordCopiesTheEvents)
{
    MacroLibrary lib;
    CMacro *m = lib.AddMacro(16, "Burst");
    m->AddEvent(1, 65, 0, 12, 0);
    m->AddEvent(0x11, 151, 0, 0, 0);
    lib.AddMacro(16, "Shadowed");
    const auto record = lib.BuildMacroRecord(16);
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, (ButtonMacro{"Burst", 16, {{1, 65, 0, 12}, {0x11, 151, 0, 0}}}));
    EXPECT_FALSE(lib.BuildMacroRecord(99));
}
