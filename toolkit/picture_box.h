// A picture box's picture and, for animated GIFs, its drawing thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "toolkit/handles.h"
#include "toolkit/picture_data.h"

namespace tk::detail {

struct Control;

class PictureBoxState {
public:
    explicit PictureBoxState(Control& control) : control_(control) {}
    ~PictureBoxState() { stop(); }
    PictureBoxState(const PictureBoxState&) = delete;
    PictureBoxState& operator=(const PictureBoxState&) = delete;

    // Replaces the picture; `copy` keeps a private copy of the bytes
    // (built-in pictures are viewed in place). Starts the animation when
    // the layout asks for it and the picture has several frames.
    void set(std::span<const std::uint8_t> bytes, bool copy);
    // Stops and joins the drawing thread, if any.
    void stop();

    // The content (back colour, then the picture) in client coordinates.
    void paint(HDC dc);

    int shown_frame() const { return int(frame_.load()); }
    bool animating() const { return thread_.joinable(); }

private:
    void run();
    void paint_locked(HDC dc);
    // The shown frame alone, over what the surface holds.
    void draw_frame(HDC dc, int width, int height);
    // Where the picture lies in the client area.
    RECT picture_area(int width, int height) const;
    // Brings the surface up to date for this size; false when it cannot be made.
    bool render(int width, int height);

    Control& control_;
    std::vector<std::uint8_t> bytes_;
    PictureData data_;
    std::mutex mutex_;  // the thread and the box's own painting exclude each other
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
    std::atomic<std::size_t> frame_{0};
    // The content as last drawn, copied on every paint; UI thread only.
    Surface surface_;
    bool rendered_ = false;
    std::size_t rendered_frame_ = 0;
    COLORREF rendered_back_ = CLR_INVALID;
    RECT area_{};  // the picture's area as last rendered; read by the thread under the lock
};

}  // namespace tk::detail
