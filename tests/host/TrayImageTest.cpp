// The tray picture: which image the two percentages pick, and that the images show what they are
// picked for.

#include "app/core/TrayImage.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/core/Artwork.h"

namespace vantor {
namespace {

TEST(TrayImage, IndexByReceiveAndSendPercentages) {
    struct Case {
        int receive, send, image;
    } cases[] = {
        {0, 0, 0},    {49, 0, 4},  {50, 0, 5},   {80, 0, 6},   {0, 1, 7},    {0, 79, 8},  {0, 100, 9},
        {1, 1, 1},    {79, 50, 2}, {100, 80, 3}, {60, 10, 10}, {90, 10, 11}, {10, 60, 12}, {90, 60, 13},
        {10, 90, 14}, {60, 90, 15}, {250, 0, 6}, {0, 250, 9},  {250, 250, 3},
    };
    for (const Case& c : cases) EXPECT_EQ(TrayImageIndex(c.receive, c.send), c.image) << c.receive << ", " << c.send;
}

constexpr std::uint32_t kBlack = 0xFF000000, kCyan = 0xFF00FFFF, kYellow = 0xFFFFFF00, kRed = 0xFFFF0000;

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOfColour(const art::Image& image, std::uint32_t colour) {
    PixelSet pixels;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) == colour) pixels.insert({x, y});
    return pixels;
}

TEST(TrayImage, ScreensTakeTheLevelColoursAndNothingElseDiffers) {
    // Front (send) and back (receive) screen colour of each image.
    const std::pair<std::uint32_t, std::uint32_t> screens[16] = {
        {kBlack, kBlack}, {kCyan, kCyan},   {kYellow, kYellow}, {kRed, kRed},     {kBlack, kCyan},   {kBlack, kYellow},
        {kBlack, kRed},   {kCyan, kBlack},  {kYellow, kBlack},  {kRed, kBlack},   {kCyan, kYellow},  {kCyan, kRed},
        {kYellow, kCyan}, {kYellow, kRed},  {kRed, kCyan},      {kRed, kYellow},
    };
    const PixelSet front = PixelsOfColour(art::TrayImage(7), kCyan), back = PixelsOfColour(art::TrayImage(4), kCyan);
    ASSERT_GE(front.size(), 12u);
    ASSERT_GE(back.size(), 12u);
    for (const auto& [x, y] : front) {
        EXPECT_LT(x, 8) << "the front screen is at the lower left";
        EXPECT_GE(y, 6);
        EXPECT_FALSE(back.count({x, y}));
    }
    for (const auto& [x, y] : back) {
        EXPECT_GE(x, 6) << "the back screen is at the upper right";
        EXPECT_LT(y, 8);
    }

    const art::Image base = art::TrayImage(0);
    for (int index = 0; index < art::TrayImageCount; ++index) {
        const art::Image image = art::TrayImage(index);
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const std::uint32_t expected = front.count({x, y})  ? screens[index].first
                                               : back.count({x, y}) ? screens[index].second
                                                                    : base.At(x, y);
                ASSERT_EQ(image.At(x, y), expected) << "image " << index << " at " << x << ", " << y;
            }
    }
}

TEST(TrayImage, PictureUsesItsPaletteAndIsTransparentAround) {
    const art::Image image = art::TrayImage(0);
    const std::set<std::uint32_t> palette = {0xFF000000, 0xFF848484, 0xFFC6C6C6, 0xFFFFFFFF, 0x00000000};
    std::set<std::uint32_t> used(image.pixels.begin(), image.pixels.end());
    for (const std::uint32_t colour : used) EXPECT_TRUE(palette.count(colour)) << std::hex << colour;
    EXPECT_EQ(used, palette) << "black, both greys, white highlights and transparency all appear";
    EXPECT_EQ(image.At(0, 0) >> 24, 0u);
    EXPECT_EQ(image.At(15, 15) >> 24, 0u);
}

TEST(TrayImage, SixteenPixelsIsTheClassicPictureAndLargerSizesAreDrawnNotStretched) {
    // K outline, D shade, L light, W highlight, B/F the back and front screens, . transparent.
    const char* classic[16] = {
        ".....KKKKKKKKKKK", ".....KWWWWWWWWLK", ".....KWBBBBBBBDK", ".....KWBBBBBBBDK",
        ".....KWBBBBBBBDK", ".....KWBBBBBBBDK", "KKKKKKKKKKDDDDDK", "KWWWWWWWLKKKKKKK",
        "KWFFFFFFDKWLLLDK", "KWFFFFFFDKKKKKKK", "KWFFFFFFDK......", "KWFFFFFFDK......",
        "KLDDDDDDDK......", "KKKKKKKKKK......", "KWLLLLLLDK......", "KKKKKKKKKK......",
    };
    const std::map<char, std::uint32_t> colours = {{'K', kBlack},      {'D', 0xFF848484}, {'L', 0xFFC6C6C6},
                                                   {'W', 0xFFFFFFFF},  {'B', kCyan},      {'F', kYellow},
                                                   {'.', 0x00000000}};
    const art::Image small = art::TrayImage(12);  // yellow front, cyan back
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(small.At(x, y), colours.at(classic[y][x])) << x << ", " << y;

    const auto coloursOf = [](const art::Image& image) { return std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()); };
    for (int size : {20, 24, 32}) {
        const art::Image large = art::TrayImage(12, size);
        ASSERT_EQ(large.width, size);
        ASSERT_EQ(large.height, size);
        EXPECT_EQ(coloursOf(large), coloursOf(small)) << "no colour blended from two at " << size;
        // With strokes of whole pixels the screens take at least their share of the larger picture.
        const double area = size * size / 256.0;
        EXPECT_GE(PixelsOfColour(large, kYellow).size(), 24 * area) << "the front screen at " << size;
        EXPECT_GE(PixelsOfColour(large, kCyan).size(), 28 * area) << "the back screen at " << size;
    }
    // Strokes take whole pixels: one at 24 (the front monitor's top edge, then its highlight), two at 32.
    const art::Image at24 = art::TrayImage(12, 24), at32 = art::TrayImage(12, 32);
    EXPECT_EQ(at24.At(5, 9), kBlack);
    EXPECT_EQ(at24.At(5, 10), 0xFFFFFFFFu);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(at32.At(x, y), small.At(x / 2, y / 2)) << x << ", " << y;
}

TEST(TrayImage, EveryLevelPairShowsItsLevelsOnTheScreens) {
    const int percentOfLevel[4] = {0, 25, 60, 90};
    const PixelSet front = PixelsOfColour(art::TrayImage(7), kCyan), back = PixelsOfColour(art::TrayImage(4), kCyan);
    for (int receive = 0; receive < 4; ++receive)
        for (int send = 0; send < 4; ++send) {
            const art::Image image = art::TrayImage(TrayImageIndex(percentOfLevel[receive], percentOfLevel[send]));
            const auto [fx, fy] = *front.begin();
            const auto [bx, by] = *back.begin();
            EXPECT_EQ(image.At(fx, fy), art::TrayScreenColour(send)) << "receive " << receive << ", send " << send;
            EXPECT_EQ(image.At(bx, by), art::TrayScreenColour(receive)) << "receive " << receive << ", send " << send;
        }
}

}  // namespace
}  // namespace vantor
