// A pop-up menu built item by item and run modally at a point of a window.
#pragma once

#include "pal/PalTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace ZVNPal {

class IPalWindow;

class CPalMenu {
public:
    // Items per column before a new column starts.
    static constexpr int kItemsPerColumn = 26;
    // Geometry of the shown menu, in pixels: items and separators stacked
    // inside a border, columns side by side.
    static constexpr int kBorder = 3;
    static constexpr int kItemHeight = 20;
    static constexpr int kSeparatorHeight = 8;
    // The longest sub-menu title, in UTF-16 units.
    static constexpr int kMaxSubMenuUnits = 74;

    struct Item {
        std::string text;
        std::int32_t command = 0;
        bool separator = false;
        bool checked = false;
        bool enabled = true;
        bool newColumn = false;
        CPalMenu* subMenu = nullptr;
    };

    CPalMenu();
    CPalMenu(const CPalMenu&) = delete;
    CPalMenu& operator=(const CPalMenu&) = delete;
    virtual ~CPalMenu();
    // The platform's menu (on X11 the menu object itself).
    virtual PalNativeMenu GetNativeMenu();
    virtual PalNativeMenu GetMenu() { return GetNativeMenu(); }

    // Takes ownership of the sub-menu.
    void AddSubMenu(CPalMenu* subMenu, const char* text);
    void AddItem(const char* text, std::int32_t command);
    void AddItemAuto(const char* text);
    void CheckItem(int position, bool checked);
    void EnableItem(int position, bool enabled);
    // Shows the menu at the owner's client point and waits; the chosen
    // command, or 0 when the menu is dismissed.
    std::int32_t TrackMenu(IPalWindow* owner, std::int32_t x, std::int32_t y);

    void SetInsertPosition(int position) { m_nInsertPosition = position; }
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
    std::vector<std::unique_ptr<CPalMenu>> m_subMenus;
    int m_nColumnCount = 0;
    int m_nInsertPosition = 0;
    std::int32_t m_nNextAuto = 0;
#ifdef _WIN32
    PalNativeMenu m_hMenu = nullptr;
#endif
};

} // namespace ZVNPal
