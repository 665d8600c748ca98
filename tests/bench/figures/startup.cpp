// Figure 4: from process start until the program is ready (hotkeys
// registered, Start Menu read, message loop running), by Start Menu size.
#include "bench.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>


using namespace driver;

static const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";
static std::string SavedStartMenu;
static bool Saved = false;

static bool MakeShortcut(const std::string &target, const std::string &linkPath)
{
    IShellLinkA *link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void **)&link)))
        return false;
    link->SetPath(target.c_str());
    IPersistFile *file = NULL;
    bool ok = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        ok = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

std::string MakeStartMenu(int shortcuts)
{
    if (!Saved) {
        SavedStartMenu = ReadString(HKEY_CURRENT_USER, ShellFolders, "Start Menu");
        Saved = true;
    }
    CoInitialize(NULL);
    std::string root = ScratchDir() + "\\Start Menu";
    CreateDirectoryA(root.c_str(), NULL);
    std::string programs = root + "\\Programs";
    CreateDirectoryA(programs.c_str(), NULL);
    std::string recorder = DoublePath("recorder");
    for (int i = 0; i < shortcuts; ++i) {
        char name[64];
        snprintf(name, sizeof name, "\\Program %04d.lnk", i);
        MakeShortcut(recorder, programs + name);
    }
    WriteValue(HKEY_CURRENT_USER, ShellFolders, "Start Menu", REG_SZ, root.c_str(), (DWORD)root.size() + 1);
    return root;
}

void RestoreStartMenu()
{
    if (Saved)
        WriteValue(HKEY_CURRENT_USER, ShellFolders, "Start Menu", REG_SZ, SavedStartMenu.c_str(),
                   (DWORD)SavedStartMenu.size() + 1);
}

void BenchStartup()
{
    enum { RUNS = 5 };
    std::vector<double> empty;
    double perShortcut = 0;
    for (int shortcuts : {0, 100, 1000}) {
        Figure figure{shortcuts == 0 ? "4a" : shortcuts == 100 ? "4b" : "4c",
                      "start to ready, Start Menu of " + std::to_string(shortcuts) + " shortcuts", "ms"};
        figure.target = "ready within 1 s with 1,000 shortcuts, growing linearly";
        ClearSettings();
        SetSettingDword("options", "installed", 1);
        AssignKey("F5", DoublePath("recorder"), "--exit");
        MakeStartMenu(shortcuts);
        for (int run = 0; run < RUNS; ++run) {
            Process springdeck;
            double start = NowMs();
            HWND window = StartSpringdeck(springdeck);
            double ready = NowMs();
            if (!window) {
                figure.note = "n/a: did not start";
                break;
            }
            figure.samples.push_back(ready - start);
            StopSpringdeck(&springdeck);
        }
        if (shortcuts == 0) {
            empty = figure.samples;
        } else {
            figure.baselineName = "empty Start Menu";
            figure.baseline = empty;
        }
        if (shortcuts == 1000 && !figure.samples.empty() && !empty.empty()) {
            std::vector<double> a = figure.samples, b = empty;
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            perShortcut = (a[a.size() / 2] - b[b.size() / 2]) / 1000.0;
            char note[96];
            snprintf(note, sizeof note, "cost per shortcut %.3f ms", perShortcut);
            figure.note = note;
        }
        Report(figure);
    }
    RestoreStartMenu();
}
