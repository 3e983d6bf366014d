// measure.mjs PAGE: the web page's figures in Debian's headless Chromium: its
// size, the time from navigation to its first frame, and one frame (simulate
// and draw) averaged over 1,000 frames. Usage, from the project's root:
//   node tests/web/measure.mjs build-web/web/index.html
import { statSync } from 'node:fs';
import { resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const page = resolve(process.argv[2] || 'build-web/web/index.html');
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const tab = await browser.newPage();
await tab.goto('file://' + page);
await tab.waitForFunction(() => performance.getEntriesByName('first-frame').length > 0, { timeout: 10000 });
const firstFrame = await tab.evaluate(() => performance.getEntriesByName('first-frame')[0].startTime);
await tab.evaluate(() => Module._MeasureFrames(200)); // warm up
const perFrame = await tab.evaluate(() => Module._MeasureFrames(1000) / 1000);
await browser.close();
console.log(`page size              ${(statSync(page).size / 1024).toFixed(0)} KB (one file, everything in it)`);
console.log(`first frame            ${firstFrame.toFixed(0)} ms after navigation`);
console.log(`one frame              ${(perFrame * 1000).toFixed(1)} µs (simulate and draw, mean of 1,000)`);
