#include "app/core/Artwork.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace vantor::art {
namespace {

TEST(Artwork, ShippedIconIsTheOneTheCodeDraws) {
    std::ifstream file(VANTOR_SOURCE_DIR "/app/win32/res/vantor.ico", std::ios::binary);
    ASSERT_TRUE(file) << "app/win32/res/vantor.ico is missing; run make_icons";
    const std::vector<std::uint8_t> shipped((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(shipped, EncodeIco(MainIcon())) << "the icon drawing changed: regenerate the file with make_icons";
}

TEST(Artwork, IcoHeaderDescribesOneThirtyTwoBitImageWithItsMask) {
    const auto ico = EncodeIco(MainIcon());
    ASSERT_EQ(ico.size(), 6u + 16u + 40u + 32u * 32u * 4u + 4u * 32u);
    EXPECT_EQ(ico[2], 1);   // type: icon
    EXPECT_EQ(ico[4], 1);   // one image
    EXPECT_EQ(ico[6], 32);  // width
    EXPECT_EQ(ico[12], 32);  // bits per pixel
    EXPECT_EQ(ico[22 + 8], 64) << "the DIB height counts the colour and the mask planes";
}

TEST(Artwork, MainIconHasATransparentCornerAndAnOpaqueCyanLens) {
    const Image icon = MainIcon();
    EXPECT_EQ(icon.At(0, 0) >> 24, 0u);
    const std::uint32_t lens = icon.At(22, 14);
    EXPECT_EQ(lens >> 24, 0xFFu);
    EXPECT_LT((lens >> 16) & 0xFF, 0x80u) << "cyan: little red";
    EXPECT_GT(lens & 0xFF, 0xC0u) << "cyan: much blue";
}

}  // namespace
}  // namespace vantor::art
