// The small 24 x 24 icons of the folder and reference image pickers, on a transparent
// background with one-pixel outlines on whole pixels so that they stay crisp:
//   chooseImage   a framed picture (sky, a green hill, a sun): choose a reference image
//   chooseFolder  a yellow folder with its tab: choose an image data folder
#pragma once

#include <QImage>

namespace resourcegen {

class ToolIcon {
public:
    static constexpr int kSize = 24;

    static QImage chooseImage();
    static QImage chooseFolder();
};

}  // namespace resourcegen
