#include "platform/PublishedFile.h"

#include <windows.h>

#include "platform/WideText_win.h"
#include "platform/WriteAll_win.h"

namespace platform {

namespace {

// The folder's inherited security decides who reads it.
bool WriteTemporary(const std::wstring& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

}  // namespace

PublishResult PublishFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    if (folder.empty()) return PublishResult::NoFolder;
    const std::wstring wideFolder = Widen(folder);
    if (GetFileAttributesW(wideFolder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PublishResult::NoFolder
                                                                             : PublishResult::Failed;
    }
    const wchar_t last = wideFolder.back();
    const std::wstring target = wideFolder + (last == L'\\' || last == L'/' ? L"" : L"\\") + Widen(name);
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId());
    if (WriteTemporary(temporary, bytes) &&
        MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return PublishResult::Published;
    DeleteFileW(temporary.c_str());
    return PublishResult::Failed;
}

}  // namespace platform
