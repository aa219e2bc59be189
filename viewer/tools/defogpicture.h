#pragma once
// The defog filter on the window's bitmaps. The source's pixels are read in place when it is a DIB
// section (the pictures the view hands over are), and the filter's result is written by one
// saturating conversion straight into the new DIB section's pixels.

#include "platform/ui/gdidefs.h"

#include <opencv2/core.hpp>

namespace DefogPicture {

// A captured picture (B, G, R, X, rows of width * 4 bytes) as a new 32-bit top-down DIB section,
// so that the filter reads its pixels in place; null for a size of 0 or too few pixels.
HBITMAP SourceOfCapture(int width, int height, const BYTE* pixels, size_t size);
// The 8-bit picture the filter reads: a header over a 32-bit DIB section's pixels (B, G, R, X), a
// copy for any other bitmap; empty when the handle names no bitmap.
cv::Mat SourcePixels(HBITMAP source);
// The filter's CV_32FC3 result as a new 24-bit top-down DIB section: each value times 255,
// rounded and saturated to 0..255. Null for an empty result.
HBITMAP DibOfResult(const cv::Mat& result);
// The source filtered at that strength (1 to 15), as a new DIB section; null when it cannot be.
HBITMAP Filter(HBITMAP source, int strength);

} // namespace DefogPicture
