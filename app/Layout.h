// The window as it was designed: every control's place in twips, its text, font, tab index,
// whether files may be dropped on it and what a screen reader calls it.
#pragma once

#include "../platform/Layout.h"
#include "texts.h"

namespace layout {

using platform::ControlKind;
using platform::ControlSpec;

// One control to a row, as in a designer's table.
// clang-format off
inline constexpr platform::WindowSpec kForm1{texts::kCaption, 4710, 3030};

inline constexpr ControlSpec kGuide{
    L"Guide", ControlKind::Label, 120, 120, 4335, 975, texts::kGuideFirst,
    {texts::kGuideFont, 20.25}, 2, true, texts::kGuideName};
inline constexpr ControlSpec kPath1{
    L"path1", ControlKind::TextBox, 120, 1320, 4455, 270, texts::kPath1Placeholder, {}, 0, true,
    texts::kPath1Name};
inline constexpr ControlSpec kPath2{
    L"path2", ControlKind::ComboBox, 120, 1680, 4455, 300, texts::kPath2Placeholder, {}, 5, false,
    texts::kPath2Name};
inline constexpr ControlSpec kExePath{
    L"ExePath", ControlKind::TextBox, 120, 2040, 4455, 270, texts::kExePathInitial, {}, 3, false,
    texts::kExePathName};
inline constexpr ControlSpec kBtnGo{
    L"btnGo", ControlKind::Button, 120, 2400, 1455, 495, texts::kGo, {texts::kGoFont, 14.25}, 1,
    false, texts::kGoName};
inline constexpr ControlSpec kBtnReffer{
    L"btnReffer", ControlKind::Button, 3960, 2400, 615, 255, texts::kReffer, {}, 4, false,
    texts::kRefferName};
// clang-format on

}  // namespace layout
