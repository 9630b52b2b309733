// "复制图片" in-process: the capture file while the press is running, the
// path field, the clipboard afterwards, and the capture itself.
#include "tests/windows/test_designer_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "designer/copy_picture.h"

namespace designer_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t le(const Bytes& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Bytes read_shared(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    Bytes b(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!b.empty()) ReadFile(f, b.data(), DWORD(b.size()), &got, nullptr);
    CloseHandle(f);
    b.resize(got);
    return b;
}

void write_plain(const std::wstring& path, const std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(f);
}

// The platform's temporary folder, asked directly, with the backslash.
std::wstring platform_temp() {
    wchar_t buffer[MAX_PATH + 1]{};
    std::wstring t(buffer, GetTempPathW(MAX_PATH + 1, buffer));
    if (!t.empty() && t.back() != L'\\') t += L'\\';
    return t;
}

// Pixels of a BMP file image (bottom-up, 24-bit) as top-down 0xRRGGBB.
support::Pixels bmp_pixels(const Bytes& file) {
    support::Pixels p;
    if (file.size() < 54) return p;
    p.width = int(le(file, 18, 4));
    p.height = int(le(file, 22, 4));
    const std::size_t stride = ((24 * std::size_t(p.width) + 31) / 32) * 4;
    if (file.size() < 54 + stride * p.height) return {};
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = file.data() + 54 + stride * (p.height - 1 - y);
        for (int x = 0; x < p.width; ++x)
            p.argb.push_back(support::rgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return p;
}

// Pixels that differ, with the first few named for the failure message.
int mismatches(const support::Pixels& a, const support::Pixels& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.argb.size(); ++i) {
        if (support::near(a.argb[i], b.argb[i], 2)) continue;
        if (++n <= 4)
            std::fprintf(stderr, "  pixel %d,%d: %06x vs %06x\n", int(i % a.width), int(i / a.width),
                         unsigned(a.argb[i]), unsigned(b.argb[i]));
    }
    return n;
}

// A window of the test's own: a message posted to it before a press is
// dispatched in the press's step 7, while the capture file still exists.
class Spy {
public:
    Spy() {
        static bool registered = [] {
            WNDCLASSW c{};
            c.lpfnWndProc = &Spy::proc;
            c.hInstance = GetModuleHandleW(nullptr);
            c.lpszClassName = L"DesignerTestSpy";
            return RegisterClassW(&c) != 0;
        }();
        (void)registered;
        hwnd_ = CreateWindowW(L"DesignerTestSpy", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, LONG_PTR(this));
    }
    ~Spy() { DestroyWindow(hwnd_); }

    // Arms the spy to look at `path` in the next pumping of events.
    void watch(const std::wstring& path, std::function<void()> also = {}) {
        path_ = path;
        also_ = std::move(also);
        calls = 0;
        PostMessageW(hwnd_, WM_APP, 0, 0);
    }

    int calls = 0;
    bool existed = false;
    Bytes seen;

private:
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_APP) {
            auto* self = reinterpret_cast<Spy*>(GetWindowLongPtrW(w, GWLP_USERDATA));
            ++self->calls;
            self->existed = exists(self->path_);
            self->seen = read_shared(self->path_);
            if (self->also_) self->also_();
            return 0;
        }
        return DefWindowProcW(w, m, wp, lp);
    }
    HWND hwnd_ = nullptr;
    std::wstring path_;
    std::function<void()> also_;
};

struct PageCase {
    int page;
    tk::ControlNumber button, box, path_field;
    const wchar_t* file_name;
    int width, height;
};

// From the product's table of pages: note "c1.jpg" in lower case and D3.
const PageCase kPages[] = {
    {0, id::button1, id::a, id::a5, L"a1.jpg", 184, 200},
    {1, id::button2, id::b, id::b3, L"b1.jpg", 184, 232},
    {2, id::button3, id::C, id::C3, L"c1.jpg", 304, 182},
    {3, id::button4, id::d, id::D3, L"d1.jpg", 200, 235},
    {4, id::button5, id::e, id::e3, L"e1.jpg", 512, 216},
    {5, id::button6, id::F, id::F3, L"F1.jpg", 284, 168},
};

class CopyPicture : public Designer {
protected:
    void press(tk::ControlNumber button) { SendMessageW(handle(button), BM_CLICK, 0, 0); }
    Spy spy_;
};

