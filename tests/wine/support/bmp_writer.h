// Writes pictures as 24-bit BMP files, the form KR2DCreateBuffer loads.
#ifndef KR_WINE_SUPPORT_BMP_WRITER_H
#define KR_WINE_SUPPORT_BMP_WRITER_H

#include "support/rgb_image.h"

namespace winsupport {

// False when the image is not whole or the file cannot be written.
bool WriteBmp(const char* path, const RgbImage& image);

}  // namespace winsupport

#endif
