// The designer window's control numbers, named after the controls
// (`分组框1` is group1, `按钮1` button1, `透明标签3` label3, `高级选择夹1` tabs).
#pragma once

#include "toolkit/layout.h"

namespace designer::id {

using N = tk::ControlNumber;

inline constexpr N tabs = 0x1601003c;

// Template page a
inline constexpr N a = 0x1601003e, a1 = 0x1601003d, a2 = 0x16010041;
inline constexpr N group1 = 0x16010043, a5 = 0x16010084, button1 = 0x1601005c,
                   label4 = 0x1601005b, label3 = 0x1601005a, a4 = 0x1601004a,
                   label2 = 0x16010049, label1 = 0x16010048, a3 = 0x16010047;

// Template page b
inline constexpr N b = 0x16010087, b1 = 0x16010091;
inline constexpr N group2 = 0x16010088, b3 = 0x16010089, button2 = 0x1601008a,
                   label6 = 0x1601008c, label8 = 0x1601008f, b2 = 0x16010090;

// Template page C
inline constexpr N C = 0x1601009d, C1 = 0x160100a5;
inline constexpr N group3 = 0x1601009e, C3 = 0x1601009f, button3 = 0x160100a0,
                   label5 = 0x160100a1, label7 = 0x160100a2, C2 = 0x160100a3;

// Template page d
inline constexpr N d = 0x160100b2, d1 = 0x160100ba;
inline constexpr N group4 = 0x160100b3, D3 = 0x160100b4, button4 = 0x160100b5,
                   label9 = 0x160100b6, label10 = 0x160100b7, d2 = 0x160100b8;

// Template page e
inline constexpr N e = 0x160100b9, e1 = 0x160100ca;
inline constexpr N group5 = 0x160100c4, e3 = 0x160100c5, button5 = 0x160100c6,
                   label11 = 0x160100c7, label12 = 0x160100c8, e2 = 0x160100c9;

// Template page F
inline constexpr N F = 0x160100d7, F1 = 0x160100d8;
inline constexpr N group6 = 0x160100da, F3 = 0x160100db, button6 = 0x160100dc,
                   label13 = 0x160100dd, label14 = 0x160100de, F2 = 0x160100df;

}  // namespace designer::id
