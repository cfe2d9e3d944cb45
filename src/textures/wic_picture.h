// JPEG, PNG, GIF and TIFF pictures of the media folder, decoded through the platform's imaging
// component into the same kind of texture a BMP file makes.
#pragma once
#include <cstdint>
#include "textures/texture_loader.h"

// Loads the first picture of the file (named relative to the current directory), scaled to a
// FILE_TEXTURE_SIDE square and turned upright by its orientation tag, into a new texture whose
// name goes to `name`; `size` gets the upright picture's own width and height. False, with no
// texture made, when the file cannot be read, is too large or cannot be decoded.
bool LoadWicPictureTexture(uint32_t* name, const char* fileName, PictureSize* size);
// Lets go of the imaging component and of COM on this thread; the next load starts them again.
void ReleaseWicPictures();
