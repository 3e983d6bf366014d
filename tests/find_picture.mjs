// find_picture.mjs SCREEN.rgb WIDTH PICTURE.rgb SIZE: where a SIZE x SIZE
// picture lies, pixel for pixel, in a screenshot WIDTH pixels wide (both raw
// 8-bit RGB); prints "X Y", or exits 1 when it lies nowhere.
import { readFileSync } from 'node:fs';

const [screenPath, width, picturePath, size] = process.argv.slice(2);
const screen = readFileSync(screenPath), picture = readFileSync(picturePath);
const W = Number(width), S = Number(size), row = (y) => picture.subarray(y * S * 3, (y + 1) * S * 3);
// Candidates from the middle row (through the launcher, the least uniform), then every row checked.
const middle = row(S >> 1);
for (let at = screen.indexOf(middle); at >= 0; at = screen.indexOf(middle, at + 1)) {
  if ((at / 3) % 1) continue;
  const x = (at / 3) % W, y = Math.floor(at / 3 / W) - (S >> 1);
  if (y < 0 || x + S > W) continue;
  let same = true;
  for (let r = 0; r < S && same; ++r)
    same = screen.subarray(((y + r) * W + x) * 3, ((y + r) * W + x + S) * 3).equals(row(r));
  if (same) {
    console.log(`${x} ${y}`);
    process.exit(0);
  }
}
process.exit(1);
