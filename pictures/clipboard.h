// Hands a picture to the system clipboard as a device-dependent bitmap
// (CF_BITMAP) owned by the program's main window.
#pragma once

#include <cstdint>
#include <span>

#include "pictures/byteset.h"

namespace pictures {

// Decodes `bytes` (JPEG, BMP, GIF first frame, icon, cursor or PCX) into a
// bitmap of the picture's own size and makes it the clipboard's only
// content. Data that is no picture still empties the clipboard and announces
// CF_BITMAP without data, so the earlier content is gone. Nothing is
// reported. The caller keeps its bytes; once the clipboard has accepted the
// bitmap it belongs to the clipboard and outlives the program.
void copy_to_clipboard(std::span<const std::uint8_t> bytes);
inline void copy_to_clipboard(ByteSet picture) { copy_to_clipboard(picture.bytes()); }

// Another program may hold the clipboard open for a moment; opening is
// tried up to this many times, this far apart, and never for longer than
// the limit in all, before the hand-over gives up.
inline constexpr int kClipboardOpenTries = 10;
inline constexpr int kClipboardRetryMs = 10;
inline constexpr int kClipboardOpenLimitMs = 100;

}  // namespace pictures
