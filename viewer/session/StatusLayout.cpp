#include "StatusLayout.h"

#include <algorithm>

namespace viewer {

StatusLayout LayOutStatus(int width, int hiddenWidth, int countWidth) {
    width = std::max(0, width);
    const int countLeft = std::max(0, width - countWidth);
    const int hiddenLeft = std::max(0, countLeft - hiddenWidth);
    return {hiddenLeft, countLeft};
}

}  // namespace viewer
