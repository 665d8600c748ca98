// Driver: controls of another process that plain messages cannot read: tree
// views (their items are read through memory lent in the owning process),
// the common file dialog, and what a control shows on screen.
#include "driver.h"

#include <commctrl.h>

namespace driver {

namespace {

// A block of memory in another process, freed on every path.
struct RemoteBlock {
    HANDLE process = nullptr;
    BYTE *address = nullptr;
};

RemoteBlock LendMemory(HWND window, SIZE_T size)
{
    RemoteBlock block;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    block.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (block.process)
        block.address = static_cast<BYTE *>(VirtualAllocEx(block.process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    return block;
}

void ReturnMemory(RemoteBlock &block)
{
    if (block.address)
        VirtualFreeEx(block.process, block.address, 0, MEM_RELEASE);
    if (block.process)
        CloseHandle(block.process);
    block = RemoteBlock();
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, ScaledWait(5000), &result);
    return static_cast<LRESULT>(result);
}

constexpr int TEXT_ROOM = 1024;

bool ReadTreeItem(HWND tree, RemoteBlock &block, HTREEITEM handle, int depth, TreeItem *item)
{
    TVITEMA remote = {};
    remote.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    remote.hItem = handle;
    remote.pszText = reinterpret_cast<LPSTR>(block.address + sizeof remote);
    remote.cchTextMax = TEXT_ROOM;
    char text[TEXT_ROOM + 1] = "";
    if (!WriteProcessMemory(block.process, block.address, &remote, sizeof remote, nullptr) ||
        !Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.address)) ||
        !ReadProcessMemory(block.process, block.address, &remote, sizeof remote, nullptr) ||
        !ReadProcessMemory(block.process, block.address + sizeof remote, text, TEXT_ROOM, nullptr))
        return false;
    item->handle = handle;
    item->depth = depth;
    item->text = text;
    item->image = remote.iImage;
    item->selectedImage = remote.iSelectedImage;
    item->param = remote.lParam;
    return true;
}

void ReadTreeLevel(HWND tree, RemoteBlock &block, HTREEITEM first, int depth, std::vector<TreeItem> *items)
{
    for (HTREEITEM handle = first; handle; handle = reinterpret_cast<HTREEITEM>(Send(
                                               tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(handle)))) {
        TreeItem item;
        if (!ReadTreeItem(tree, block, handle, depth, &item))
            return;
        items->push_back(item);
        HTREEITEM child =
            reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(handle)));
        if (child)
            ReadTreeLevel(tree, block, child, depth + 1, items);
    }
}

} // namespace

std::vector<TreeItem> TreeItems(HWND tree)
{
    std::vector<TreeItem> items;
    RemoteBlock block = LendMemory(tree, sizeof(TVITEMA) + TEXT_ROOM + 16);
    if (block.address)
        ReadTreeLevel(tree, block, reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0, &items);
    ReturnMemory(block);
    return items;
}

bool SelectTreeItem(HWND tree, HTREEITEM item)
{
    return Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

// The file name box is the combo box cmb13 in Explorer-style dialogs and the
// edit edt1 in older ones.
static HWND FileNameBox(HWND dialog)
{
    HWND box = GetDlgItem(dialog, 0x47C);
    return box ? box : GetDlgItem(dialog, 0x480);
}

std::string FileDialogName(HWND dialog)
{
    HWND box = FileNameBox(dialog);
    return box ? WindowText(box) : "";
}

void ChooseFileInDialog(HWND dialog, const std::string &path)
{
    HWND box = FileNameBox(dialog);
    if (box)
        Send(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ClickButton(dialog, IDOK);
}

std::vector<DWORD> WindowPixels(HWND window)
{
    RECT rect;
    if (!IsWindowVisible(window) || !GetWindowRect(window, &rect))
        return {};
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> pixels = GrabPixels(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

static BOOL CALLBACK AddChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(child);
    return TRUE;
}

bool WaitPainted(HWND window, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            std::vector<HWND> windows = {window};
            EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&windows));
            for (HWND each : windows)
                if (IsWindowVisible(each) && GetUpdateRect(each, nullptr, FALSE))
                    return false;
            return true;
        },
        timeoutMs);
}

} // namespace driver
