// The platform the program relies on: Chinese fonts render, and the
// executable carries its icon and version resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/support.h"

namespace {

// A glyph rendered to a small monochrome picture, for comparison.
std::vector<std::uint32_t> render(const wchar_t* face, int height, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 32);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HFONT font = face ? CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                                    DEFAULT_PITCH, face)
                      : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old_font = SelectObject(dc, font);
    RECT all{0, 0, 64, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 2, 2, text.c_str(), int(text.size()));
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    if (face) DeleteObject(font);
    DeleteDC(dc);
    support::Pixels pixels = support::from_bitmap(bitmap);
    DeleteObject(bitmap);
    return pixels.argb;
}

int dark_pixels(const std::vector<std::uint32_t>& pixels) {
    int n = 0;
    for (std::uint32_t p : pixels) n += (p & 0xFFFFFF) != 0xFFFFFF;
    return n;
}

struct FaceCase {
    const wchar_t* face;  // nullptr: the default GUI font
    const char* label;
};

class ChineseFont : public ::testing::TestWithParam<FaceCase> {};

TEST_P(ChineseFont, RendersRealGlyphsNotTheMissingGlyphBox) {
    const FaceCase c = GetParam();
    // Two different characters draw two different pictures only when real
    // glyphs exist: a missing-glyph box looks the same for both.
    auto design = render(c.face, 16, L"设");
    auto picture = render(c.face, 16, L"图");
    EXPECT_GT(dark_pixels(design), 10) << c.label;
    EXPECT_NE(design, picture) << c.label << " draws the same box for different characters";

    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = c.face ? CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                                      DEFAULT_PITCH, c.face)
                        : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old = SelectObject(dc, font);
    WORD glyphs[3] = {};
    ASSERT_EQ(GetGlyphIndicesW(dc, L"设计图", 3, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 3u);
    for (WORD g : glyphs) EXPECT_NE(g, 0xFFFF) << c.label;
    SelectObject(dc, old);
    if (c.face) DeleteObject(font);
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(LayoutFaces, ChineseFont,
                         ::testing::Values(FaceCase{L"微软雅黑", "YaHei"},
                                           FaceCase{L"SimSun", "SimSun"},
                                           FaceCase{L"宋体", "Song"},
                                           FaceCase{L"Comic Sans MS", "Comic"},
                                           FaceCase{nullptr, "default GUI font"}));

// The resources of the real executable, loaded as data.
class ExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(support::glimbo_exe().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "cannot load glimbo.exe";
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ExeResources, ProgramIconIsDefaultIconAt32Pixels) {
    ASSERT_NE(FindResourceW(module_, L"DEFAULT_ICON", RT_GROUP_ICON), nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(module_, L"DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST_F(ExeResources, VersionIsOnePointOneWithTheLauncherTitle) {
    std::wstring exe = support::glimbo_exe();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);

    for (const wchar_t* key : {L"FileDescription", L"ProductName"}) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + key;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::wstring(value), L"Glimbo-Orlun 1.1");
    }
}

}  // namespace
