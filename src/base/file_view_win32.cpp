#include <windows.h>
#include <winternl.h>

#include <io.h>

#include "base/file_view.h"
#include "base/win32_handles.h"

namespace setup {

namespace {

// A page that cannot be read in a view (a disc taken out, a share gone) raises an exception
// that ends the process, where a read would only fail: files on removable and remote devices
// are read instead.
bool OnFixedLocalDevice(HANDLE file) {
    constexpr ULONG kRemovableMedia = 0x1;  // FILE_REMOVABLE_MEDIA
    constexpr ULONG kRemoteDevice = 0x10;   // FILE_REMOTE_DEVICE
    IO_STATUS_BLOCK status{};
    FILE_FS_DEVICE_INFORMATION device{};
    return NT_SUCCESS(NtQueryVolumeInformationFile(file, &status, &device, sizeof device, FileFsDeviceInformation)) &&
           (device.Characteristics & (kRemovableMedia | kRemoteDevice)) == 0;
}

}  // namespace

char* FileView::MapPrivately(std::FILE* file, std::size_t bytes) {
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || !OnFixedLocalDevice(handle)) return nullptr;
    // The view keeps the mapping object alive on its own.
    const UniqueHandle mapping(CreateFileMappingA(handle, nullptr, PAGE_WRITECOPY, 0, 0, nullptr));
    if (!mapping) return nullptr;
    return static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_COPY, 0, 0, bytes));
}

void FileView::Unmap(char* data, std::size_t) { UnmapViewOfFile(data); }

}  // namespace setup
