// Data files built into the program: the images that the text-to-page
// templates write next to the pages they make, and (in the window program)
// the two staged compiler files.
#ifndef ZANVO_ASSETS_ASSETS_H_
#define ZANVO_ASSETS_ASSETS_H_

#include <string_view>

namespace zanvo {

// The bytes of the image with that file name ("leftbg.gif", "N02.GIF",
// "PAPER10.JPG", "icon.gif"), or an empty view for an unknown name.
std::string_view imageAsset(std::string_view fileName);

}  // namespace zanvo

#endif  // ZANVO_ASSETS_ASSETS_H_
