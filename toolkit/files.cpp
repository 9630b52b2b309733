// File operations, the temporary folder and text join. Like every toolkit
// operation they report nothing: a failure leaves no effect and an empty result.
#include <windows.h>

#include <algorithm>
#include <limits>

#include "toolkit/toolkit.h"

namespace tk {

namespace {

class File {
public:
    explicit File(HANDLE handle) : handle_(handle) {}
    ~File() {
        if (ok()) CloseHandle(handle_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// WriteFile and ReadFile move at most a DWORD at a time.
constexpr std::size_t kMaxChunk = std::numeric_limits<DWORD>::max() / 2;

}  // namespace

void write_file(const std::wstring& path, std::span<const std::uint8_t> bytes) {
    // Create or replace, write access only, nobody else may open it meanwhile.
    File file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return;
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min(bytes.size(), kMaxChunk));
        if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) return;
        bytes = bytes.subspan(written);
    }
}

pictures::OwnedBytes read_file(const std::wstring& path) {
    File file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) return {};
    pictures::OwnedBytes bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = DWORD(std::min(bytes.size() - done, kMaxChunk));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0) break;
        done += got;
    }
    // A file that shrank while being read gives what was there.
    bytes.resize(done);
    return bytes;
}

void delete_file(const std::wstring& path) { DeleteFileW(path.c_str()); }

std::wstring temp_folder() {
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD length = GetTempPathW(DWORD(folder.size()), folder.data());
    if (length > folder.size()) {  // too small: the answer is the size needed
        folder.resize(length);
        length = GetTempPathW(DWORD(folder.size()), folder.data());
        if (length >= folder.size()) length = 0;  // changed in between: give up
    }
    folder.resize(length);
    if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
    return folder;
}

std::wstring join(std::initializer_list<std::wstring_view> pieces) {
    std::size_t length = 0;
    for (std::wstring_view piece : pieces) length += piece.size();
    std::wstring joined;
    joined.reserve(length);
    for (std::wstring_view piece : pieces) joined.append(piece);
    return joined;
}

}  // namespace tk
