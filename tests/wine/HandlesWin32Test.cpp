// The handle owners against real GDI objects.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/win32/Handles.h"

namespace vantor::win32 {
namespace {

TEST(Handles, GdiObjectDeletesItsHandleAndKeepsTheCount) {
    const long before = HandleCounts::gdi;
    HGDIOBJ raw = nullptr;
    {
        GdiObject brush(::CreateSolidBrush(RGB(1, 2, 3)));
        raw = brush.Get();
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(HandleCounts::gdi, before + 1);
        GdiObject moved = std::move(brush);
        EXPECT_FALSE(brush.Valid());
        EXPECT_EQ(HandleCounts::gdi, before + 1) << "a move hands over, it does not copy";
        EXPECT_EQ(::GetObjectType(moved.Get()), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(HandleCounts::gdi, before);
    EXPECT_EQ(::GetObjectType(raw), 0u) << "the brush was deleted";
}

TEST(Handles, SelectGuardRestoresIntoTheDcItSelectedInto) {
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    GdiObject pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    const HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        SelectGuard selected(dc.Get(), pen.Get());
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), original);
}

TEST(Handles, ReleaseHandsOwnershipToTheCaller) {
    const long before = HandleCounts::icons;
    IconHandle icon(::CreateIcon(nullptr, 16, 16, 1, 1, std::vector<BYTE>(32, 0xFF).data(),
                                 std::vector<BYTE>(32, 0).data()));
    ASSERT_TRUE(icon.Valid());
    const HICON raw = icon.Release();
    EXPECT_EQ(HandleCounts::icons, before);
    EXPECT_TRUE(::DestroyIcon(raw));
}

}  // namespace
}  // namespace vantor::win32
