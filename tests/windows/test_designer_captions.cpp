// Caption mirroring: every change of a caption field shows at once in its
// caption label, exactly as typed, and only there.
#include "tests/windows/test_designer_fixture.h"

#include <algorithm>
#include <vector>

namespace designer_test {
namespace {

struct Pair {
    const char* name;
    int page;
    tk::ControlNumber field, label;
};
const Pair kPairs[] = {
    {"a3 -> a1", 0, id::a3, id::a1}, {"a4 -> a2", 0, id::a4, id::a2},
    {"b2 -> b1", 1, id::b2, id::b1}, {"C2 -> C1", 2, id::C2, id::C1},
    {"d2 -> d1", 3, id::d2, id::d1}, {"e2 -> e1", 4, id::e2, id::e1},
    {"F2 -> F1", 5, id::F2, id::F1},
};
constexpr tk::ControlNumber kLabels[] = {id::a1, id::a2, id::b1, id::C1, id::d1, id::e1, id::F1};

std::vector<std::wstring> label_texts() {
    std::vector<std::wstring> texts;
    for (tk::ControlNumber l : kLabels) texts.push_back(text_of(l));
    return texts;
}

TEST_F(Designer, EachFieldDrivesItsOwnLabelOnly) {
    for (const Pair& p : kPairs) {
        SCOPED_TRACE(p.name);
        std::vector<std::wstring> before = label_texts();
        const std::wstring typed = L"  x，全角！ y  ";
        // A user's change, as the edit box gets it: replace the selection.
        SendMessageW(handle(p.field), EM_SETSEL, 0, -1);
        SendMessageW(handle(p.field), EM_REPLACESEL, TRUE, LPARAM(typed.c_str()));
        // No events pumped: the mirror happened inside the change itself.
        std::vector<std::wstring> after = label_texts();
        for (std::size_t i = 0; i < std::size(kLabels); ++i) {
            if (kLabels[i] == p.label)
                EXPECT_EQ(after[i], typed) << "spaces and punctuation arrive as typed";
            else
                EXPECT_EQ(after[i], before[i]) << "label " << std::hex << kLabels[i] << " must not change";
        }
        EXPECT_EQ(width_of(p.label), 224) << "the label keeps its size";
    }
}

TEST_F(Designer, TypingIntoA3ChangesA1KeyByKey) {
    HWND a3 = handle(id::a3);
    SetFocus(a3);
    SendMessageW(a3, EM_SETSEL, 0, -1);
    support::key(VK_DELETE);
    EXPECT_EQ(text_of(id::a1), L"");
    const std::wstring a2_before = text_of(id::a2);
    std::wstring expected;
    for (wchar_t c : std::wstring(L"谁 ok!")) {
        support::type_text(std::wstring(1, c));
        expected += c;
        ASSERT_EQ(text_of(id::a3), expected);
        EXPECT_EQ(text_of(id::a1), expected) << "a1 follows before the next key";
    }
    support::key(VK_BACK);
    expected.pop_back();
    EXPECT_EQ(text_of(id::a1), expected);
    EXPECT_EQ(text_of(id::a2), a2_before);
}

// Pixels that differ between two captures of one rectangle.
std::vector<bool> changed(const support::Pixels& a, const support::Pixels& b) {
    std::vector<bool> mask(a.argb.size());
    for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = !support::near(a.argb[i], b.argb[i], 24);
    return mask;
}

TEST_F(Designer, PastedLongTextWrapsIntoCentredLinesCutAtTheLabel) {
    pick_page(5);
    HWND f1 = handle(id::F1);
    RECT label = screen_rect(id::F1);
    // Rows of F1 and 30 rows below it, so spill-over would show.
    RECT area{label.left, label.top, label.right, label.bottom + 30};
    tk::set_text(designer::kWindow, id::F2, L"");
    support::flush_events(50);
    const support::Pixels bare = support::capture_screen(area);

    const std::wstring text = L"Orlun says this caption is far too long for one line";
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SetFocus(handle(id::F2));
    support::key_combo(VK_CONTROL, 'V');
    ASSERT_EQ(text_of(id::F1), text);

    support::flush_events(50);
    const support::Pixels written = support::capture_screen(area);
    const std::vector<bool> ink = changed(bare, written);
    const int w = bare.width, h = label.bottom - label.top;
    EXPECT_EQ(width_of(id::F1), 224);
    RECT now{};
    GetWindowRect(f1, &now);
    EXPECT_EQ(now.bottom - now.top, 48) << "the label keeps its size";

    for (int y = h; y < bare.height; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_FALSE(ink[std::size_t(y) * w + x]) << "text drawn below the label at row " << y;

    // Bands of rows holding ink are the lines; each is centred in the label.
    int lines = 0;
    for (int y = 0; y < h;) {
        auto row_has_ink = [&](int row) {
            for (int x = 0; x < w; ++x)
                if (ink[std::size_t(row) * w + x]) return true;
            return false;
        };
        if (!row_has_ink(y)) {
            ++y;
            continue;
        }
        int left = w, right = -1, top = y;
        for (; y < h && row_has_ink(y); ++y)
            for (int x = 0; x < w; ++x)
                if (ink[std::size_t(y) * w + x]) left = std::min(left, x), right = std::max(right, x);
        if (y - top < 6) continue;  // a stray row of a cut-off line
        ++lines;
        EXPECT_LE(std::abs((left + right) / 2 - w / 2), 8) << "line " << lines << " from " << left << " to " << right;
        EXPECT_GT(right - left, w / 2) << "a wrapped line fills much of the width";
    }
    EXPECT_GE(lines, 2) << "the text breaks into several lines";
}

TEST_F(Designer, ClearingAFieldLeavesAnEmptyLabelThatStillTakesPresses) {
    HWND a1 = handle(id::a1);
    RECT r = screen_rect(id::a1);
    tk::set_text(designer::kWindow, id::a3, L"");
    EXPECT_EQ(text_of(id::a1), L"");
    EXPECT_TRUE(IsWindowVisible(a1));
    // Above a2, inside a1's invisible rectangle, the press reaches a1.
    POINT inside{(r.left + r.right) / 2, r.top + 10};
    EXPECT_EQ(WindowFromPoint(inside), a1);
    EXPECT_EQ(SendMessageW(a1, WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
}

}  // namespace
}  // namespace designer_test
