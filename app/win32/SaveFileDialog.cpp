#include "app/win32/SaveFileDialog.h"

#include <commdlg.h>

#include <system_error>

#include "framework/win32/Handles.h"

namespace vantor::win32 {
namespace {

using GetSaveFileNameProc = BOOL(WINAPI*)(OPENFILENAMEW*);

// The file dialogs' library brings printing and crypto libraries along: it is loaded at the first save
// dialog, not at start, and kept for the rest of the run.
GetSaveFileNameProc SaveFileDialog() {
    static ModuleHandle library;
    if (!library) library.Reset(::LoadLibraryW(L"comdlg32.dll"));
    const FARPROC proc = library ? ::GetProcAddress(library.Get(), "GetSaveFileNameW") : nullptr;
    if (!proc) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "comdlg32.dll GetSaveFileNameW");
    return reinterpret_cast<GetSaveFileNameProc>(reinterpret_cast<void*>(proc));
}

}  // namespace

std::optional<std::wstring> AskSavePath(HWND owner, const std::wstring& typeName, const wchar_t* pattern,
                                        const wchar_t* extension) {
    const GetSaveFileNameProc getSaveFileName = SaveFileDialog();
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    // Each entry: its name, a null, its pattern, a null; a second null ends the list.
    const std::wstring filter = typeName + L'\0' + pattern + L'\0';
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = extension;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR | (extension ? OFN_OVERWRITEPROMPT : 0);
    if (!getSaveFileName(&dialog)) return std::nullopt;
    return std::wstring(path);
}

}  // namespace vantor::win32
