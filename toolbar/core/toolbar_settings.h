#pragma once

#include "kesh/string.h"

#include <windows.h>

// Where the toolbar's settings live: its registry key (full path, root word
// first) and the folder of the start-at-login shortcut (the user's Startup
// folder; empty when there is none).
struct SettingsPlace {
    kesh::String keyPath;
    kesh::String startupFolder;
};

// The toolbar's five settings. Load and Save never fail: a missing key or
// value gives its default, an unreadable number 0, and writes that fail are
// logged and not otherwise reported. After each of them the start-at-login shortcut is made to
// match autoRun (SyncAutoRunShortcut).
class ToolbarSettings {
public:
    // Ctrl+F2: HOTKEYF_CONTROL with VK_F2, in the stored form.
    static constexpr DWORD kDefaultHotKey = 0x00020071;
    // Far beyond any screen: the toolbar's first start puts it in the
    // bottom-right corner of the work area.
    static constexpr int kDefaultPosition = 10000;

    explicit ToolbarSettings(const SettingsPlace& place) : place_(place) {}

    // "autoRun" and "hideWhenCapture" are REG_DWORD 0 or 1, "captureHotkey"
    // a REG_DWORD (PackHotKey's form), "xPos" and "yPos" decimal REG_SZ
    // texts; every value is read as text and converted in base 10.
    void Load();
    void Save() const;

    const SettingsPlace& place() const { return place_; }

    bool autoRun = true;
    bool hideWhenCapture = false;
    DWORD hotKey = kDefaultHotKey;
    int xPos = kDefaultPosition;
    int yPos = kDefaultPosition;

private:
    SettingsPlace place_;
};

// The start-at-login shortcut: "Norpa.lnk" in the startup folder, starting
// the running program with the description "Norpa工具条". Written (again)
// while autoRun is on, removed when it is off; a failure of either is
// logged (ShortcutFile).
void SyncAutoRunShortcut(const ToolbarSettings& settings);

// The path of a shell special folder (CSIDL_STARTUP...), empty when the
// shell cannot tell.
kesh::String GetSpecialFolderPath(int csidl);
