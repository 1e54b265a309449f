#include "platform/Directory.h"

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "platform/WideText_win.h"
#include "platform/WinEntryRules.h"

namespace platform {

namespace {

constexpr size_t ListingBytes = 64 * 1024;

// Not in MinGW's headers: the one-step deletion of Windows 10 1607 and later.
constexpr auto FileDispositionInfoExClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionInfoEx {
    ULONG flags;
};
constexpr ULONG DispositionDelete = 0x1;
constexpr ULONG DispositionPosixSemantics = 0x2;
constexpr ULONG DispositionIgnoreReadOnly = 0x10;

// What an open of a name that is no longer a directory there answers.
constexpr NTSTATUS ObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS ObjectPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr NTSTATUS DeletePending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS NotADirectory = static_cast<NTSTATUS>(0xC0000103);
constexpr NTSTATUS AccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS SharingViolation = static_cast<NTSTATUS>(0xC0000043);

constexpr DWORD AttributesThatForbidDeletion =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool IsGone(NTSTATUS status) {
    return status == ObjectNameNotFound || status == ObjectPathNotFound || status == DeletePending ||
           status == NotADirectory;
}

RemoveResult OpenFailure(NTSTATUS status) {
    if (IsGone(status)) return RemoveResult::Gone;
    if (status == AccessDenied) return RemoveResult::Denied;
    return status == SharingViolation ? RemoveResult::InUse : RemoveResult::Failed;
}

// After a failed SetFileInformationByHandle.
RemoveResult DispositionFailure() {
    switch (GetLastError()) {
    case ERROR_DIR_NOT_EMPTY: return RemoveResult::NotEmpty;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return RemoveResult::Denied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return RemoveResult::InUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return RemoveResult::Gone;
    default: return RemoveResult::Failed;
    }
}

// Opens `name` inside the directory held by `parent`, never by a path: the
// name is looked up where the parent is now. A reparse point is opened as
// itself, not followed.
NTSTATUS OpenRelative(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG options, HANDLE& handle) {
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name.c_str());
    objectName.Length = objectName.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK io;
    return NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, 0,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN,
                        options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT,
                        nullptr, 0);
}

// Checked on the open handle, so that a directory swapped for a junction
// between the listing and the open is caught. (Wine opens the target of a
// Unix link whatever it is asked; there the listing is what catches it.)
bool IsPlainDirectory(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO info;
    return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) &&
           (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The name goes when the last handle closes (at once with POSIX semantics,
// where the system has them).
bool SetDeleteDisposition(HANDLE handle, ULONG flags) {
    DispositionInfoEx ex{DispositionDelete | DispositionPosixSemantics | flags};
    if (SetFileInformationByHandle(handle, FileDispositionInfoExClass, &ex, sizeof ex)) return true;
    FILE_DISPOSITION_INFO plain{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &plain, sizeof plain);
}

bool SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO basic{};  // times left at 0: unchanged
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

// A read-only file cannot be deleted as it is: either the system ignores the
// attribute in the same step, or the read-only, hidden and system attributes
// are cleared first and put back when the file stays all the same.
RemoveResult DeleteFileByHandle(HANDLE handle) {
    if (SetDeleteDisposition(handle, DispositionIgnoreReadOnly)) return RemoveResult::Removed;
    const RemoveResult refused = DispositionFailure();
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) return refused;
    const DWORD forbidding = basic.FileAttributes & AttributesThatForbidDeletion;
    if (!forbidding || !SetAttributes(handle, basic.FileAttributes & ~forbidding)) return refused;
    if (SetDeleteDisposition(handle, 0)) return RemoveResult::Removed;
    const RemoveResult stays = DispositionFailure();
    SetAttributes(handle, basic.FileAttributes);
    return stays;
}

// One directory however it is spelt (a junction, "\\?\", a short name):
// the volume and the file's index on it.
bool SameDirectory(HANDLE handle, const std::wstring& other) {
    const HANDLE otherHandle = CreateFileW(other.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (otherHandle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION one, two;
    const bool same = GetFileInformationByHandle(handle, &one) && GetFileInformationByHandle(otherHandle, &two) &&
                      one.dwVolumeSerialNumber == two.dwVolumeSerialNumber &&
                      one.nFileIndexHigh == two.nFileIndexHigh && one.nFileIndexLow == two.nFileIndexLow;
    CloseHandle(otherHandle);
    return same;
}

// A sweep of either would empty the system: with "*.*", a silent run
// deletes every file it may.
bool IsSystemPlace(HANDLE handle, WayRefusal::Reason& reason) {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    if (length < 3 || length >= MAX_PATH) return false;
    const std::wstring windows(buffer, length);
    reason = WayRefusal::Reason::WindowsFolder;
    if (SameDirectory(handle, windows)) return true;
    reason = WayRefusal::Reason::SystemRoot;
    return SameDirectory(handle, windows.substr(0, 3));
}

}  // namespace

struct Directory::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::vector<unsigned char> listing;
    size_t offset = 0;     // of the next record in `listing`
    bool unread = false;   // `listing` holds records not yet returned
    bool ended = false;
    // The entry last listed: its real name, which it is opened and deleted
    // by (UTF-8 may not carry it whole, the ANSI code page often cannot), its
    // texts, and the values the listing gave for it.
    std::wstring wideName;
    std::string name;
    std::string matchName;
    uint32_t attributes = 0;
    int64_t lastWrite = 0;
    uint64_t size = 0;
    // Its own name in the directory it was opened through.
    std::wstring ownName;

    ~State() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }

    // One call fills the buffer with many entries, each with its name,
    // attributes and times: no call per file.
    const FILE_ID_BOTH_DIR_INFO* NextRecord() {
        if (!unread) {
            if (ended) return nullptr;
            listing.resize(ListingBytes);
            if (!GetFileInformationByHandleEx(handle, FileIdBothDirectoryInfo, listing.data(),
                                              static_cast<DWORD>(listing.size()))) {
                ended = true;
                return nullptr;
            }
            offset = 0;
            unread = true;
        }
        const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(listing.data() + offset);
        offset += record->NextEntryOffset;
        unread = record->NextEntryOffset != 0;
        return record;
    }

    bool Accept(const FILE_ID_BOTH_DIR_INFO& record, DirEntry& entry) {
        const std::wstring_view listed(record.FileName, record.FileNameLength / sizeof(wchar_t));
        if (listed == L"." || listed == L"..") return false;
        // For a reparse point the field that otherwise holds the size of the
        // extended attributes holds its tag.
        const bool reparse = record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        const WinEntryKind kind = ClassifyWinEntry(record.FileAttributes, reparse ? record.EaSize : 0);
        wideName.assign(listed);
        name = Narrow(listed);
        matchName = Narrow(listed, AnsiCodePage);
        attributes = record.FileAttributes;
        lastWrite = UnixSecondsFromFileTime(record.LastWriteTime.QuadPart);
        size = static_cast<uint64_t>(record.EndOfFile.QuadPart);
        entry.name = name.c_str();
        entry.matchName = matchName.c_str();
        entry.kind = kind == WinEntryKind::Directory ? EntryKind::Directory
                     : kind == WinEntryKind::Skipped ? EntryKind::DirectoryLink
                                                     : EntryKind::File;
        entry.link = kind == WinEntryKind::Link;
        return true;
    }

    std::wstring WideNameOf(const char* entryName) const {
        return name == entryName ? wideName : Widen(entryName);
    }
};

