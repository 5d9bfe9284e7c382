#include "app/core/Artwork.h"

#include "app/core/MainChart.h"
#include "framework/Dpi.h"

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

TEST(Artwork, MainIconHasATransparentCornerAndAnOpaqueCyanLensAtEverySize) {
    for (const int size : {32, 48}) {
        const Image icon = MainIcon(size);
        ASSERT_EQ(icon.width, size);
        EXPECT_EQ(icon.At(0, 0) >> 24, 0u);
        const std::uint32_t lens = icon.At(22 * size / 32, 14 * size / 32);
        EXPECT_EQ(lens >> 24, 0xFFu);
        EXPECT_LT((lens >> 16) & 0xFF, 0x80u) << "cyan: little red, at " << size;
        EXPECT_GT(lens & 0xFF, 0xC0u) << "cyan: much blue, at " << size;
    }
}

TEST(Artwork, BackgroundBandIsPinStripedOutsideTheArrowBoxAtEveryDensity) {
    const std::uint32_t stripes[4] = {0xFFEFEFEF, 0xFFFFFFFF, 0xFFEFEFEF, 0xFFE7E7E7};
    for (const int dpi : {96, 120, 144, 192}) {
        const Image band = BackgroundBand(dpi);
        ASSERT_EQ(band.width, ScaleToDpi(kChartWidth, dpi));
        ASSERT_EQ(band.height, ScaleToDpi(kChartHeight, dpi));
        // Drawn at its size: stripes of whole rows (two each at 192 dpi), the arrow within its scaled box.
        const int rows = dpi / 96;
        for (int y = 0; y < band.height; ++y)
            for (int x = 0; x < band.width; ++x) {
                const bool inBox = x >= ScaleToDpi(ArrowLeft, dpi) && x < ScaleToDpi(ArrowRight + 1, dpi) &&
                                   y >= ScaleToDpi(ArrowTop, dpi) && y < ScaleToDpi(ArrowBottom + 1, dpi);
                if (!inBox) { ASSERT_EQ(band.At(x, y), stripes[y / rows % 4]) << x << ", " << y << " at " << dpi; }
                ASSERT_EQ(band.At(x, y) >> 24, 0xFFu) << "opaque everywhere";
            }
    }
}

TEST(Artwork, BackgroundArrowPointsUpAboveAndDownBelowWithAShadowToTheLowerRight) {
    const Image band = BackgroundBand();
    const auto cyan = [](std::uint32_t p) {
        const auto r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r < 0x60 && g > 0xB0 && b > 0xB0;
    };
    const auto cyanInRow = [&](int y) {
        int count = 0;
        for (int x = ArrowLeft; x <= ArrowRight; ++x) count += cyan(band.At(x, y));
        return count;
    };
    EXPECT_GT(cyanInRow(ArrowTop + 5), cyanInRow(ArrowTop + 1) + 2) << "the upper triangle widens downwards";
    EXPECT_GT(cyanInRow(ArrowBottom - 6), cyanInRow(ArrowBottom - 2) + 2) << "the lower triangle narrows downwards";
    EXPECT_GT(cyanInRow(ArrowTop + 1), 0);
    EXPECT_GT(cyanInRow(ArrowBottom - 2), 0);

    // The shadow's grey lies to the lower right of the arrow's cyan.
    double cyanX = 0, cyanY = 0, greyX = 0, greyY = 0;
    int cyans = 0, greys = 0;
    for (int y = ArrowTop; y <= ArrowBottom; ++y)
        for (int x = ArrowLeft; x <= ArrowRight; ++x) {
            const std::uint32_t p = band.At(x, y);
            if (cyan(p)) {
                cyanX += x, cyanY += y, ++cyans;
            } else if (((p >> 16) & 0xFF) == (p & 0xFF) && (p & 0xFF) < 0xD8) {
                greyX += x, greyY += y, ++greys;
            }
        }
    ASSERT_GT(cyans, 40);
    ASSERT_GT(greys, 5);
    EXPECT_GT(greyX / greys, cyanX / cyans + 1);
    EXPECT_GT(greyY / greys, cyanY / cyans);
}

}  // namespace
}  // namespace vantor::art
