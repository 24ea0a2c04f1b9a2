// Vertical list of text items, one per row (the manager's font size is the
// row height), with a selection highlight and a scroll bar on the right: up
// button, down button and a draggable thumb. Created by
// vGUIManager::AddListbox; reports GUIEVENT_CLICK for every press inside.
// The mouse wheel over the box scrolls it a row per notch.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include <memory>
#include <string>
#include <vector>

#include "vGUIElement.h"

class vTexture;

class vGUIListbox : public vGUIElement {
public:
    static constexpr int kMaxCounted = 128;  // items beyond these are stored but never shown

    // Element defaults, no items, no selection, scroll bar 25 pixels wide.
    // The thumb sits at the top of its track until InitScrollWidget places it.
    vGUIListbox();
    ~vGUIListbox() override;  // releases the items

    // The items are the box's own; copies would share none of them safely.
    vGUIListbox(const vGUIListbox&) = delete;
    vGUIListbox& operator=(const vGUIListbox&) = delete;

    // A press inside selects the row under it, scrolls by the buttons or
    // starts a thumb drag (a press that hits none of these clears the
    // selection), takes focus and clicks. A drag follows the point until the
    // next release anywhere.
    bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point) override;
    // Background and frame, the selection highlight, the rows' texts, the scroll bar.
    void Render() override;
    // Follows the parent, lays out the box, scroll bar and rows, and brings the
    // top row and the selection back into range.
    void Setup() override;

    // Background (also the highlight, tinted), border and the 2 x 2 scroll
    // atlas (up, down, track, thumb); borrowed, not released.
    void SetupListboxTextures(vTexture* background, vTexture* border, vTexture* scroll);
    // Appends a copy of text (null: an empty item); at most 128 items are counted.
    void Add(const char* text);
    void Pop();              // removes the last item; nothing on an empty list
    void Remove(int index);  // removes one item; nothing for an index outside the items
    void Clear();            // no items, top row 0, no selection
    void UpdateList();       // counts the stored items again, at most 128
    // Places the thumb at fraction f of its track; the top row is not changed.
    void InitScrollWidget(float f);
    int SelectedIndex();     // the same as GetSelectedIndex
    int GetSelectedIndex();  // -1 when nothing is selected
    // The selected item's text, owned by the box (valid until that item is
    // removed, whatever is added or removed around it); null when nothing is selected.
    char* GetSelectedIndexText();

private:
    struct Item {
        std::string text;
        RECT row;  // laid out by Setup while the item is on show, else empty
    };

    void ThumbFollowsList();
    RECT RowRect(int row) const;
    int FirstShown() const;
    int ShownCount() const;

    vTexture* m_background;
    vTexture* m_border;
    vTexture* m_scrollTexture;
    D3DXCOLOR m_textColor;
    D3DXCOLOR m_selectColorFocused;
    D3DXCOLOR m_selectColorUnfocused;
    std::vector<std::unique_ptr<Item>> m_items;  // each item on the heap: its text never moves
    int m_count;
    int m_selectedIndex;
    int m_rowCount;
    int m_topIndex;
    RECT m_upRect;
    RECT m_downRect;
    RECT m_thumbRect;
    RECT m_trackRect;
    int m_scrollSize;
    int m_thumbTop;
    int m_trackLength;
    int m_dragOffset;
    int m_thumbOffset;
    bool m_dragging;
    RECT m_rect;
    unsigned long m_textFormat;
};