// Handles are counted in millions; the sweep's own bound is what matters.
int DirectoryBudget() { return 1 << 16; }

Directory::Directory() = default;

Directory::~Directory() = default;

// A root that is a junction or a directory link is followed: the owner chose
// it, and the system does not say who made it.
OpenResult Directory::Open(const char* path, WayRefusal* refusal) {
    state = std::make_unique<State>();
    state->handle = CreateFileW(Widen(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (state->handle == INVALID_HANDLE_VALUE || !IsPlainDirectory(state->handle)) return OpenResult::Unreadable;
    WayRefusal::Reason reason;
    if (!IsSystemPlace(state->handle, reason)) return OpenResult::Listed;
    if (refusal) *refusal = {reason, path};
    state.reset();
    return OpenResult::Refused;
}

OpenResult Directory::Open(const Directory& parent, const char* name) {
    state = std::make_unique<State>();
    state->ownName = parent.state->WideNameOf(name);
    HANDLE handle;
    const NTSTATUS status = OpenRelative(parent.state->handle, state->ownName,
                                         FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) return IsGone(status) ? OpenResult::NotEntered : OpenResult::Unreadable;
    state->handle = handle;
    return IsPlainDirectory(handle) ? OpenResult::Listed : OpenResult::NotEntered;
}

bool Directory::Next(DirEntry& entry) {
    if (!state || state->handle == INVALID_HANDLE_VALUE) return false;
    while (const FILE_ID_BOTH_DIR_INFO* record = state->NextRecord())
        if (state->Accept(*record, entry)) return true;
    return false;
}

// The listing brought every answer already: nothing to ask ahead.
size_t Directory::AskAhead(uint32_t, bool, const std::function<bool(const char*)>&, const Executor&, int) {
    return 0;
}

// The listing brought both already: nothing is asked of the system.
bool Directory::ReadInfo(const DirEntry&, uint32_t attributes, bool lastWrite, EntryInfo& info) const {
    info.attributes = state->attributes & attributes & AttributesUnknown;
    info.lastWrite = lastWrite ? state->lastWrite : 0;
    info.size = lastWrite ? state->size : 0;
    return true;
}

RemoveResult Directory::DeleteEntry(const DirEntry& entry) const {
    HANDLE handle;
    const ACCESS_MASK access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
    const NTSTATUS status =
        OpenRelative(state->handle, state->WideNameOf(entry.name), access, FILE_NON_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) return OpenFailure(status);
    const RemoveResult result = DeleteFileByHandle(handle);
    CloseHandle(handle);
    return result;
}

// Only a handle on a share answers with its protocol.
bool Directory::Remote() const {
    FILE_REMOTE_PROTOCOL_INFO protocol{};
    return state && state->handle != INVALID_HANDLE_VALUE &&
           GetFileInformationByHandleEx(state->handle, FileRemoteProtocolInfo, &protocol, sizeof protocol);
}

// A directory swapped for a junction meanwhile is not removed: it is not ours.
RemoveResult Directory::RemoveSubdirectory(Directory& child) const {
    const std::wstring name = std::move(child.state->ownName);
    child.state.reset();
    HANDLE handle;
    const NTSTATUS status =
        OpenRelative(state->handle, name, DELETE | FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) return OpenFailure(status);
    RemoveResult result = RemoveResult::Gone;
    if (IsPlainDirectory(handle))
        result = SetDeleteDisposition(handle, 0) ? RemoveResult::Removed : DispositionFailure();
    CloseHandle(handle);
    return result;
}

}  // namespace platform
