// page_test.mjs PAGE HOMING-SIM: the web page in Debian's headless Chromium,
// driven as a user would, and a replayed script's canvas against the native
// runner's picture of the same script.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const [pagePath, homingSim] = process.argv.slice(2).map((path) => resolve(path));
const pageUrl = 'file://' + pagePath;
let failed = 0, passed = 0;
function check(holds, what) {
  if (holds) ++passed;
  else { ++failed; console.log('FAIL: ' + what); }
}

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required'],
});
const errors = [];
async function open(url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 600, height: 400 });
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(url);
  await page.bringToFront(); // pages in the background run no frames
  return page;
}
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
// Playfield pixels as [r, g, b] rows, and counts over a block.
const pixels = (page) => page.evaluate(() =>
  Array.from(document.getElementById('playfield').getContext('2d').getImageData(0, 0, 300, 300).data));
const at = (data, x, y) => data.slice((y * 300 + x) * 4, (y * 300 + x) * 4 + 3).join(',');
// Clicks, then looks at the playfield in the page itself at every animation
// frame from the event that clears (`mousedown`, or `change` for an option
// button, which a loaded machine may deliver frames after the press) until no
// black pixel shows outside `boxes` (each 32 x 32): true when that happens
// within ten frames. A shot launched just after the clear stays in the
// launcher's box for its first frame, so the first frame drawn after a clear
// that works passes.
async function clearsAfter(page, click, boxes, clearingEvent = 'mousedown') {
  await page.evaluate((boxes, clearingEvent) => {
    window.cleared = new Promise((done) => {
      let frames = 0;
      const look = () => {
        const data = document.getElementById('playfield').getContext('2d').getImageData(0, 0, 300, 300).data;
        let black = 0;
        for (let y = 0; y < 300; ++y)
          for (let x = 0; x < 300; ++x) {
            const at = (y * 300 + x) * 4;
            if (data[at] === 0 && data[at + 1] === 0 && data[at + 2] === 0 &&
                !boxes.some(([l, t]) => x >= l && x < l + 32 && y >= t && y < t + 32)) ++black;
          }
        if (black < 10) done(true);
        else if (++frames === 10) done(false);
        else requestAnimationFrame(look);
      };
      document.addEventListener(clearingEvent, () => requestAnimationFrame(look), { once: true, capture: true });
    });
  }, boxes, clearingEvent);
  await click();
  return page.evaluate(() => window.cleared);
}
function blackOutside(data, boxes) {
  let count = 0;
  for (let y = 0; y < 300; ++y)
    for (let x = 0; x < 300; ++x)
      if (at(data, x, y) === '0,0,0' && !boxes.some(([l, t]) => x >= l && x < l + 32 && y >= t && y < t + 32)) ++count;
  return count;
}

// The layout: every control where the window puts it.
const live = await open(pageUrl);
const rects = await live.evaluate(() => Object.fromEntries(
  [['picture1', '#picture1'], ['playfield', '#playfield'], ['picture2', '#picture2'], ['check1', 'label:nth-of-type(7)'],
   ['check2', 'label:nth-of-type(8)'], ...[0, 1, 2, 3, 4, 5].map((n) => ['option' + n, `label:nth-of-type(${n + 1})`])]
    .map(([name, selector]) => {
      const r = document.querySelector('#form ' + selector).getBoundingClientRect();
      return [name, [r.left, r.top, r.width, r.height].join(' ')];
    })));
check(rects.picture1 === '8 8 304 304', 'Picture1 at ' + rects.picture1);
check(rects.playfield === '10 10 300 300', 'the playfield canvas at ' + rects.playfield);
check(rects.picture2 === '336 16 84 68', 'Picture2 at ' + rects.picture2);
for (let n = 0; n < 6; ++n) check(rects['option' + n] === `320 ${104 + 24 * n} 169 17`, `Option1(${n}) at ` + rects['option' + n]);
check(rects.check1 === '320 256 193 25', 'Check1 at ' + rects.check1);
check(rects.check2 === '320 280 201 25', 'Check2 at ' + rects.check2);
const tabOrder = await live.evaluate(() => Array.from(document.querySelectorAll('[tabindex]'))
  .sort((a, b) => a.tabIndex - b.tabIndex).map((e) => e.id || e.value).join(' '));
check(tabOrder === 'playfield sheet 0 1 2 4 5 Check1 Check2 3', 'tab order ' + tabOrder);

// The marker follows the pointer; shots fly.
await live.mouse.move(10 + 220, 10 + 70);
await sleep(600);
let data = await pixels(live);
check(at(data, 220, 70) === '255,255,0', 'no marker under the pointer: ' + at(data, 220, 70));
check(blackOutside(data, [[134, 134], [204, 54]]) > 40, 'no shots in flight after 15 frames');

// The velocity lines off (Check2): a new shot's line reaches past the launcher's box.
await live.mouse.click(320 + 180, 280 + 12);
check(await live.evaluate(() => document.getElementById('Check2').checked), 'Check2 did not flip');

// A right click clears: with the marker on the launcher, new shots are caught at once.
await live.mouse.move(10 + 150, 10 + 150);
await sleep(100);
check(await clearsAfter(live, () => live.mouse.click(10 + 150, 10 + 150, { button: 'right' }), [[134, 134]]),
  'shots left after a right click');

