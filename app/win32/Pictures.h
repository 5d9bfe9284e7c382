#pragma once
// The program's pictures as GDI objects: bitmaps and icons made from the images its code draws.

#include "app/core/Artwork.h"
#include "app/core/Texts.h"
#include "framework/win32/Handles.h"

namespace vantor {

// A 32-bit top-down DIB section holding the image's pixels. A failure throws, in `language`.
win32::GdiObject BitmapFromImage(const art::Image& image, Language language);

// An icon whose mask shows the image where its pixels are opaque.
win32::IconHandle IconFromImage(const art::Image& image, Language language);

}  // namespace vantor
