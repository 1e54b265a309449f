#include "ui/win32/AboutDialog.h"

#include "ui/core/ResourceIds.h"

namespace AboutDialog {
namespace {

// Escape and the close box arrive as IDCANCEL, the OK button as IDOK.
INT_PTR CALLBACK Procedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    EndDialog(box, LOWORD(wParam));
    return TRUE;
}

}  // namespace

void Show(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(AboutTemplateId), owner, Procedure, 0);
}

}  // namespace AboutDialog
