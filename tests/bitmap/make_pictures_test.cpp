// The picture program: two bright 256 x 256 24-bit pictures that the game's loader accepts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "bitmap.h"
#include "bitmap_files.h"
#include "temp_folder.h"

namespace {

#ifdef _WIN32
// cmd.exe takes double quotes, and strips the outermost pair of a line that holds several.
std::string Quoted(const std::string& word) {
  return "\"" + word + "\"";
}
int RunMakePictures(const std::string& arguments) {
  const std::string command = Quoted(VELMORAK_MAKE_PICTURES) + arguments + " 2>NUL";
  return std::system(Quoted(command).c_str());
}
#else
std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}
int RunMakePictures(const std::string& arguments) {
  const std::string command = std::string(VELMORAK_MAKE_PICTURES) + arguments + " 2>/dev/null";
  return std::system(command.c_str());
}
#endif

TEST(MakePictures, WritesTwoBrightSquarePicturesTheLoaderReads) {
  ScratchFolder folder("velmorak-bitmap");
  ASSERT_EQ(RunMakePictures(" " + Quoted(folder.path())), 0);
  for (const char* name : {"sky.bmp", "background.bmp"}) {
    SCOPED_TRACE(name);
    BitmapInfo* info = nullptr;
    BitmapSizes sizes{};
    unsigned char* pixels = LoadBitmapFileSized(folder.Path(name).c_str(), &info, &sizes);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(info->biWidth, 256);
    EXPECT_EQ(info->biHeight, 256);
    EXPECT_EQ(info->biBitCount, 24);
    EXPECT_EQ(info->biCompression, 0u);
    EXPECT_EQ(sizes.infoSize, 40u);
    ASSERT_EQ(sizes.pixelSize, 256u * 256u * 3u);
    // The frame multiplies every texel by a tint that darkens it, so the pictures start bright;
    // and a picture, not a flat fill.
    double sum = 0;
    std::set<unsigned char> levels;
    for (uint32_t i = 0; i < sizes.pixelSize; ++i) {
      sum += pixels[i];
      levels.insert(pixels[i]);
    }
    EXPECT_GT(sum / sizes.pixelSize, 110.0);
    EXPECT_GT(levels.size(), 64u);
    ReleaseBitmapInfo(info);
    ReleaseBitmapPixels(pixels);
  }
}

TEST(MakePictures, FailsWithoutAWritableFolder) {
  EXPECT_NE(RunMakePictures(""), 0);
  ScratchFolder folder("velmorak-bitmap");
  EXPECT_NE(RunMakePictures(" " + Quoted(folder.Path("missing"))), 0);
}

}  // namespace
