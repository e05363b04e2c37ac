#include "assets/assets.h"

#define ZANVO_DECLARE_ASSET(sym) \
  extern "C" const char sym##_begin[]; \
  extern "C" const char sym##_end[];

#ifdef HAVE_zanvo_image_leftbg_gif
ZANVO_DECLARE_ASSET(zanvo_image_leftbg_gif)
#endif
#ifdef HAVE_zanvo_image_N02_GIF
ZANVO_DECLARE_ASSET(zanvo_image_N02_GIF)
#endif
#ifdef HAVE_zanvo_image_PAPER10_JPG
ZANVO_DECLARE_ASSET(zanvo_image_PAPER10_JPG)
#endif
#ifdef HAVE_zanvo_image_icon_gif
ZANVO_DECLARE_ASSET(zanvo_image_icon_gif)
#endif

namespace zanvo {

std::string_view imageAsset(std::string_view fileName) {
#define ZANVO_ASSET_CASE(name, sym)                                   \
  if (fileName == name)                                              \
    return std::string_view(sym##_begin,                             \
                            static_cast<size_t>(sym##_end - sym##_begin));
#ifdef HAVE_zanvo_image_leftbg_gif
  ZANVO_ASSET_CASE("leftbg.gif", zanvo_image_leftbg_gif)
#endif
#ifdef HAVE_zanvo_image_N02_GIF
  ZANVO_ASSET_CASE("N02.GIF", zanvo_image_N02_GIF)
#endif
#ifdef HAVE_zanvo_image_PAPER10_JPG
  ZANVO_ASSET_CASE("PAPER10.JPG", zanvo_image_PAPER10_JPG)
#endif
#ifdef HAVE_zanvo_image_icon_gif
  ZANVO_ASSET_CASE("icon.gif", zanvo_image_icon_gif)
#endif
#undef ZANVO_ASSET_CASE
  return {};
}

}  // namespace zanvo
