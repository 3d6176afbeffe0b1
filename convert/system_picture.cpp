#include "convert/system_picture.h"

#include <wincodec.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "TOOLS/scoped.h"
#include "convert/pixel_compositing.h"

namespace {

// A band of decoded rows stays small (at most 64 rows, about 1 MiB) whatever
// the picture's size: the rows go straight into the picture, never through a
// second full-size copy.
const uint32_t BAND_ROWS = 64;
const uint64_t BAND_BYTES = 1024 * 1024;

HRESULT CreateSystemImagingFactory(IWICImagingFactory** factory) {
  return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                          IID_IWICImagingFactory, reinterpret_cast<void**>(factory));
}

ImagingFactoryCreator imagingFactoryCreator = CreateSystemImagingFactory;

bool WidenPath(const char* source, std::vector<wchar_t>* wide) {
  int length = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
  if (length <= 0) return false;
  wide->resize(static_cast<size_t>(length));
  return MultiByteToWideChar(CP_ACP, 0, source, -1, wide->data(), length) == length;
}

OpaqueColor DesktopBackgroundColor() {
  COLORREF color = GetSysColor(COLOR_BACKGROUND);
  return OpaqueColor{GetBValue(color), GetGValue(color), GetRValue(color)};
}

// How the rows of one kind of source pixels reach the picture.
struct BandLayout {
  const GUID* format;
  uint32_t bytesPerPixel;
  void (*putRow)(const uint8_t* source, size_t width, OpaqueColor background, uint8_t* bgr);
};

void CopyBgrRow(const uint8_t* bgr, size_t width, OpaqueColor, uint8_t* row) {
  std::memcpy(row, bgr, 3 * width);
}

// Rows already in the picture's own format (most JPEG and PNG photographs)
// are copied as they are; every other format goes through 32-bit BGRA, since
// some converters (16-bit PNG under Wine) cannot go straight to 24 bits and
// the alpha is needed for the compositing.
const BandLayout COPIED_ROWS = {&GUID_WICPixelFormat24bppBGR, 3, CopyBgrRow};
const BandLayout COMPOSITED_ROWS = {&GUID_WICPixelFormat32bppBGRA, 4, CompositeBgraRow};

// The decoder stays alive as long as its frame is read.
struct FrameReader {
  ScopedComObject<IWICBitmapDecoder> decoder;
  ScopedComObject<IWICBitmapFrameDecode> frame;
  ScopedComObject<IWICFormatConverter> converter;
  const BandLayout* layout = nullptr;

  IWICBitmapSource* source() const {
    return converter ? static_cast<IWICBitmapSource*>(converter.get()) : frame.get();
  }
};

bool FrameHasPictureFormat(IWICBitmapFrameDecode* frame) {
  WICPixelFormatGUID format;
  return SUCCEEDED(frame->GetPixelFormat(&format)) && IsEqualGUID(format, *COPIED_ROWS.format);
}

bool ConvertFrame(IWICImagingFactory* factory, FrameReader* reader) {
  return SUCCEEDED(factory->CreateFormatConverter(reader->converter.receive())) &&
         SUCCEEDED(reader->converter.get()->Initialize(
             reader->frame.get(), *COMPOSITED_ROWS.format, WICBitmapDitherTypeNone, nullptr, 0.0,
             WICBitmapPaletteTypeCustom));
}

bool OpenFirstFrame(IWICImagingFactory* factory, const wchar_t* path, FrameReader* reader) {
  if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand,
                                                reader->decoder.receive())) ||
      FAILED(reader->decoder.get()->GetFrame(0, reader->frame.receive())))
    return false;
  if (FrameHasPictureFormat(reader->frame.get())) {
    reader->layout = &COPIED_ROWS;
    return true;
  }
  reader->layout = &COMPOSITED_ROWS;
  return ConvertFrame(factory, reader);
}

// False for an empty picture or one whose size would not fit the header or
// the picture's 32-bit sizes.
bool MakeSystemPictureHeader(IWICBitmapSource* source, BITMAPINFOHEADER* header) {
  UINT width = 0, height = 0;
  if (FAILED(source->GetSize(&width, &height))) return false;
  if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return false;
  *header = MakeDibHeader(static_cast<int32_t>(width), static_cast<int32_t>(height), 24);
  return GetDibImageSize(*header) > 0;
}

uint32_t RowsPerBand(uint64_t bandStride) {
  uint64_t rows = BAND_BYTES / bandStride;
  if (rows < 1) return 1;
  return rows < BAND_ROWS ? static_cast<uint32_t>(rows) : BAND_ROWS;
}

// Decodes a band of rows at a time and lays each row into its place from
// the bottom.
bool CopyRowsIntoPicture(IWICBitmapSource* source, const BandLayout& layout,
                         const BITMAPINFOHEADER& header, unsigned char* bits) {
  uint32_t width = static_cast<uint32_t>(header.biWidth);
  uint32_t height = static_cast<uint32_t>(header.biHeight);
  uint64_t bandStride = uint64_t{width} * layout.bytesPerPixel;
  uint32_t bandRows = RowsPerBand(bandStride);
  uint64_t bandSize = bandStride * bandRows;
  if (bandSize > UINT_MAX) return false;
  ScopedMalloc band(std::malloc(static_cast<size_t>(bandSize)));
  if (!band) return false;
  unsigned char* bandBits = static_cast<unsigned char*>(band.get());
  size_t dibStride = static_cast<size_t>(GetDibRowStride(header));
  OpaqueColor background = DesktopBackgroundColor();
  for (uint32_t top = 0; top < height; top += bandRows) {
    uint32_t rows = height - top < bandRows ? height - top : bandRows;
    WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
    if (FAILED(source->CopyPixels(&rect, static_cast<UINT>(bandStride),
                                  static_cast<UINT>(bandStride * rows), bandBits)))
      return false;
    for (uint32_t row = 0; row < rows; ++row) {
      unsigned char* dibRow = bits + (height - 1 - top - row) * dibStride;
      layout.putRow(bandBits + row * bandStride, width, background, dibRow);
    }
  }
  return true;
}

}  // namespace

unsigned char* LoadSystemPicture(const char* source, BITMAPINFOHEADER* header) {
  std::vector<wchar_t> path;
  if (!WidenPath(source, &path)) return nullptr;
  ScopedComObject<IWICImagingFactory> factory;
  if (FAILED(imagingFactoryCreator(factory.receive())) || !factory) return nullptr;
  FrameReader reader;
  if (!OpenFirstFrame(factory.get(), path.data(), &reader)) return nullptr;
  BITMAPINFOHEADER picture;
  if (!MakeSystemPictureHeader(reader.source(), &picture)) return nullptr;
  // The padding at the end of each row is written as zeros.
  ScopedMalloc bits(std::calloc(static_cast<size_t>(GetDibImageSize(picture)), 1));
  if (!bits) return nullptr;
  if (!CopyRowsIntoPicture(reader.source(), *reader.layout, picture,
                           static_cast<unsigned char*>(bits.get())))
    return nullptr;
  *header = picture;
  return static_cast<unsigned char*>(bits.release());
}

ImagingFactoryCreator ReplaceImagingFactoryCreator(ImagingFactoryCreator creator) {
  ImagingFactoryCreator previous = imagingFactoryCreator;
  imagingFactoryCreator = creator ? creator : CreateSystemImagingFactory;
  return previous;
}
