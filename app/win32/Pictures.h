#pragma once
// The program's pictures as GDI objects: bitmaps and icons made from the images its code draws.

#include "app/core/Artwork.h"
#include "framework/win32/Handles.h"

namespace vantor {

// A 32-bit top-down DIB section holding the image's pixels.
win32::GdiObject BitmapFromImage(const art::Image& image);

// An icon whose mask shows the image where its pixels are opaque.
win32::IconHandle IconFromImage(const art::Image& image);

}  // namespace vantor
