// What the window says of an edit or a save, for the editing suites.
#pragma once

#include <string>

#include "EditedComparison.h"
#include "Wording.h"

namespace testsupport {

inline std::u16string Said(const viewer::EditedComparison& e, const viewer::EditResult& result) {
    return viewer::EditText(result, e);
}
// A save of the second file.
inline std::u16string Said(const viewer::EditedComparison& e, const viewer::SaveResult& result) {
    return viewer::SaveText(result, e, viewer::Side::Second);
}
inline std::u16string WhyReadOnly(const viewer::EditedComparison& e, viewer::Side side) {
    return viewer::ReadOnlyText(e.WhyReadOnly(side));
}

}  // namespace testsupport
