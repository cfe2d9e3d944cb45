// JPEG, PNG, GIF and TIFF pictures of the media folder, decoded through the platform's imaging
// component into the same kind of texture a BMP file makes. Decoding runs on a thread of its
// own, so that a large photo never holds up a frame; the texture is made on the thread that
// owns the rendering context.
#pragma once
#include <cstdint>
#include "textures/texture_loader.h"

// Checks the file's header (a bounded read of the file) and hands the file to the decoding
// thread; false, with nothing started, when the file cannot be read, is not a picture of these
// kinds or is too large. A decode still pending is forgotten.
bool StartWicPicture(const char* path);
// Pending until the decoding thread has finished; then, once, Loaded with a new texture of
// FILE_TEXTURE_SIDE square in `name` (the picture scaled and turned upright by its orientation
// tag) and the upright picture's own size in `size`, or Failed with no texture made.
PictureDecode FinishWicPicture(uint32_t* name, PictureSize* size);
// Ends the decoding thread (after the decode under way), which lets go of the imaging component
// and of COM there; the next picture starts it again.
void ReleaseWicPictures();
