#include "designer/copy_picture.h"

#include "designer/controls.h"
#include "designer/designer.h"
#include "pictures/clipboard.h"

namespace designer {

const CopyRow kCopyRows[6] = {
    // button       picture box  capture file  path field
    {id::button1, id::a, L"a1.jpg", id::a5},
    {id::button2, id::b, L"b1.jpg", id::b3},
    {id::button3, id::C, L"c1.jpg", id::C3},
    {id::button4, id::d, L"d1.jpg", id::D3},
    {id::button5, id::e, L"e1.jpg", id::e3},
    {id::button6, id::F, L"F1.jpg", id::F3},
};

// Eight steps, none looking at how an earlier one went; every text and byte
// set is a temporary that is gone once its step is over. The events pumped
// in step 7 may run another press, even of this page: it then deletes the
// file first and this press's delete finds nothing.
void copy_picture(const CopyRow& row, std::wstring (*folder)()) {
    const std::wstring path = tk::join({folder(), row.file_name});
    tk::write_file(path, tk::capture_window(tk::native_handle(kWindow, row.picture_box)));
    tk::set_text(kWindow, row.path_field, path);
    pictures::copy_to_clipboard(tk::read_file(path));
    tk::process_pending_events();
    tk::delete_file(path);
}

}  // namespace designer
