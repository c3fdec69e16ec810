#pragma once

// Drawing an enhanced metafile onto any canvas, as a stretch-draw of the picture does on the
// platform the forms were designed on.

#include "platform/Canvas.h"
#include "storage/Bytes.h"

namespace kovet {

// Plays the records of `emf` onto `canvas` so that the picture's frame (the header's
// rclFrame, converted to pixels of the reference device it names) covers `dest`. Records the
// player does not draw (palettes, comments, EMF+ data, ...) are skipped; a record whose size
// does not fit the bytes ends the picture. The canvas's pen, brush, font and clip are as
// before when it returns.
//
// Returns false, having drawn nothing, when the bytes do not begin with an enhanced-metafile
// header or the frame is empty, so that the caller can draw a stand-in.
bool PlayEnhMetafile(Canvas& canvas, ConstBytes emf, const TRect& dest);

} // namespace kovet
