// The registry reads of the Windows build: the system registry itself, opened
// below HKEY_LOCAL_MACHINE for reading only.
#include "pal/SystemRegistry.h"

#include "pal/WideText.h"

#include <windows.h>

#include <cwchar>
#include <new>
#include <vector>

namespace ZVNPal {
namespace {

// An open key, closed when it goes.
class OpenKey {
public:
    explicit OpenKey(const std::string& keyPath)
    {
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, WidenUtf8(keyPath).c_str(), 0, KEY_READ, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

PalResult ReadRegistryString(const std::string& keyPath, const std::string& name, std::string& value)
{
    const OpenKey key(keyPath);
    if (!key.get())
        return kPalFail;
    const std::wstring valueName = WidenUtf8(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_SZ || size == 0)
        return kPalFail;
    std::vector<wchar_t> buffer;
    try {
        // One unit more than asked for: a stored text need not end in a zero.
        buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
    } catch (const std::bad_alloc&) {
        return kPalOutOfMemory;
    }
    if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return kPalFail;
    value = NarrowToUtf8(buffer.data(), std::wcslen(buffer.data()));
    return kPalOk;
}

bool ReadRegistryFourBytes(const std::string& keyPath, const std::string& name, uint32_t& number)
{
    const OpenKey key(keyPath);
    if (!key.get())
        return false;
    uint32_t read = 0;
    DWORD size = sizeof read;
    if (::RegQueryValueExW(key.get(), WidenUtf8(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&read),
                           &size) != ERROR_SUCCESS)
        return false;
    number = read;
    return true;
}

} // namespace ZVNPal
