'use strict';
// Writer for uncompressed 8-bit indexed Windows bitmaps.
//
// Layout: a 14-byte file header, a 40-byte BITMAPINFOHEADER, a palette of
// 256 four-byte entries (blue, green, red, 0) and the pixel rows from the
// bottom row up, each padded to a multiple of four bytes.

const kFileHeaderSize = 14;
const kInfoHeaderSize = 40;
const kPaletteEntries = 256;
// 72 dots per inch, the customary resolution of screen pictures.
const kPixelsPerMetre = 2835;

// `palette` is 256 [r, g, b] triples; `pixels` holds width * height palette
// indices, top row first.
function encodeBmp8(width, height, palette, pixels) {
  if (palette.length !== kPaletteEntries) throw new Error('the palette needs 256 entries');
  if (pixels.length !== width * height) throw new Error('pixel count does not match the size');
  const rowSize = Math.ceil(width / 4) * 4;
  const pixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntries * 4;
  const imageSize = rowSize * height;
  const buffer = Buffer.alloc(pixelOffset + imageSize);

  buffer.write('BM', 0, 'latin1');
  buffer.writeUInt32LE(buffer.length, 2);
  buffer.writeUInt32LE(0, 6); // two reserved words
  buffer.writeUInt32LE(pixelOffset, 10);

  let at = kFileHeaderSize;
  buffer.writeUInt32LE(kInfoHeaderSize, at);
  buffer.writeInt32LE(width, at + 4);
  buffer.writeInt32LE(height, at + 8); // positive: rows stored bottom-up
  buffer.writeUInt16LE(1, at + 12); // planes
  buffer.writeUInt16LE(8, at + 14); // bits per pixel
  buffer.writeUInt32LE(0, at + 16); // no compression
  buffer.writeUInt32LE(imageSize, at + 20);
  buffer.writeInt32LE(kPixelsPerMetre, at + 24);
  buffer.writeInt32LE(kPixelsPerMetre, at + 28);
  buffer.writeUInt32LE(kPaletteEntries, at + 32); // colours used
  buffer.writeUInt32LE(0, at + 36); // all colours important

  at = kFileHeaderSize + kInfoHeaderSize;
  for (const [red, green, blue] of palette) {
    buffer[at++] = blue;
    buffer[at++] = green;
    buffer[at++] = red;
    buffer[at++] = 0;
  }

  for (let row = 0; row < height; row++) {
    const source = (height - 1 - row) * width;
    const target = pixelOffset + row * rowSize;
    for (let column = 0; column < width; column++) buffer[target + column] = pixels[source + column];
  }
  return buffer;
}

module.exports = { encodeBmp8 };
