// Writes pictures as PNG files (stored deflate blocks: no compression library needed).
#ifndef KR_WINE_SUPPORT_PNG_WRITER_H
#define KR_WINE_SUPPORT_PNG_WRITER_H

#include <windows.h>
#include <ddraw.h>

#include "support/rgb_image.h"

namespace winsupport {

// 8-bit RGB; false when the image is not whole or the file cannot be written.
bool WritePng(const char* path, const RgbImage& image);

// The surface as read by ReadSurface; false when it cannot be read or written.
bool WriteSurfacePng(IDirectDrawSurface4* surface, const char* path);

}  // namespace winsupport

#endif
