#include "ui/win32/AboutDialog.h"

#include "ui/core/ResourceIds.h"
#include "ui/win32/Centring.h"

namespace AboutDialog {
namespace {

// Over the main window it belongs to.
void CentreOnOwner(HWND box) {
    RECT owner;
    if (GetWindowRect(GetWindow(box, GW_OWNER), &owner)) CentreOn(box, owner);
}

// Escape and the close box arrive as IDCANCEL, the OK button as IDOK.
INT_PTR CALLBACK Procedure(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        CentreOnOwner(box);
        return TRUE;
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    EndDialog(box, LOWORD(wParam));
    return TRUE;
}

}  // namespace

void Show(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(AboutTemplateId), owner, Procedure, 0);
}

}  // namespace AboutDialog
