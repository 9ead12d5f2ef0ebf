#include "Look.h"

#include <algorithm>

namespace viewer {

Rgb Colour(ColourRole role) {
    switch (role) {
        case ColourRole::Text:
            return {0x00, 0x00, 0x00};
        case ColourRole::Base:
            return {0xff, 0xff, 0xff};
        case ColourRole::Removed:
            return {0xff, 0xd4, 0xd4};
        case ColourRole::Added:
            return {0xcc, 0xee, 0xff};
        case ColourRole::RemovedMark:
            return {0xff, 0x99, 0x99};
        case ColourRole::AddedMark:
            return {0x80, 0xcc, 0xff};
        case ColourRole::CurrentFrame:
            return {0x30, 0x30, 0x30};
        case ColourRole::Notice:
            return {0xff, 0xf4, 0xc0};
        case ColourRole::Error:
            return {0xb0, 0x00, 0x00};
        case ColourRole::StripBackground:
            return {0xf2, 0xf2, 0xf2};
        case ColourRole::StripFrame:
            return {0x60, 0x60, 0x60};
        case ColourRole::StrayByte:
            return {0xd9, 0xd9, 0xd9};
        case ColourRole::StrayByteText:
            return {0x9c, 0x00, 0x00};
        case ColourRole::ControlMark:
            return {0x60, 0x60, 0x60};
        case ColourRole::MergeMine:
            return {0xd6, 0xf5, 0xd6};
        case ColourRole::MergeTheirs:
            return {0xcc, 0xee, 0xff};
        case ColourRole::MergeBoth:
            return {0xe6, 0xe6, 0xf5};
        case ColourRole::MergeConflict:
            return {0xff, 0xc8, 0xb4};
        case ColourRole::MergeResolved:
            return {0xff, 0xf0, 0xb3};
    }
    return {};
}

ColourRole RowColour(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return ColourRole::Removed;
        case RowKind::Added:
            return ColourRole::Added;
        case RowKind::Common:
            break;
    }
    return ColourRole::Base;
}

ColourRole MarkColour(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return ColourRole::RemovedMark;
        case RowKind::Added:
            return ColourRole::AddedMark;
        case RowKind::Common:
            break;
    }
    return ColourRole::Base;
}

Rgb Darker(Rgb colour, int percent) {
    const auto shade = [&](std::uint8_t v) {
        const int by = std::max(percent, 1);
        return static_cast<std::uint8_t>(std::clamp((v * 100 + by / 2) / by, 0, 255));
    };
    return {shade(colour.r), shade(colour.g), shade(colour.b)};
}

Rgb StripColour(RowKind kind) { return Darker(Colour(MarkColour(kind)), 110); }

std::u16string KindMark(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return u"<!";
        case RowKind::Added:
            return u"!>";
        case RowKind::Common:
            break;
    }
    return {};
}

std::u16string KindLegend(RowKind kind) {
    switch (kind) {
        case RowKind::Removed:
            return u" <! 第一のファイルだけにある行 ";
        case RowKind::Added:
            return u" !> 第二のファイルだけにある行 ";
        case RowKind::Common:
            break;
    }
    return {};
}

}  // namespace viewer
