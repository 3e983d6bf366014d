// screenshot.mjs PAGE OUT.png ADDRESS: the study's maps and chosen shot as
// the page shows them at ADDRESS (a fragment, "#study&..."), for the README.
import { resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const [page, out, address] = process.argv.slice(2);
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                         args: ['--no-sandbox', '--disable-gpu'] });
const tab = await browser.newPage();
await tab.setViewport({ width: 1260, height: 1000 });
await tab.goto('file://' + resolve(page) + address);
await tab.bringToFront();
await tab.waitForFunction(() => document.body.dataset.study && document.body.dataset.study !== 'computing',
  { timeout: 60000 });
const state = await tab.evaluate(() => document.body.dataset.study);
if (state !== 'done') throw new Error(`the study says ${state}`);
const [x, y, width, height] = await tab.evaluate(() => {
  const box = document.querySelector('#study .layout').getBoundingClientRect();
  return [box.x, box.y + window.scrollY, box.width, box.height];
});
await tab.screenshot({ path: out, clip: { x, y, width, height } });
await browser.close();
