'use strict';
// Writer for Windows icon files holding 4-bit (16-colour) images.
//
// Layout: a 6-byte ICONDIR, one 16-byte ICONDIRENTRY per image, then each
// image as a BITMAPINFOHEADER (with twice the height, for the colour bitmap
// and the mask together), a 16-entry palette, the 4-bit colour rows and the
// 1-bit AND mask rows, both bottom-up and padded to four bytes. A set mask
// bit makes the pixel transparent; the colour underneath is index 0 (black)
// so the screen shows through unchanged.

function rowBytes(width, bitsPerPixel) {
  return Math.ceil((width * bitsPerPixel) / 32) * 4;
}

function encodeImage({ size, palette, indices, opaque }) {
  if (palette.length !== 16) throw new Error('a 4-bit icon needs 16 palette entries');
  const colourRow = rowBytes(size, 4);
  const maskRow = rowBytes(size, 1);
  const header = Buffer.alloc(40);
  header.writeUInt32LE(40, 0);
  header.writeInt32LE(size, 4);
  header.writeInt32LE(size * 2, 8);
  header.writeUInt16LE(1, 12); // planes
  header.writeUInt16LE(4, 14); // bits per pixel
  header.writeUInt32LE(0, 16); // no compression
  header.writeUInt32LE((colourRow + maskRow) * size, 20);
  header.writeUInt32LE(16, 32); // colours used

  const colours = Buffer.alloc(16 * 4);
  palette.forEach(([red, green, blue], i) => {
    colours[i * 4] = blue;
    colours[i * 4 + 1] = green;
    colours[i * 4 + 2] = red;
  });

  const colourBits = Buffer.alloc(colourRow * size);
  const maskBits = Buffer.alloc(maskRow * size);
  for (let row = 0; row < size; row++) {
    const stored = size - 1 - row; // bottom-up
    for (let column = 0; column < size; column++) {
      const at = row * size + column;
      const index = opaque[at] ? indices[at] : 0;
      const byte = stored * colourRow + (column >> 1);
      colourBits[byte] |= column & 1 ? index : index << 4;
      if (!opaque[at]) maskBits[stored * maskRow + (column >> 3)] |= 0x80 >> (column & 7);
    }
  }
  return Buffer.concat([header, colours, colourBits, maskBits]);
}

function encodeIco(images) {
  const directory = Buffer.alloc(6 + 16 * images.length);
  directory.writeUInt16LE(0, 0);
  directory.writeUInt16LE(1, 2); // type: icon
  directory.writeUInt16LE(images.length, 4);
  const bodies = images.map(encodeImage);
  let offset = directory.length;
  images.forEach((image, i) => {
    const entry = 6 + 16 * i;
    directory[entry] = image.size % 256; // 0 would mean 256
    directory[entry + 1] = image.size % 256;
    directory[entry + 2] = 16; // colours
    directory[entry + 3] = 0;
    directory.writeUInt16LE(1, entry + 4); // planes
    directory.writeUInt16LE(4, entry + 6); // bits per pixel
    directory.writeUInt32LE(bodies[i].length, entry + 8);
    directory.writeUInt32LE(offset, entry + 12);
    offset += bodies[i].length;
  });
  return Buffer.concat([directory, ...bodies]);
}

module.exports = { encodeIco };
