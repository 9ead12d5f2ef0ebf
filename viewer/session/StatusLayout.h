// How the status bar shares its width, for both fronts: the message of the last command on the
// left, then the note of what the options hide, then the count of differences ("相違 3 箇所
// (2 番目)") at the right. The count and the note keep their whole width and the message takes
// what is left, cut first; in a window too narrow for even those two, the note is cut before the
// count.
#pragma once

namespace viewer {

struct StatusLayout {
    int messageRight = 0;  // where the message's part ends
    int hiddenRight = 0;   // and the note's; the count's runs from there to `width`
};

// `width`: the bar's, less the size grip; the others: each text's width with its padding.
StatusLayout LayOutStatus(int width, int hiddenWidth, int countWidth);

}  // namespace viewer
