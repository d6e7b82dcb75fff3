// PNG reading and picture comparison for the browser test: 8-bit RGB or RGBA, non-interlaced,
// every filter type; node's zlib inflates.
import fs from 'node:fs';
import zlib from 'node:zlib';

export function readPng(file) {
  const bytes = fs.readFileSync(file);
  if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error(`${file} is not a PNG file`);
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) {
        throw new Error(`${file}: only 8-bit RGB or RGBA without interlacing is read here`);
      }
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      let value = line[x];
      if (filter === 1) value += a;
      else if (filter === 2) value += b;
      else if (filter === 3) value += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        value += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = value & 0xff;
    }
  }
  return {width, height, channels, pixels};
}

// Root-mean-square difference of the colour channels, 0 (same) to 1.
export function rmse(first, second) {
  if (first.width !== second.width || first.height !== second.height) {
    throw new Error(`sizes differ: ${first.width}x${first.height} and ${second.width}x${second.height}`);
  }
  let sum = 0;
  const count = first.width * first.height;
  for (let i = 0; i < count; ++i) {
    for (let k = 0; k < 3; ++k) {
      const d = first.pixels[i * first.channels + k] - second.pixels[i * second.channels + k];
      sum += d * d;
    }
  }
  return Math.sqrt(sum / (count * 3)) / 255;
}

// The mean brightness, 0 to 1: a black picture says nothing was drawn.
export function meanLevel(picture) {
  let sum = 0;
  const count = picture.width * picture.height;
  for (let i = 0; i < count; ++i) {
    sum += picture.pixels[i * picture.channels] + picture.pixels[i * picture.channels + 1] + picture.pixels[i * picture.channels + 2];
  }
  return sum / (count * 3 * 255);
}
