#include "assets/assets.h"

#include <gtest/gtest.h>

#include <string>

namespace zanvo {
namespace {

// Reads width and height from the image's own header.
std::pair<int, int> gifSize(std::string_view b) {
  auto u16 = [&](size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
  };
  return {u16(6), u16(8)};
}

std::pair<int, int> jpegSize(std::string_view b) {
  // Walk the segments to the first start-of-frame marker.
  size_t at = 2;
  while (at + 9 < b.size() && static_cast<unsigned char>(b[at]) == 0xFF) {
    const unsigned char marker = b[at + 1];
    const size_t len = static_cast<unsigned char>(b[at + 2]) << 8 | static_cast<unsigned char>(b[at + 3]);
    if (marker >= 0xC0 && marker <= 0xC2) {
      const int h = static_cast<unsigned char>(b[at + 5]) << 8 | static_cast<unsigned char>(b[at + 6]);
      const int w = static_cast<unsigned char>(b[at + 7]) << 8 | static_cast<unsigned char>(b[at + 8]);
      return {w, h};
    }
    at += 2 + len;
  }
  return {0, 0};
}

TEST(ImageAssets, AreBuiltInWithTheirFormatAndSize) {
  struct Case {
    const char* name;
    bool gif;
    int width, height;
  };
  const Case cases[] = {
      {"leftbg.gif", true, 45, 45},
      {"N02.GIF", true, 600, 16},
      {"PAPER10.JPG", false, 64, 64},
      {"icon.gif", true, 17, 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string_view b = imageAsset(c.name);
    ASSERT_GT(b.size(), 10u);
    if (c.gif) {
      EXPECT_EQ("GIF89a", b.substr(0, 6));
      EXPECT_EQ(std::make_pair(c.width, c.height), gifSize(b));
    } else {
      EXPECT_EQ("\xFF\xD8", b.substr(0, 2));
      EXPECT_EQ(std::make_pair(c.width, c.height), jpegSize(b));
    }
  }
  EXPECT_TRUE(imageAsset("missing.gif").empty());
}

}  // namespace
}  // namespace zanvo
