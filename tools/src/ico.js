'use strict';
// Writer for Windows icon files holding 32-bit images with alpha.
//
// Layout: a 6-byte ICONDIR, one 16-byte ICONDIRENTRY per image, then each
// image. An image of 256 pixels is stored as a PNG file (as Windows Vista
// and later read it); a smaller one as a BITMAPINFOHEADER (with twice the
// height, for the colour bitmap and the mask together), the 32-bit BGRA rows
// and the 1-bit AND mask rows, both bottom-up and padded to four bytes. The
// alpha channel makes the corners transparent; the mask says the same for
// readers that ignore alpha.

const { encodePngRgba } = require('./png');

const kPngSize = 256;

function rowBytes(width, bitsPerPixel) {
  return Math.ceil((width * bitsPerPixel) / 32) * 4;
}

// `rgba` holds size * size * 4 bytes, top row first.
function encodeImage({ size, rgba }) {
  if (size >= kPngSize) return encodePngRgba(size, size, rgba);
  const colourRow = rowBytes(size, 32);
  const maskRow = rowBytes(size, 1);
  const header = Buffer.alloc(40);
  header.writeUInt32LE(40, 0);
  header.writeInt32LE(size, 4);
  header.writeInt32LE(size * 2, 8);
  header.writeUInt16LE(1, 12); // planes
  header.writeUInt16LE(32, 14); // bits per pixel
  header.writeUInt32LE(0, 16); // no compression
  header.writeUInt32LE((colourRow + maskRow) * size, 20);

  const colourBits = Buffer.alloc(colourRow * size);
  const maskBits = Buffer.alloc(maskRow * size);
  for (let row = 0; row < size; row++) {
    const stored = size - 1 - row; // bottom-up
    for (let column = 0; column < size; column++) {
      const from = (row * size + column) * 4;
      const to = stored * colourRow + column * 4;
      colourBits[to] = rgba[from + 2];
      colourBits[to + 1] = rgba[from + 1];
      colourBits[to + 2] = rgba[from];
      colourBits[to + 3] = rgba[from + 3];
      if (rgba[from + 3] === 0) maskBits[stored * maskRow + (column >> 3)] |= 0x80 >> (column & 7);
    }
  }
  return Buffer.concat([header, colourBits, maskBits]);
}

// `images` are { size, rgba }.
function encodeIco(images) {
  const directory = Buffer.alloc(6 + 16 * images.length);
  directory.writeUInt16LE(0, 0);
  directory.writeUInt16LE(1, 2); // type: icon
  directory.writeUInt16LE(images.length, 4);
  const bodies = images.map(encodeImage);
  let offset = directory.length;
  images.forEach((image, i) => {
    const entry = 6 + 16 * i;
    directory[entry] = image.size % 256; // 0 means 256
    directory[entry + 1] = image.size % 256;
    directory[entry + 2] = 0; // no palette
    directory[entry + 3] = 0;
    directory.writeUInt16LE(1, entry + 4); // planes
    directory.writeUInt16LE(32, entry + 6); // bits per pixel
    directory.writeUInt32LE(bodies[i].length, entry + 8);
    directory.writeUInt32LE(offset, entry + 12);
    offset += bodies[i].length;
  });
  return Buffer.concat([directory, ...bodies]);
}

module.exports = { encodeIco };
