// The picture box: back colour, then the picture at its natural size or
// stretched; animated GIFs are played by a thread of the box's own.
#include "toolkit/picture_box.h"

#include <algorithm>
#include <chrono>

#include "toolkit/internal.h"
#include "toolkit/testing.h"

namespace tk::detail {

namespace {

using Clock = std::chrono::steady_clock;

// The box's client rectangle, clipped to for the duration of a paint.
class ClipTo {
public:
    ClipTo(HDC dc, const RECT& r) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    ~ClipTo() { RestoreDC(dc_, saved_); }
    ClipTo(const ClipTo&) = delete;
    ClipTo& operator=(const ClipTo&) = delete;

private:
    HDC dc_;
    int saved_;
};

LRESULT CALLBACK picture_box_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Control* c = bound_object<Control>(hwnd, msg, lp);
    if (!c || !c->picture) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        c->picture->paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        c->picture->paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(wp);
        if ((lp & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return 0;
        RECT window{}, client{};
        GetWindowRect(hwnd, &window);
        GetClientRect(hwnd, &client);
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        origin.x -= window.left;
        origin.y -= window.top;
        if ((lp & PRF_NONCLIENT) && (GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER)) {
            RECT frame{0, 0, window.right - window.left, window.bottom - window.top};
            FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
        if (lp & PRF_CLIENT) {
            POINT old{};
            OffsetViewportOrgEx(dc, origin.x, origin.y, &old);
            c->picture->paint(dc);
            SetViewportOrgEx(dc, old.x, old.y, nullptr);
        }
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && c->layout->cursor == Cursor::Hand) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        // The thread must be gone before the window it draws on.
        c->picture->stop();
        break;
    case WM_NCDESTROY:
        c->picture->stop();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void register_picture_box_class() { register_class(kPictureBoxClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, picture_box_proc); }

void PictureBoxState::set(std::span<const std::uint8_t> bytes, bool copy) {
    stop();
    {
        std::lock_guard lock(mutex_);
        if (copy) {
            bytes_.assign(bytes.begin(), bytes.end());
            data_.load(bytes_);
        } else {
            bytes_.clear();
            data_.load(bytes);
        }
        frame_ = 0;
        stop_ = false;
        rendered_ = false;
        area_ = RECT{};
    }
    if (control_.layout->animate && data_.frame_count() > 1 && control_.hwnd)
        thread_ = std::thread([this] { run(); });
    if (control_.hwnd) {
        InvalidateRect(control_.hwnd, nullptr, FALSE);
        refresh_labels_above(control_.hwnd);
    }
}

void PictureBoxState::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void PictureBoxState::paint(HDC dc) {
    std::lock_guard lock(mutex_);
    RECT client{};
    GetClientRect(control_.hwnd, &client);
    if (!render(client.right, client.bottom)) {
        paint_locked(dc);
        return;
    }
    surface_.copy_to(dc);
}

bool PictureBoxState::render(int width, int height) {
    // Composed off-screen at the box's own origin and size, once for each
    // frame, size and back colour: the screen, WM_PRINT and captures then
    // copy identical pixels (a HALFTONE stretch depends on the
    // destination's clipping and origin, and costs a lot under Wine).
    const Surface::Fit fit = surface_.fit(width, height);
    if (fit == Surface::Fit::Failed) return false;
    const std::size_t frame = frame_.load();
    const COLORREF back = control_.back_colour();
    if (fit == Surface::Fit::Made || !rendered_ || rendered_back_ != back) {
        paint_locked(surface_.dc());
    } else if (rendered_frame_ != frame) {
        // Only the picture's own area changes from frame to frame.
        draw_frame(surface_.dc(), width, height);
        // Captions over the box show the new frame too.
        refresh_labels_above(control_.hwnd);
    } else {
        return true;
    }
    rendered_ = true;
    rendered_frame_ = frame;
    rendered_back_ = back;
    area_ = picture_area(width, height);
    return true;
}

RECT PictureBoxState::picture_area(int width, int height) const {
    if (data_.empty()) return RECT{0, 0, 0, 0};
    if (control_.layout->picture_mode == PictureMode::Stretch) return RECT{0, 0, width, height};
    return RECT{0, 0, std::min(width, data_.width()), std::min(height, data_.height())};
}

void PictureBoxState::paint_locked(HDC dc) {
    RECT client{};
    GetClientRect(control_.hwnd, &client);
    ClipTo clip(dc, client);
    FillRect(dc, &client, control_.back());
    draw_frame(dc, client.right, client.bottom);
}

void PictureBoxState::draw_frame(HDC dc, int width, int height) {
    if (data_.empty()) return;
    const COLORREF back = control_.back_colour();
    const std::size_t frame = frame_.load() < data_.frame_count() ? frame_.load() : 0;
    if (control_.layout->picture_mode == PictureMode::Stretch)
        data_.draw(dc, frame, 0, 0, width, height, back);
    else
        data_.draw(dc, frame, 0, 0, data_.width(), data_.height(), back);
}

void PictureBoxState::run() {
    std::unique_lock lock(mutex_);
    auto due = Clock::now() + std::chrono::milliseconds(data_.delay_ms(frame_));
    while (!stop_) {
        if (wake_.wait_until(lock, due, [this] { return stop_; })) break;
        const std::size_t next = (frame_ + 1) % data_.frame_count();
        frame_ = next;
        const auto delay = std::chrono::milliseconds(data_.delay_ms(next));
        due += delay;
        // Fell far behind (a busy machine): keep each frame's own duration
        // rather than racing through the missed ones.
        const auto now = Clock::now();
        if (due < now) due = now + delay;
        const RECT area = area_;
        lock.unlock();
        // The UI thread paints the new frame, and only the picture's area
        // (it also refreshes the captions above). Drawing through GetDC here
        // would reach the screen late under Wine, whose window surfaces are
        // flushed by the threads that pump messages; and a blocking
        // SendMessage could deadlock with a UI thread joining this one.
        InvalidateRect(control_.hwnd, IsRectEmpty(&area) ? nullptr : &area, FALSE);
        lock.lock();
    }
}

void picture_box_set(Control& c, std::span<const std::uint8_t> bytes, bool copy) {
    if (c.picture) c.picture->set(bytes, copy);
}

void picture_box_stop(Control& c) {
    if (c.picture) c.picture->stop();
}

void refresh_labels_above(HWND hwnd) {
    RECT mine{};
    if (!GetWindowRect(hwnd, &mine)) return;
    for (HWND above = GetWindow(hwnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        wchar_t name[64]{};
        GetClassNameW(above, name, 64);
        if (lstrcmpiW(name, kTransparentLabelClass) != 0) continue;
        if (!(GetWindowLongW(above, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT theirs{}, overlap{};
        GetWindowRect(above, &theirs);
        if (IntersectRect(&overlap, &mine, &theirs)) InvalidateRect(above, nullptr, FALSE);
    }
}

}  // namespace tk::detail

namespace tk::testing {

namespace {
detail::PictureBoxState* state_of(WindowNumber window, ControlNumber control) {
    detail::Window* w = detail::find_window(window);
    detail::Control* c = w ? w->find(control) : nullptr;
    return c ? c->picture.get() : nullptr;
}
}  // namespace

int shown_frame(WindowNumber window, ControlNumber control) {
    auto* s = state_of(window, control);
    return s ? s->shown_frame() : -1;
}

bool animating(WindowNumber window, ControlNumber control) {
    auto* s = state_of(window, control);
    return s && s->animating();
}

}  // namespace tk::testing