class EachPage : public CopyPicture, public ::testing::WithParamInterface<PageCase> {};

TEST_P(EachPage, WritesTheBoxAsBmpHandsItOverAndDeletesTheFile) {
    const PageCase& c = GetParam();
    if (c.page != 0) pick_page(c.page);
    const std::wstring path = platform_temp() + c.file_name;
    DeleteFileW(path.c_str());
    const support::Pixels screen = on_screen(c.box);

    spy_.watch(path);
    press(c.button);

    ASSERT_EQ(spy_.calls, 1) << "the press processes pending events";
    ASSERT_TRUE(spy_.existed) << "the capture file exists until the last step";
    const Bytes& f = spy_.seen;
    const std::size_t stride = std::size_t(c.width) * 3;  // all six widths need no padding
    ASSERT_EQ(f.size(), 54 + stride * c.height);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(le(f, 2, 4), 54 + stride * c.height) << "file size";
    EXPECT_EQ(le(f, 6, 4), 0u) << "reserved";
    EXPECT_EQ(le(f, 10, 4), 54u) << "offset of the rows";
    EXPECT_EQ(le(f, 14, 4), 40u) << "header size";
    EXPECT_EQ(le(f, 18, 4), std::uint32_t(c.width));
    EXPECT_EQ(le(f, 22, 4), std::uint32_t(c.height)) << "positive: bottom-up";
    EXPECT_EQ(le(f, 26, 2), 1u) << "planes";
    EXPECT_EQ(le(f, 28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(le(f, 30, 4), 0u) << "BI_RGB";
    EXPECT_EQ(le(f, 34, 4), stride * c.height) << "image size";
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(le(f, at, 4), 0u) << "field at " << at;
    EXPECT_EQ(mismatches(bmp_pixels(f), screen), 0) << "the file holds what the box shows";

    EXPECT_FALSE(exists(path)) << "the capture file is gone after the press";
    EXPECT_EQ(text_of(c.path_field), path);
    EXPECT_EQ(mismatches(support::clipboard_bitmap(), screen), 0) << "the clipboard holds the picture";
}

INSTANTIATE_TEST_SUITE_P(Pages, EachPage, ::testing::ValuesIn(kPages));

TEST_F(CopyPicture, AnEarlierFileOfThatNameIsReplacedThenDeleted) {
    const std::wstring path = platform_temp() + L"a1.jpg";
    write_plain(path, "an older file that is no picture at all");
    spy_.watch(path);
    press(id::button1);
    ASSERT_TRUE(spy_.existed);
    ASSERT_GE(spy_.seen.size(), 54u);
    EXPECT_EQ(spy_.seen[0], 'B');
    EXPECT_EQ(spy_.seen.size(), 54u + 552u * 200u) << "nothing of the old content remains";
    EXPECT_FALSE(exists(path));
}

TEST_F(CopyPicture, TwoPagesInARowLeaveTheSecondPictureAndBothPaths) {
    pick_page(1);
    press(id::button2);
    pick_page(2);
    const support::Pixels c_box = on_screen(id::C);
    press(id::button3);
    const support::Pixels clip = support::clipboard_bitmap();
    EXPECT_EQ(clip.width, 304);
    EXPECT_EQ(clip.height, 182);
    EXPECT_EQ(mismatches(clip, c_box), 0);
    EXPECT_EQ(text_of(id::b3), platform_temp() + L"b1.jpg");
    EXPECT_EQ(text_of(id::C3), platform_temp() + L"c1.jpg");
    EXPECT_EQ(text_of(id::a5), L"") << "a page not pressed keeps an empty path field";
}

TEST_F(CopyPicture, APressNestedInStepSevenRunsTheWholePipeline) {
    const std::wstring path = platform_temp() + L"a1.jpg";
    // While the outer press pumps events: another caption, and another press.
    spy_.watch(path, [] {
        tk::set_text(designer::kWindow, id::a3, L"second press");
        PostMessageW(handle(id::button1), BM_CLICK, 0, 0);
    });
    press(id::button1);
    ASSERT_EQ(spy_.calls, 1);
    EXPECT_FALSE(exists(path)) << "the inner press deleted the file; the outer delete found none";
    const support::Pixels now = on_screen(id::a);
    const support::Pixels clip = support::clipboard_bitmap();
    EXPECT_EQ(mismatches(clip, now), 0) << "the clipboard holds the later press's picture";
    EXPECT_GT(mismatches(clip, bmp_pixels(spy_.seen)), 0) << "which differs from the outer capture";
    EXPECT_EQ(text_of(id::a5), path);
}

TEST_F(CopyPicture, WithoutATemporaryFolderTheFileNameIsUsedAlone) {
    // Wine always reports a folder (the Windows folder when TMP, TEMP and
    // USERPROFILE are all missing), so the platform's "no answer" is stood
    // in for by a folder function that gives nothing.
    wchar_t old_dir[MAX_PATH]{};
    GetCurrentDirectoryW(MAX_PATH, old_dir);
    const std::wstring scratch = platform_temp() + L"designer-cwd";
    CreateDirectoryW(scratch.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.c_str()));
    spy_.watch(scratch + L"\\a1.jpg");
    designer::copy_picture(designer::kCopyRows[0], [] { return std::wstring(); });
    SetCurrentDirectoryW(old_dir);
    EXPECT_TRUE(spy_.existed) << "written relative to the current directory";
    EXPECT_EQ(text_of(id::a5), L"a1.jpg");
    EXPECT_FALSE(exists(scratch + L"\\a1.jpg"));
    EXPECT_EQ(support::clipboard_bitmap().width, 184);
    RemoveDirectoryW(scratch.c_str());
}

// Run only inside the child below, whose TMP and TEMP name a drive that
// does not exist: the path is formed, the write fails, nothing reaches the
// clipboard, and the path field still shows where the file was to go.
TEST_F(CopyPicture, DISABLED_InChildWithTemporaryFolderNowhere) {
    ASSERT_EQ(tk::temp_folder(), L"Q:\\nowhere\\");
    spy_.watch(L"Q:\\nowhere\\a1.jpg");
    press(id::button1);
    EXPECT_FALSE(spy_.existed);
    EXPECT_EQ(text_of(id::a5), L"Q:\\nowhere\\a1.jpg");
    EXPECT_TRUE(support::clipboard_bitmap().empty()) << "an empty read-back empties the clipboard";
}

TEST(CopyPictureFolder, TemporaryFolderPointingNowhere) {
    // This program's environment with TMP and TEMP replaced.
    std::wstring block;
    wchar_t* env = GetEnvironmentStringsW();
    for (const wchar_t* v = env; *v; v += wcslen(v) + 1) {
        if (_wcsnicmp(v, L"TMP=", 4) && _wcsnicmp(v, L"TEMP=", 5)) block.append(v).push_back(L'\0');
    }
    FreeEnvironmentStringsW(env);
    block.append(L"TMP=Q:\\nowhere").push_back(L'\0');
    block.append(L"TEMP=Q:\\nowhere").push_back(L'\0');
    block.push_back(L'\0');

    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=*InChildWithTemporaryFolderNowhere";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                               block.data(), nullptr, &startup, &child));
    const DWORD waited = WaitForSingleObject(child.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u) << "the child's checks failed (see its output above)";
}

TEST_F(CopyPicture, CaptureIsEmptyForANonWindow) {
    EXPECT_TRUE(tk::capture_window(nullptr).empty());
    HWND gone = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_TRUE(tk::capture_window(gone).empty());
}

TEST_F(CopyPicture, CaptureShowsTheBoxAsSeenEvenWhenCoveredAndCutsCaptionsAtItsEdge) {
    // a1 half off the picture's right edge, a2 over its bottom-left corner.
    SetWindowPos(handle(id::a1), nullptr, 260, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(handle(id::a2), nullptr, 60, 220, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const support::Pixels seen = on_screen(id::a);

    // Another window over the whole box.
    RECT box = screen_rect(id::a);
    HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, box.left - 20,
                                 box.top - 20, 240, 260, nullptr, nullptr, nullptr, nullptr);
    support::flush_events(100);
    ASSERT_GT(mismatches(on_screen(id::a), seen), 1000) << "the cover should hide the box";
    const Bytes file = tk::capture_window(handle(id::a));
    DestroyWindow(cover);
    EXPECT_EQ(mismatches(bmp_pixels(file), seen), 0);
}

}  // namespace
}  // namespace designer_test
