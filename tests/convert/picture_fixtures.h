// Pictures, headers and streams made by code for the conversion tests.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "convert/dib_picture.h"

using Bytes = std::vector<unsigned char>;

enum PixelKind { PIXELS_FLAT, PIXELS_GRADIENT, PIXELS_NOISE, PIXELS_PHOTO };
// size bytes of pixel rows of the named kind; a fixed seed makes them the
// same on every run.
Bytes MakePixels(PixelKind kind, size_t size, int width = 64);

// What the reader can carry: the last size mod 3 bytes decode as zero.
Bytes ExpectedAfterDecoding(Bytes pixels);

// A stream holding bytes, positioned at its start; the test closes it.
FILE* OpenStreamWith(const Bytes& bytes);
// Everything written to a stream, read back from its start.
Bytes ReadStreamBack(FILE* stream);

Bytes BytesOf(const std::string& text);
Bytes ReadFileBytesOf(const std::string& path);
void WriteBytesTo(const std::string& path, const Bytes& bytes);
Bytes HeaderBytes(const BITMAPINFOHEADER& header);
