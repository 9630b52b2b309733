// "复制图片": the page's picture box, captions included, goes to the
// clipboard by way of a short-lived capture file.
#pragma once

#include <string>

#include "toolkit/toolkit.h"

namespace designer {

struct CopyRow {
    tk::ControlNumber button;
    tk::ControlNumber picture_box;
    const wchar_t* file_name;  // holds BMP data whatever its name says
    tk::ControlNumber path_field;
};

// One row for each template page, in page order a, b, C, d, e, F.
extern const CopyRow kCopyRows[6];

// The whole pipeline for one page. The capture file goes into the folder
// that `folder` gives (ending in a backslash, or empty for the current
// directory); tests pass their own to stand in for the platform.
void copy_picture(const CopyRow& row, std::wstring (*folder)() = &tk::temp_folder);

// Click handler of the button of kCopyRows[k].
template <int k>
void copy_clicked(const tk::EventArgs&) {
    copy_picture(kCopyRows[k]);
}

}  // namespace designer
