// Uncompressed 24-bit BMP pictures, read into an Image (image.h).
//
// Result codes of Image::read_bmp and Image::read_bmp_buffer:
//   0 read;
//   1 file not readable;
//   2 not a picture we read: not 24-bit, compressed, biClrUsed and
//     biClrImportant both set, width <= 0 or height 0, or too large
//     (picture_size.h);
//   3 pixel data offset at or beyond the end, or a row's padding missing;
//   4 file too short for the headers, or ending inside a pixel.
// Rows are stored bottom row first; a negative height means top row first.
// The row padding is (biSizeImage - width * height * 3) / height, or the
// usual 4-byte alignment when biSizeImage is 0 or smaller than the pixels.
// The data is checked against the file size before anything is allocated.
// Image::get_refusal() says why a file was refused.
#pragma once

#include "util/texture/image.h"

namespace bmp {
enum Result : int { Read = 0, Unreadable = 1, Unsupported = 2, DataMissing = 3, TooShort = 4 };
}