// Each option button selects its method and clears the shots.
for (const n of [2, 5, 0, 4, 1, 3]) {
  await live.mouse.move(10 + 40, 10 + 40);
  await sleep(400);
  const click = () => live.mouse.click(320 + 160, 104 + 24 * n + 8); // the far right of its row
  check(await clearsAfter(live, click, [[134, 134], [24, 24]], 'change'), `shots left after Option1(${n})`);
  check(await live.evaluate((n) => document.querySelectorAll('input[name=Option1]')[n].checked, n), `Option1(${n}) not selected`);
}
// The other check box flips, and neither is touched by the option buttons.
await live.mouse.click(320 + 180, 256 + 12);
check(await live.evaluate(() => document.getElementById('Check1').checked && document.getElementById('Check2').checked),
  'the check boxes did not flip');

await live.close();

// A replayed script: its last frame equals the native runner's picture.
const work = mkdtempSync(join(tmpdir(), 'homing-web-'));
const script = 'seed 8\nmode 3\nmove 215 95\nframes 120\nvectors\nlimit\nmode 5\nmove 40 250.5\nframes 75\n';
writeFileSync(join(work, 'script.txt'), script + `png ${join(work, 'native.png')}\n`);
execFileSync(homingSim, [join(work, 'script.txt')], { stdio: ['ignore', 'ignore', 'inherit'] });
const native = execFileSync('convert', [join(work, 'native.png'), '-depth', '8', 'rgba:-']);
const replay = await open(pageUrl + '#script=' + encodeURIComponent(script));
await replay.waitForFunction(() => document.body.dataset.replay && document.body.dataset.replay !== 'playing',
  { timeout: 20000 });
check(await replay.evaluate(() => document.body.dataset.replay) === 'done', 'the replay did not end well');
data = await pixels(replay);
let differ = 0;
for (let n = 0; n < native.length; ++n) differ += data[n] !== native[n];
check(data.length === native.length && differ === 0, `the replayed canvas differs from the native picture in ${differ} bytes`);
await replay.close();
const bad = await open(pageUrl + '#script=' + encodeURIComponent('frames 3\nmode 9\n'));
await bad.waitForFunction(() => document.body.dataset.replay, { timeout: 10000 });
const state = await bad.evaluate(() => document.body.dataset.replay);
check(state === 'error: line 2: mode must be 0 to 5, got 9', 'a bad script says ' + state);
const shown = await bad.evaluate(() => { const m = document.getElementById('message'); return m.hidden ? '' : m.textContent; });
check(shown.endsWith('line 2: mode must be 0 to 5, got 9'), 'a bad script shows the reader: ' + JSON.stringify(shown));
await bad.close();

// The page reads exactly the bytes it is given, as homing-sim does: a NUL, a
// byte that is not UTF-8, a long line; and a script far longer than the stack.
// Picture lines are checked as homing-sim checks them, and all of the fragment
// after #script= is the script, '&' included.
for (const encoded of ['frames%202%0Amove%201%00%202%0A', 'frames%201%0A%FF%0A', 'move%201%202%00', 'x'.repeat(5000),
                       'limit%0A'.repeat(220000), 'png%20x.txt%0Aframes%205', 'frames%201%0Atrail%20%2Fetc%2Fpasswd',
                       'seed%201&x=1%0Aframes%205']) {
  const bytes = encoded.replace(/%([0-9A-F]{2})/g, (_, hex) => String.fromCharCode(parseInt(hex, 16)));
  writeFileSync(join(work, 'bytes.txt'), Buffer.from(bytes, 'latin1'));
  let expected = 'done';
  try { execFileSync(homingSim, [join(work, 'bytes.txt')], { stdio: ['ignore', 'ignore', 'pipe'] }); }
  catch (error) { expected = 'error: ' + error.stderr.toString().trim().replace(/^homing-sim: /, ''); }
  const page = await open(pageUrl + '#script=' + encoded);
  await page.waitForFunction(() => document.body.dataset.replay && document.body.dataset.replay !== 'playing',
    { timeout: 20000 });
  const got = await page.evaluate(() => document.body.dataset.replay);
  check(got === expected, `the page says ${JSON.stringify(got)} where homing-sim says ${JSON.stringify(expected)}`);
  await page.close();
}

// A picture line that homing-sim would write is passed over, and said to be.
const pictured = await open(pageUrl + '#script=' + encodeURIComponent(`frames 2\npng ${join(work, 'p.png')}\n`));
await pictured.waitForFunction(() => document.body.dataset.replay === 'done', { timeout: 20000 });
check(await pictured.evaluate(() => document.getElementById('message').textContent).then((text) =>
  text === 'Line 2 was passed over: the page writes no pictures (png, trail).'), 'a skipped picture line is not said');
await pictured.close();

// A script of 16 MB from a server: copied into the heap after the heap grows for it.
writeFileSync(join(work, 'long.txt'), ('# ' + 'x'.repeat(4000) + '\n').repeat(4200) + 'frames 5\n');
const server = createServer((request, reply) =>
  reply.end(readFileSync(request.url.startsWith('/index.html') ? pagePath : join(work, 'long.txt'))));
await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
const served = await open(`http://127.0.0.1:${server.address().port}/index.html?script=long.txt`);
await served.waitForFunction(() => document.body.dataset.replay && document.body.dataset.replay !== 'playing',
  { timeout: 30000 });
check(await served.evaluate(() => document.body.dataset.replay) === 'done', 'a 16 MB script did not play');
await served.close();
server.close();

check(errors.length === 0, 'console errors: ' + errors.join('; '));
await browser.close();
rmSync(work, { recursive: true, force: true });
console.log(`page: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
