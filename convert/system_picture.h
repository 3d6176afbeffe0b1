// The last loader: pictures the system's imaging component decodes (PNG,
// JPEG, GIF, TIFF and whatever codecs the system has installed), asked only
// when neither the packed reader nor any plug-in read the file. COM must be
// initialised on the calling thread; the loader leaves it so.
#pragma once
#include <windows.h>

#include "convert/dib_picture.h"

struct IWICImagingFactory;

// Makes the imaging factory; a failure means the component is missing (as
// on a plain Windows XP).
using ImagingFactoryCreator = HRESULT (*)(IWICImagingFactory** factory);

// The first frame of source (a path in the ANSI code page) as a bottom-up
// 24-bit picture: malloc'ed rows of GetDibImageSize(*header) bytes, or null
// when the component cannot read it or the picture would be too big.
// Transparent pixels are laid over the desktop's background colour.
unsigned char* LoadSystemPicture(const char* source, BITMAPINFOHEADER* header);

// Tests only: replaces the factory's creation; returns the previous creator;
// null puts the real one back.
ImagingFactoryCreator ReplaceImagingFactoryCreator(ImagingFactoryCreator creator);
