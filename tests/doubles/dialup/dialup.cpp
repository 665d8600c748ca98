// Stand-in for the shell's Dial-Up Networking folder, which Wine lacks: an
// in-process shell folder that the tests register under the Dial-Up
// Networking class id as a namespace extension of My Computer.
//
// Its items are the connection names in the REG_MULTI_SZ value
// "connections" of HKCU\Software\Springdeck Test Doubles\Dial-Up, in that
// order. Their display names come back as STRRET_WSTR, STRRET_OFFSET and
// STRRET_CSTR in turn, so that a client must handle all three. The items'
// context menu has one default command, "Connect", which appends
// "dialed NAME" to the log: the value "log" of the same key, else dialup.log
// beside the DLL.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

constexpr CLSID DialUpFolderClass = {0x992CFFA0, 0xF557, 0x101A, {0x88, 0xEC, 0x00, 0xDD, 0x01, 0x0C, 0xCC, 0x48}};
constexpr char ConfigKey[] = "Software\\Springdeck Test Doubles\\Dial-Up";
constexpr DWORD ItemMagic = 0x55444453; // "SDDU"

static HINSTANCE DllInstance;
static LONG ObjectCount;

// ---- configuration and log ---------------------------------------------------

static std::vector<std::string> ConnectionNames()
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ConfigKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return names;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, "connections", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_MULTI_SZ) {
        std::vector<char> data(size + 2, '\0');
        if (RegQueryValueExA(key, "connections", nullptr, nullptr, reinterpret_cast<BYTE *>(data.data()), &size) ==
            ERROR_SUCCESS)
            for (const char *p = data.data(); *p; p += strlen(p) + 1)
                names.push_back(p);
    }
    RegCloseKey(key);
    return names;
}

static std::string LogPath()
{
    char path[MAX_PATH] = "";
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ConfigKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof path - 1;
        if (RegQueryValueExA(key, "log", nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size) != ERROR_SUCCESS)
            path[0] = '\0';
        RegCloseKey(key);
    }
    if (path[0])
        return path;
    DWORD n = GetModuleFileNameA(DllInstance, path, sizeof path);
    std::string dll(path, n);
    return dll.substr(0, dll.find_last_of('\\')) + "\\dialup.log";
}

static void Log(const std::string &line)
{
    HANDLE file = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// ---- item id lists -------------------------------------------------------------
// One item: cb, magic, position in the folder, the name with its zero.

#pragma pack(push, 1)
struct ItemData {
    USHORT cb;
    DWORD magic;
    DWORD position;
    char name[1];
};
#pragma pack(pop)

static LPITEMIDLIST MakeItem(const std::string &name, DWORD position)
{
    UINT size = static_cast<UINT>(offsetof(ItemData, name) + name.size() + 1);
    BYTE *block = static_cast<BYTE *>(CoTaskMemAlloc(size + sizeof(USHORT)));
    if (!block)
        return nullptr;
    ZeroMemory(block, size + sizeof(USHORT));
    ItemData *item = reinterpret_cast<ItemData *>(block);
    item->cb = static_cast<USHORT>(size);
    item->magic = ItemMagic;
    item->position = position;
    memcpy(item->name, name.c_str(), name.size() + 1);
    return reinterpret_cast<LPITEMIDLIST>(block);
}

static const ItemData *AsItem(LPCITEMIDLIST pidl)
{
    const ItemData *item = reinterpret_cast<const ItemData *>(pidl);
    if (!item || item->cb < offsetof(ItemData, name) + 1 || item->magic != ItemMagic)
        return nullptr;
    return item;
}

static LPITEMIDLIST CloneList(LPCITEMIDLIST pidl)
{
    UINT size = sizeof(USHORT);
    for (LPCITEMIDLIST p = pidl; p && p->mkid.cb;
         p = reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE *>(p) + p->mkid.cb))
        size += p->mkid.cb;
    LPITEMIDLIST copy = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(size));
    if (copy) {
        ZeroMemory(copy, size);
        if (pidl)
            memcpy(copy, pidl, size - sizeof(USHORT));
    }
    return copy;
}

// ---- COM objects -------------------------------------------------------------------
// Small reference-counted objects; each knows only what its interface needs.

template <class Interface> struct ComObject : Interface {
    LONG references = 1;
    ComObject() { InterlockedIncrement(&ObjectCount); }
    virtual ~ComObject() { InterlockedDecrement(&ObjectCount); }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return left;
    }
};

struct ConnectMenu : ComObject<IContextMenu> {
    std::string name;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IContextMenu))
            *out = static_cast<IContextMenu *>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT, UINT) override
    {
        InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, first, "&Connect");
        SetMenuDefaultItem(menu, first, FALSE);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO *info) override
    {
        const char *verb = info->lpVerb;
        bool byIndex = HIWORD(reinterpret_cast<ULONG_PTR>(verb)) == 0;
        if ((byIndex && LOWORD(reinterpret_cast<ULONG_PTR>(verb)) == 0) ||
            (!byIndex && (lstrcmpiA(verb, "connect") == 0 || lstrcmpiA(verb, "open") == 0))) {
            Log("dialed " + name);
            return S_OK;
        }
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT type, UINT *, LPSTR text, UINT size) override
    {
        if (command != 0)
            return E_INVALIDARG;
        if (type == GCS_VERBA) {
            lstrcpynA(text, "connect", size);
            return S_OK;
        }
        if (type == GCS_VERBW) {
            lstrcpynW(reinterpret_cast<LPWSTR>(text), L"connect", size);
            return S_OK;
        }
        return E_NOTIMPL;
    }
};

