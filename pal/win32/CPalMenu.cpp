// Pop-up menus as native menus: items, separators, check marks, greyed
// items, columns and sub-menus, run with TrackPopupMenu. The items are also
// kept as data, so that what was built can be read back.
#include "pal/CPalMenu.h"

#include "pal/IPalWindow.h"
#include "pal/win32/PalWin32.h"

#include <algorithm>
#include <cstring>

namespace ZVNPal {

using namespace Win32;

namespace {

HMENU Menu(PalNativeMenu menu) { return static_cast<HMENU>(menu); }

// Item texts are limited only by what a menu can show.
constexpr int kMaxItemUnits = 1024;

} // namespace

CPalMenu::CPalMenu() : m_hMenu(::CreatePopupMenu()) {}

CPalMenu::~CPalMenu()
{
    // Sub-menus are destroyed by their own objects, not through this menu.
    const int count = ::GetMenuItemCount(Menu(m_hMenu));
    for (int i = count - 1; i >= 0; --i)
        if (::GetSubMenu(Menu(m_hMenu), i))
            ::RemoveMenu(Menu(m_hMenu), static_cast<UINT>(i), MF_BYPOSITION);
    ::DestroyMenu(Menu(m_hMenu));
}

PalNativeMenu CPalMenu::GetNativeMenu() { return m_hMenu; }

void CPalMenu::AddSubMenu(CPalMenu* subMenu, const char* text)
{
    if (!subMenu)
        return;
    m_subMenus.emplace_back(subMenu);
    const std::wstring units = Widen(text, kMaxSubMenuUnits);
    const std::size_t at =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(m_nInsertPosition, 0)), m_items.size());
    ::InsertMenuW(Menu(m_hMenu), static_cast<UINT>(at), MF_BYPOSITION | MF_POPUP | MF_STRING,
                  reinterpret_cast<UINT_PTR>(subMenu->GetNativeMenu()), units.c_str());
    Item item;
    item.text = Narrow(units.c_str());
    item.subMenu = subMenu;
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
}

void CPalMenu::AddItem(const char* text, std::int32_t command)
{
    Item item;
    item.separator = text && std::strcmp(text, "-") == 0;
    const std::wstring units = item.separator ? std::wstring() : Widen(text, kMaxItemUnits);
    item.text = Narrow(units.c_str());
    item.command = command;
    if (m_nColumnCount == kItemsPerColumn) {
        item.newColumn = true;
        m_nColumnCount = 1;
    } else {
        ++m_nColumnCount;
    }
    const UINT flags = (item.separator ? MF_SEPARATOR : MF_STRING) | (item.newColumn ? MF_MENUBARBREAK : 0);
    ::AppendMenuW(Menu(m_hMenu), flags, static_cast<UINT_PTR>(command), units.c_str());
    m_items.push_back(std::move(item));
}

void CPalMenu::AddItemAuto(const char* text) { AddItem(text, m_nNextAuto++); }

void CPalMenu::CheckItem(int position, bool checked)
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return;
    m_items[position].checked = checked;
    ::CheckMenuItem(Menu(m_hMenu), static_cast<UINT>(position), MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void CPalMenu::EnableItem(int position, bool enabled)
{
    if (position < 0 || position >= static_cast<int>(m_items.size()))
        return;
    m_items[position].enabled = enabled;
    ::EnableMenuItem(Menu(m_hMenu), static_cast<UINT>(position), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::int32_t CPalMenu::TrackMenu(IPalWindow* owner, std::int32_t x, std::int32_t y)
{
    if (!owner || owner->GetHandle() == 0 || m_items.empty())
        return 0;
    PalPoint point{x, y};
    owner->ClientToScreen(&point);
    // The choice comes back as the result; the owner gets no command message.
    const BOOL command = ::TrackPopupMenu(Menu(m_hMenu), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                             TPM_RETURNCMD | TPM_NONOTIFY,
                                          point.x, point.y, 0, Hwnd(owner->GetHandle()), nullptr);
    return static_cast<std::int32_t>(command);
}

} // namespace ZVNPal
