// widths.mjs PAGE OUTDIR: the page as a phone, a tablet and a desktop show it
// (320, 390 with touch, 768 and 1280 pixels wide), its first screenful each,
// into OUTDIR/page-WIDTH.png, for the README and to be looked at.
import { join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const [page, out] = process.argv.slice(2);
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                         args: ['--no-sandbox', '--disable-gpu'] });
for (const width of [320, 390, 768, 1280]) {
  const tab = await browser.newPage();
  const touch = width < 768;
  await tab.setViewport({ width, height: touch ? 844 : 900, isMobile: touch, hasTouch: touch });
  await tab.goto('file://' + resolve(page) + '#study&step=10&shots=4&seed=1&motion=circle,60,60');
  await tab.bringToFront();
  await tab.waitForFunction(() => document.body.dataset.study === 'done', { timeout: 60000 });
  await tab.screenshot({ path: join(out, `page-${width}.png`) });
  await tab.close();
}
await browser.close();