struct ItemEnumerator : ComObject<IEnumIDList> {
    std::vector<std::string> names;
    size_t next = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumIDList))
            *out = static_cast<IEnumIDList *>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, LPITEMIDLIST *items, ULONG *fetched) override
    {
        ULONG count = 0;
        while (count < wanted && next < names.size()) {
            items[count] = MakeItem(names[next], static_cast<DWORD>(next));
            if (!items[count])
                break;
            ++count;
            ++next;
        }
        if (fetched)
            *fetched = count;
        return count == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        next += count;
        return next <= names.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumIDList **out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
};

struct DialUpFolder : ComObject<IShellFolder> {
    // The folder's persistence interface is a second base reached through a
    // small forwarding object that shares the folder's lifetime.
    struct Persist : IPersistFolder2 {
        DialUpFolder *owner;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
        {
            return owner->QueryInterface(riid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner->AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner->Release(); }
        HRESULT STDMETHODCALLTYPE GetClassID(CLSID *id) override
        {
            *id = DialUpFolderClass;
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE Initialize(LPCITEMIDLIST pidl) override
        {
            CoTaskMemFree(owner->root);
            owner->root = CloneList(pidl);
            return S_OK;
        }
        HRESULT STDMETHODCALLTYPE GetCurFolder(LPITEMIDLIST *out) override
        {
            *out = CloneList(owner->root);
            return *out ? S_OK : E_OUTOFMEMORY;
        }
    } persist;
    LPITEMIDLIST root = nullptr;

    DialUpFolder() { persist.owner = this; }
    ~DialUpFolder() override { CoTaskMemFree(root); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        *out = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder))
            *out = static_cast<IShellFolder *>(this);
        else if (IsEqualIID(riid, IID_IPersist) || IsEqualIID(riid, IID_IPersistFolder) ||
                 IsEqualIID(riid, IID_IPersistFolder2))
            *out = static_cast<IPersistFolder2 *>(&persist);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, LPBC, LPOLESTR name, ULONG *eaten, LPITEMIDLIST *out,
                                               ULONG *attributes) override
    {
        *out = nullptr;
        char text[MAX_PATH];
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        text[sizeof text - 1] = '\0';
        std::vector<std::string> names = ConnectionNames();
        for (size_t i = 0; i < names.size(); ++i) {
            if (lstrcmpiA(names[i].c_str(), text) == 0) {
                *out = MakeItem(names[i], static_cast<DWORD>(i));
                if (eaten)
                    *eaten = static_cast<ULONG>(lstrlenW(name));
                if (attributes)
                    *attributes = 0;
                return *out ? S_OK : E_OUTOFMEMORY;
            }
        }
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList **out) override
    {
        ItemEnumerator *enumerator = new (std::nothrow) ItemEnumerator;
        *out = enumerator;
        if (!enumerator)
            return E_OUTOFMEMORY;
        enumerator->names = ConnectionNames();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, LPBC, REFIID, void **out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void **out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST a, LPCITEMIDLIST b) override
    {
        const ItemData *first = AsItem(a), *second = AsItem(b);
        if (!first || !second)
            return E_INVALIDARG;
        int order = lstrcmpiA(first->name, second->name);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(order < 0 ? -1 : order > 0 ? 1 : 0));
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void **out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, LPCITEMIDLIST *, SFGAOF *attributes) override
    {
        *attributes &= count ? 0 : SFGAO_FOLDER;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT count, LPCITEMIDLIST *items, REFIID riid, UINT *,
                                            void **out) override
    {
        *out = nullptr;
        const ItemData *item = count == 1 ? AsItem(items[0]) : nullptr;
        if (!item || !IsEqualIID(riid, IID_IContextMenu))
            return E_NOINTERFACE;
        ConnectMenu *menu = new (std::nothrow) ConnectMenu;
        if (!menu)
            return E_OUTOFMEMORY;
        menu->name = item->name;
        *out = static_cast<IContextMenu *>(menu);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF, STRRET *name) override
    {
        const ItemData *item = AsItem(pidl);
        if (!item)
            return E_INVALIDARG;
        switch (item->position % 3) {
        case 0: {
            int length = MultiByteToWideChar(CP_ACP, 0, item->name, -1, nullptr, 0);
            name->uType = STRRET_WSTR;
            name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(length * sizeof(WCHAR)));
            if (!name->pOleStr)
                return E_OUTOFMEMORY;
            MultiByteToWideChar(CP_ACP, 0, item->name, -1, name->pOleStr, length);
            return S_OK;
        }
        case 1:
            name->uType = STRRET_OFFSET;
            name->uOffset = static_cast<UINT>(offsetof(ItemData, name));
            return S_OK;
        default:
            name->uType = STRRET_CSTR;
            lstrcpynA(name->cStr, item->name, sizeof name->cStr);
            return S_OK;
        }
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST *out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
};

struct FolderFactory : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **out) override
    {
        *out = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **out) override
    {
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        DialUpFolder *folder = new (std::nothrow) DialUpFolder;
        if (!folder)
            return E_OUTOFMEMORY;
        HRESULT result = folder->QueryInterface(riid, out);
        folder->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&ObjectCount);
        else
            InterlockedDecrement(&ObjectCount);
        return S_OK;
    }
};

static FolderFactory Factory;

extern "C" STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void **out)
{
    *out = nullptr;
    if (!IsEqualCLSID(clsid, DialUpFolderClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return Factory.QueryInterface(riid, out);
}

extern "C" STDAPI DllCanUnloadNow() { return ObjectCount == 0 ? S_OK : S_FALSE; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DllInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
