// page_test.mjs PAGE HOMING-SIM: the web page in Debian's headless Chromium,
// driven as a user would, and a replayed script's canvas against the native
// runner's picture of the same script.
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { inflateSync } from 'node:zlib';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
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
function pageErrors(page) {
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
}
async function open(url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 600, height: 400 });
  pageErrors(page);
  await page.goto(url);
  await page.bringToFront(); // pages in the background run no frames
  return page;
}
// The pointer's moves reach the page once its module runs, which a loaded
// machine may start well after the load event.
const running = (page) => page.waitForFunction(() => performance.getEntriesByName('first-frame').length > 0,
  { timeout: 20000 });
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
// The study's maps of the settings asked for are done, or cannot be.
const finished = (page) => page.waitForFunction(() => document.body.dataset.study === 'done' ||
  (document.body.dataset.study || '').startsWith('error'), { timeout: 60000 });
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

// The layout: every control where the window puts it, the option buttons
// made by the module from its method table.
const live = await open(pageUrl);
await running(live);
const rects = await live.evaluate(() => Object.fromEntries(
  [['picture1', '#picture1'], ['playfield', '#playfield'], ['picture2', '#picture2'], ['check1', '#Check1'],
   ['check2', '#Check2'], ...[0, 1, 2, 3, 4, 5].map((n) => ['option' + n, `input[name=Option1][value="${n}"]`])]
    .map(([name, selector]) => {
      const found = document.querySelector('#form ' + selector);
      const r = (found.closest('label') || found).getBoundingClientRect();
      return [name, [r.left, r.top, r.width, r.height].join(' ')];
    })));
check(rects.picture1 === '8 8 304 304', 'Picture1 at ' + rects.picture1);
check(rects.playfield === '10 10 300 300', 'the playfield canvas at ' + rects.playfield);
check(rects.picture2 === '336 16 84 68', 'Picture2 at ' + rects.picture2);
for (let n = 0; n < 6; ++n) check(rects['option' + n] === `320 ${104 + 24 * n} 169 17`, `Option1(${n}) at ` + rects['option' + n]);
check(rects.check1 === '320 256 193 25', 'Check1 at ' + rects.check1);
check(rects.check2 === '320 280 201 25', 'Check2 at ' + rects.check2);
// The window's tab order by the elements' own order (no positive tabindex); the sprite sheet is no stop.
const tabOrder = await live.evaluate(() => Array.from(document.querySelectorAll('#form canvas, #form input'))
  .filter((e) => e.tabIndex >= 0).map((e) => e.id || e.value).join(' '));
check(tabOrder === 'playfield 0 1 2 4 5 Check1 Check2 3', 'tab order ' + tabOrder);
check(await live.evaluate(() => document.querySelectorAll('[tabindex]:not([tabindex="0"]):not([tabindex="-1"])').length) === 0,
  'a positive tabindex');

// The marker follows the pointer; shots fly.
await running(live);
await live.mouse.move(10 + 220, 10 + 70);
await sleep(600);
// A machine busy compiling the study's workers may draw the next frame late.
await live.waitForFunction(() => Array.from(document.getElementById('playfield').getContext('2d')
  .getImageData(220, 70, 1, 1).data).slice(0, 3).join(',') === '255,255,0', { timeout: 10000 }).catch(() => {});
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
// A catch is said to a screen reader, not only beeped.
check(/^A missile caught the marker \(\d+ catch/.test(await live.evaluate(() =>
  document.getElementById('caught-news').textContent)), 'no catch was said to a screen reader');

// Each option button selects its method and clears the shots.
for (const n of [2, 5, 0, 4, 1, 3]) {
  await live.mouse.move(10 + 40, 10 + 40);
  await sleep(400);
  const click = () => live.mouse.click(320 + 160, 104 + 24 * n + 8); // the far right of its row
  check(await clearsAfter(live, click, [[134, 134], [24, 24]], 'change'), `shots left after Option1(${n})`);
  check(await live.evaluate((n) => document.querySelector(`input[name=Option1][value="${n}"]`).checked, n),
    `Option1(${n}) not selected`);
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
// A reference law has no option button: its mode checks none.
const lawReplay = await open(pageUrl + '#script=' + encodeURIComponent('move 200 100\nmode 7\nframes 30\n'));
await lawReplay.waitForFunction(() => /^(done|error)/.test(document.body.dataset.replay || ''), { timeout: 10000 });
check(await lawReplay.evaluate(() => document.body.dataset.replay) === 'done' &&
  await lawReplay.evaluate(() => document.querySelectorAll('input[name=Option1]:checked').length) === 0,
  'a replayed mode 7 is not done with no option button checked');
await lawReplay.close();
// (A mode no table reaches; the runner says what the page must, with no count of methods spelled out here.)
const badScript = 'frames 3\nmode 999\n';
const runnerSays = spawnSync(homingSim, [], { input: badScript }).stderr.toString().trim().replace(/^homing-sim: /, '');
const bad = await open(pageUrl + '#script=' + encodeURIComponent(badScript));
await bad.waitForFunction(() => document.body.dataset.replay, { timeout: 10000 });
const state = await bad.evaluate(() => document.body.dataset.replay);
check(runnerSays.startsWith('line 2: mode must be 0 to ') && state === 'error: ' + runnerSays, 'a bad script says ' + state);
const shown = await bad.evaluate(() => { const m = document.getElementById('message'); return m.hidden ? '' : m.textContent; });
check(shown.endsWith(runnerSays), 'a bad script shows the reader: ' + JSON.stringify(shown));
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
const servedStudy = await open(`http://127.0.0.1:${server.address().port}/index.html#study&step=20&shots=2`);
await finished(servedStudy);
check(await servedStudy.evaluate(() => document.body.dataset.study) === 'done', 'the study from a server did not finish');
await servedStudy.close();
server.close();

// The study: its downloads are homing-sim's bytes for the same settings; a
// place's trails are the trace of each shot's script; a shot's frame is the
// picture of its script cut there; its address reopens the same view.
const studyAsks = 'step=10&shots=4&seed=7&limit&motion=circle,30,100';
const studyOptions = ['--step', '10', '--shots', '4', '--seed', '7', '--limit', '--marker-motion', 'circle', '30', '100'];
const studied = await open(pageUrl + '#study&' + studyAsks + '&place=2,150,80&shot=1&frame=12');
await finished(studied);
await studied.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 60000 });
const download = (page, id) => page.evaluate((id) => fetch(document.getElementById(id).href).then((r) => r.text()), id);
for (const [kind, link, name] of [['--map', 'study-csv', 'map.csv'], ['--sweep', 'study-sweep-csv', 'sweep.csv']]) {
  execFileSync(homingSim, [kind, join(work, name), ...studyOptions]);
  check(await download(studied, link) === readFileSync(join(work, name), 'utf8'), `the page's ${name} is not homing-sim's`);
}
// The guidance laws' lag and noise travel in the address into the form; the
// dodge window a worker computes for them is homing-sim --dodge's, and the
// sentence under its chart says that table's figures.
{
  const dodging = await open(pageUrl + '#study&step=20&shots=4&seed=7&lag=3&noise=0.5');
  await finished(dodging);
  const form = await dodging.evaluate(() => [document.getElementById('study-lag').value,
    document.getElementById('study-noise').value]);
  check(form[0] === '3' && form[1] === '0.5', `the form shows lag ${form[0]} and noise ${form[1]}, not 3 and 0.5`);
  await dodging.click('#study-dodge-run');
  await dodging.waitForFunction(() => !document.getElementById('study-dodge').hidden, { timeout: 60000 });
  execFileSync(homingSim, ['--dodge', join(work, 'dodge.csv'), '--step', '30', '--shots', '4', '--seed', '7',
    '--lag', '3', '--noise', '0.5', '--sidestep', '3']);
  const expected = readFileSync(join(work, 'dodge.csv'), 'utf8');
  const got = await download(dodging, 'study-dodge-csv');
  const rows = expected.split('\n').filter((line) => /^7,/.test(line)).map((line) => line.split(','));
  check(got === expected.split('\n').filter((line, n) => n < 2 || /^7,/.test(line)).join('\n') + '\n',
    "the page's dodge window is not homing-sim's rows of proportional navigation");
  const says = await dodging.evaluate(() => document.getElementById('study-dodge-says').textContent);
  const late = rows.find((row) => row[1] === '1');
  check(says.includes(`1 frame before the catch, ${Math.round(100 * late[3] / late[2])} %`),
    `the dodge window's sentence does not say its table's figure: ${says}`);
  await dodging.close();
}

// Each method's map panel as the page shows it is the panel of homing-sim's
// map picture, pixel for pixel (cells, boundary, launcher, heading, ticks):
// one painter. The picture's panels stand at runner/Pictures.cpp's PanelGrid.
execFileSync(homingSim, ['--map', join(work, 'maps.png'), ...studyOptions]);
const mapsPicture = execFileSync('convert', [join(work, 'maps.png'), '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 24 });
const pictureWidth = 3 * 326 + 4 * 12;
const panels = await studied.evaluate(() => document.querySelectorAll('canvas[id^="study-map-"]').length);
check(panels > 0, 'the page shows no map panels');
for (let mode = 0; mode < panels; ++mode) {
  const panel = await studied.evaluate((mode) => Array.from(document.getElementById('study-map-' + mode).getContext('2d')
    .getImageData(0, 0, 300, 300).data), mode);
  const left = 38 + (mode % 3) * 338, top = 40 + Math.floor(mode / 3) * 393;
  let differ = 0;
  for (let y = 0; y < 300; ++y)
    for (let x = 0; x < 300; ++x)
      for (let c = 0; c < 4; ++c)
        differ += panel[(y * 300 + x) * 4 + c] !== mapsPicture[((top + y) * pictureWidth + left + x) * 4 + c];
  check(differ === 0, `map ${mode}'s panel differs from homing-sim's picture in ${differ} bytes`);
}
// The page's maps picture (its PNG download) is homing-sim's: its size, every
// panel where homing-sim puts it, pixel for pixel, and the same PNG texts
// (what made it, from what). Its words are the browser's font, not Qt's.
const pagePng = Buffer.from(await studied.evaluate(() => fetch(document.getElementById('study-png').href)
  .then((r) => r.arrayBuffer()).then((b) => Array.from(new Uint8Array(b)))));
writeFileSync(join(work, 'page-maps.png'), pagePng);
const pngTexts = (bytes) => {
  const texts = {};
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length), zero = data.indexOf(0);
    if (type === 'tEXt')
      texts[data.toString('latin1', 0, zero)] = data.toString('latin1', zero + 1);
    if (type === 'zTXt')
      texts[data.toString('latin1', 0, zero)] = '(zTXt) ' + inflateSync(data.subarray(zero + 2)).toString('latin1');
    at += 12 + length;
  }
  return texts;
};
const runnerPng = readFileSync(join(work, 'maps.png'));
const pageTexts = pngTexts(pagePng), runnerTexts = pngTexts(runnerPng);
check(pagePng.readUInt32BE(16) === runnerPng.readUInt32BE(16) && pagePng.readUInt32BE(20) === runnerPng.readUInt32BE(20),
      `the page's maps picture is ${pagePng.readUInt32BE(16)} x ${pagePng.readUInt32BE(20)}, homing-sim's ` +
      `${runnerPng.readUInt32BE(16)} x ${runnerPng.readUInt32BE(20)}`);
check(pageTexts.Source === runnerTexts.Source && pageTexts.Software === runnerTexts.Software && runnerTexts.Source,
      `the page's maps picture says ${JSON.stringify(pageTexts)}, homing-sim's ${JSON.stringify(runnerTexts)}`);
const pagePicture = execFileSync('convert', [join(work, 'page-maps.png'), '-depth', '8', 'rgba:-'], { maxBuffer: 1 << 24 });
for (let mode = 0; mode < panels; ++mode) {
  const left = 38 + (mode % 3) * 338, top = 40 + Math.floor(mode / 3) * 393;
  let differ = 0;
  for (let y = 0; y < 300; ++y)
    for (let x = 0; x < 300; ++x)
      for (let c = 0; c < 4; ++c) {
        const at = ((top + y) * pictureWidth + left + x) * 4 + c;
        differ += pagePicture[at] !== mapsPicture[at];
      }
  check(differ === 0, `map ${mode} in the page's maps picture differs from homing-sim's in ${differ} bytes`);
}
const view = (page) => page.evaluate(() => [location.hash, document.getElementById('study-place').textContent,
  document.getElementById('study-moment').textContent, document.getElementById('study-slider').value].join('\n'));
const chosen = await view(studied);
check(chosen.includes('&place=2,150,80&shot=1&frame=12\n'), 'the address did not choose the shot: ' + chosen);
// Each shot's trail against homing-sim's trace of its script: slot 0 from its launch to its end.
async function trailsAreTraces(page) {
  const shots = await page.evaluate(() => study.state.trails.length);
  for (let shot = 0; shot < shots; ++shot) {
    await page.click(`#study-shots-list button:nth-child(${shot + 1})`);
    const [script, trail] = await page.evaluate((shot) =>
      [document.getElementById('study-script').value, Array.from(study.state.trails[shot].points)], shot);
    writeFileSync(join(work, 'shot.txt'), script);
    const rows = execFileSync(homingSim, [join(work, 'shot.txt')]).toString().trim().split('\n').slice(1)
      .map((line) => line.split(',')).filter((row) => row[1] === '0');
    const end = rows.findIndex((row) => row[2] !== 'flying');
    const traced = rows.slice(0, end + 1).flatMap((row) => [Math.fround(Number(row[4])), Math.fround(Number(row[5]))]);
    check(end >= 0 && traced.length === trail.length && traced.every((value, n) => value === trail[n]),
      `shot ${shot}'s trail is not its script's trace (${trail.length / 2} frames, the trace ${traced.length / 2})`);
  }
  return shots;
}
await trailsAreTraces(studied);
// A reference law's place (augmented proportional navigation) alike.
const law = await open(pageUrl + '#study&' + studyAsks + '&place=8,150,80&shot=0');
await finished(law);
check(await trailsAreTraces(law) === 4, 'the reference law\'s place has not its four shots');
await law.close();
// The frame at the slider against homing-sim's png of the script cut at that frame.
const cutAt = (script, frames) => {
  let run = 0;
  const lines = [];
  for (const line of script.split('\n')) {
    const count = /^frames (\d+)$/.exec(line);
    if (count && run + Number(count[1]) >= frames) return [...lines, `frames ${frames - run}`].join('\n') + '\n';
    if (count) run += Number(count[1]);
    lines.push(line);
  }
  return lines.join('\n');
};
await studied.evaluate(() => { const slider = document.getElementById('study-slider');
  slider.value = 7; slider.dispatchEvent(new Event('input')); });
const [shotScript, frameData] = await studied.evaluate(() => [document.getElementById('study-script').value,
  Array.from(document.getElementById('study-frame').getContext('2d').getImageData(0, 0, 300, 300).data)]);
writeFileSync(join(work, 'cut.txt'), cutAt(shotScript, 9 + 7) + `png ${join(work, 'frame.png')}\n`);
execFileSync(homingSim, [join(work, 'cut.txt')], { stdio: ['ignore', 'ignore', 'inherit'] });
const framePicture = execFileSync('convert', [join(work, 'frame.png'), '-depth', '8', 'rgba:-']);
differ = 0;
for (let n = 0; n < framePicture.length; ++n) differ += frameData[n] !== framePicture[n];
check(frameData.length === framePicture.length && differ === 0, `the shot's frame 7 differs from homing-sim's in ${differ} bytes`);
// The rule beside the shot is the simulation's own source: the angle chase's
// step as simulation/steps/AngleChase.inc has it, its helper, its launch and record.
const [ruleCode, ruleLaunch, ruleRecord] = await studied.evaluate(() => ['study-rule-code', 'study-rule-launch',
  'study-rule-record'].map((id) => document.getElementById(id).textContent));
const angleSource = readFileSync(new URL('../../simulation/steps/AngleChase.inc', import.meta.url), 'utf8');
const angleStep = /\nSTEP_INLINE void AngleChaseStep\(Record& s, const StepInputs& in\)\n\{[\s\S]*?\n\}\n/.exec(angleSource);
check(angleStep && ruleCode.includes(angleStep[0].trim()) && ruleCode.includes('STEP_INLINE N DegreesToMarker(') &&
      ruleLaunch.startsWith('speed = 2 + 5 r (in [2, 7), pixels a frame)') && /^s\.X = /m.test(ruleRecord) &&
      /^s\.Angle = /m.test(ruleRecord) && !/^s\.Gain/m.test(ruleRecord),
      'the shot view does not show the angle chase\'s step as its source has it: ' + ruleLaunch + ' | ' + ruleRecord);
// Every method's step is found by its name (a step file renamed would leave the page without it).
const missingSteps = await studied.evaluate(() => [...document.querySelectorAll('#study-methods tbody th b')]
  .map((name) => StepSourceOf(name.textContent.replace(/^\d+ /, '')).missing));
check(missingSteps.length > 0 && missingSteps.every((missing) => !missing),
      'steps the page cannot find: ' + missingSteps.join('; '));
// "Copy the step" copies one piece that a plain C++ compiler builds, for
// every method: linked with a main that flies the step once, and run.
const copiedStep = await studied.evaluate(async () => {
  let copied = '';
  navigator.clipboard.writeText = async (words) => { copied = words; };
  document.getElementById('study-rule-copy').click();
  await new Promise((done) => setTimeout(done, 50));
  return copied;
});
check(copiedStep === await studied.evaluate(() => StepSourceOf('angle chase').copy), '"Copy the step" does not copy the piece');
const copies = await studied.evaluate(() => [...document.querySelectorAll('#study-methods tbody th b')]
  .map((name) => StepSourceOf(name.textContent.replace(/^\d+ /, ''))));
for (const { step, copy } of copies) {
  const source = join(work, `${step}.cpp`);
  writeFileSync(source, `${copy}\nint main()\n{\n    Shot s{};\n    s.X = s.Y = 150, s.VX = s.Speed = 3, s.Turn = 4, s.Gain = 3;\n` +
    `    s.Angle = 7, s.Alive = -1, s.Age = 1;\n    StepInputs in{100, 50, true, 1.0, false, 0.0, 0.0};\n    ${step}(s, in);\n` +
    `    return s.VX == s.VX && s.VY == s.VY ? 0 : 1;\n}\n`);
  const built = spawnSync('g++', ['-std=c++20', '-Wall', '-Wextra', '-Werror', '-o', join(work, step), source], { encoding: 'utf8' });
  const ran = built.status === 0 && spawnSync(join(work, step)).status === 0;
  check(ran, `the copied ${step} does not build and run: ${built.stderr.split('\n').slice(0, 3).join(' ')}`);
}
await studied.click('#study-shots-list button:nth-child(2)');
await studied.evaluate(() => { const slider = document.getElementById('study-slider');
  slider.value = 12; slider.dispatchEvent(new Event('input')); });
const link = await studied.evaluate(() => location.href);
await studied.close();
const reopened = await open(link);
await finished(reopened);
check(await view(reopened) === chosen, 'the link does not reopen the same view:\n' + (await view(reopened)) + '\n---\n' + chosen);
await reopened.close();

// A value of the sweep chosen: the maps with that draw held, as homing-sim --hold makes them.
const held = await open(pageUrl + '#study&step=20&shots=2');
await held.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 60000 });
const turn = await held.evaluate(() => study.state.charts.findIndex((chart) => chart.mode === 2 && chart.draw === 'turn'));
await held.click(`#study-sweep figure:nth-child(${turn + 1}) .values button:first-child`);
await finished(held);
execFileSync(homingSim, ['--map', join(work, 'held.csv'), '--step', '20', '--shots', '2', '--hold', 'turn=0.05']);
check(await held.evaluate(() => location.hash) === '#study&step=20&shots=2&seed=1&hold=turn=0.05' &&
      await download(held, 'study-csv') === readFileSync(join(work, 'held.csv'), 'utf8'), 'a held draw is not homing-sim\'s --hold');
await held.close();

// Each claim's "show me" link opens the view that shows it: the maps done, no
// error, the place, shot and frame it names; the orbiting shot is not caught.
// Without an address the study opens, once its maps are scrolled to, on every
// draw fixed and one shot a place, where the first claim shows: the angle
// chase's orbit disc below the launcher is grey (fewer than half caught).
const firstView = await open(pageUrl);
await running(firstView);
await firstView.waitForFunction(() => document.getElementById('study-maps'), { timeout: 20000 });
await firstView.evaluate(() => document.getElementById('study-maps').scrollIntoView());
await finished(firstView);
const [firstHash, disc] = await firstView.evaluate(() => [location.hash,
  Array.from(document.getElementById('study-map-2').getContext('2d').getImageData(150, 207, 1, 1).data)]);
check(firstHash === '#study&step=4&shots=1&draws=0.5' && disc[0] === disc[1] && disc[1] === disc[2] && disc[0] < 200,
  `the first view is ${firstHash}, the disc's pixel ${disc}`);
await firstView.close();

const showing = await open(pageUrl + '#study&step=30&shots=1');
await finished(showing);
const showMe = await showing.evaluate(() => [...document.querySelectorAll('#study a.show-me')].map((a) => a.getAttribute('href')));
check(showMe.length >= 5, `${showMe.length} "show me" links`);
for (const href of showMe) {
  await showing.evaluate(() => { document.body.dataset.study = ''; });
  await showing.click(`a.show-me[href="${href}"]`);
  await finished(showing);
  const [state, slider, place] = await showing.evaluate(() => [document.body.dataset.study,
    document.getElementById('study-slider').value, document.getElementById('study-place').textContent]);
  if (href.includes('&chart=')) { // the chart taken to, once the sweep is done, and its ends as the text says them
    await showing.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 60000 });
    const [focused, shares, values, claim] = await showing.evaluate((href) => [document.activeElement.tagName,
      [...document.activeElement.querySelectorAll('.values button')].map((b) => /at ([0-9.]+) % of places/.exec(b.title)[1]),
      [...document.activeElement.querySelectorAll('.values button')].map((b) => b.textContent),
      document.querySelector(`a.show-me[href="${href}"]`).closest('[id^="study-claim"]').textContent], href);
    const end = (share, value) => new RegExp(`${Math.round(share)} % at (N = )?${value.replace('.', '\\.')}\\b`);
    check(focused === 'FIGURE' && end(shares[0], values[0]).test(claim) &&
          end(shares[shares.length - 1], values[values.length - 1]).test(claim) &&
          claim.includes(`from ${Math.round(shares[0])} %`) && claim.includes(`to ${Math.round(shares[shares.length - 1])} %`),
          `show me ${href}: ${focused}, ${shares} at ${values}`);
  }
  // The link lands where the reader looks: the view it changed has the focus, on the screen.
  const landed = await showing.evaluate(() => {
    const e = document.activeElement, r = e.getBoundingClientRect();
    return e !== document.body && !e.closest('p') && r.bottom > 0 && r.top < innerHeight ? e.id || e.tagName : '';
  });
  check(landed !== '', `show me ${href} left the focus off the view it changed`);
  const frame = /&frame=(\d+)/.exec(href);
  const orbiting = href.includes('&place=2,152,200');
  check(state === 'done' && (!frame || slider === frame[1]) && (!href.includes('&place=') || !place.startsWith('Choose')) &&
        (!orbiting || place.includes(': 0 of 1 shots caught')), `show me ${href}: ${state}, frame ${slider}, ${place.slice(0, 60)}`);
  if (orbiting) await orbitFiguresAreTheShots(href);
}
// The orbit's figures in the text are its shot's, as the view its link opens
// says them: the speed, the turn, the launch heading, the radius R of its
// turning circle and the disc's R − 16; under a held turn, the turn and the
// smaller circle.
async function orbitFiguresAreTheShots(href) {
  const moment = (frame) => showing.evaluate((frame) => {
    const slider = document.getElementById('study-slider');
    if (frame) slider.value = frame, slider.dispatchEvent(new Event('input'));
    return document.getElementById('study-moment').textContent;
  }, frame);
  const told = await showing.evaluate((href) => document.querySelector(`a.show-me[href="${href}"]`).closest('p').textContent
    .replace(/\s+/g, ' '), href);
  const seen = /Speed ([0-9.]+) px a frame, heading (-?[0-9.]+)°, turning at most ([0-9.]+)°.* radius ([0-9.]+) px/.exec(await moment(0));
  const [speed, turn, radius] = [Number(seen[1]), Number(seen[3]), Math.round(Number(seen[4]))];
  // Frame 1 shows the heading after the shot's first turn, to a tenth: the launch heading is one turn from it.
  const first = Number(/heading (-?[0-9.]+)°/.exec(await moment(1))[1]);
  const launched = Number((/heading ([0-9]+)°, turning/.exec(told) || [0, NaN])[1]);
  check(Math.abs(Math.abs(launched - first) - turn) < 0.051, `the text's launch heading ${launched}° is not one turn from frame 1's ${first}°`);
  const expected = href.includes('hold=turn')
    ? [`${turn}° a frame, and the discs shrink to radius ${radius} − 16 = ${radius - 16}`]
    : [`flies at ${speed} pixels a frame, heading ${launched}°, turning ${turn}° a frame: R = ${radius} pixels`,
       `grey discs of radius ${radius} − 16 = ${radius - 16}`];
  for (const words of expected)
    check(told.includes(words), `the text does not say its orbiting shot's "${words}" (${href})`);
}
// The turn that reaches a marker beside the shot is the orbit figure's, at its first speed and marker.
{
  const says = await showing.evaluate(() => document.getElementById('study-orbit-says').textContent);
  const [, beside, needed] = /straight beside at ([0-9]+) px needs more than ([0-9.]+)°/.exec(says);
  const speed = await showing.evaluate(() => Number(document.getElementById('study-orbit-speed').value));
  const words = `${Number(needed).toFixed(1)}° for a marker ${beside} pixels beside a shot at ${speed} pixels a frame`;
  check((await showing.evaluate(() => document.getElementById('study-orbit').nextElementSibling.textContent + document
    .getElementById('study-orbit').previousElementSibling.textContent)).replace(/\s+/g, ' ').includes(words),
    `the text does not say the orbit figure's "${words}"`);
}
// "Copy the link" copies the address of the view shown.
const linked = await showing.evaluate(async () => {
  let copied = '';
  navigator.clipboard.writeText = async (words) => { copied = words; };
  document.getElementById('study-copy-link').click();
  await new Promise((done) => setTimeout(done, 50));
  return [copied, location.href];
});
check(linked[0] === linked[1] && linked[0].includes('#study&'), `the copied link is ${linked[0]}, not ${linked[1]}`);
// A word's link opens the list of words at it and keeps the study's address.
const addressBefore = await showing.evaluate(() => location.hash);
await showing.click('a[href="#study-word-draw"]');
check(await showing.evaluate((before) => document.querySelector('details.words').open &&
  document.activeElement.id === 'study-word-draw' && location.hash === before, addressBefore), 'a word\'s link lost the view');
// The orbit figure: the marker 60 px beside a shot at 4.5 px a frame is out
// of reach at 4.5 degrees a frame and within it at 7 (the rule says above
// 6.78); dragged to the middle of the smaller circle it is out of reach again.
const reach = () => showing.evaluate(() => document.getElementById('study-orbit').dataset.reach);
check(await reach() === 'out', 'the orbit figure\'s first marker is not out of reach');
await showing.evaluate(() => { const turn = document.getElementById('study-orbit-turn');
  turn.value = 7; turn.dispatchEvent(new Event('input')); });
check(await reach() === 'within', 'the orbit figure\'s marker is not within reach at 7 degrees a frame');
const orbitBox = await showing.evaluate(() => { const canvas = document.getElementById('study-orbit-canvas');
  canvas.scrollIntoView({ block: 'center' });
  const r = canvas.getBoundingClientRect();
  return [r.left, r.top, r.width / 300]; });
await showing.mouse.move(orbitBox[0] + 70 * orbitBox[2], orbitBox[1] + 170 * orbitBox[2]);
await showing.mouse.down();
await showing.mouse.move(orbitBox[0] + 70 * orbitBox[2], orbitBox[1] + 147 * orbitBox[2], { steps: 4 });
await showing.mouse.up();
check(await reach() === 'out', 'the orbit figure\'s marker dragged inside the circle is not out of reach: ' +
  await showing.evaluate(() => document.getElementById('study-orbit-says').textContent));
// The turn's number dragged 200 px to the left: 50 of the slider's steps of 0.05 off its 7.
const turnNumber = await showing.evaluate(() => { const number = document.getElementById('study-orbit-turn-value');
  number.scrollIntoView({ block: 'center' });
  const r = number.getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]; });
await showing.mouse.move(...turnNumber);
await showing.mouse.down();
await showing.mouse.move(turnNumber[0] - 200, turnNumber[1], { steps: 5 });
await showing.mouse.up();
check(await showing.evaluate(() => document.getElementById('study-orbit-turn').value === '4.5' &&
  document.getElementById('study-orbit-turn-value').textContent === '4.50'), 'the turn\'s number does not scrub');
await showing.close();

// Keyboard only: Tab to the first map, arrows to a place 50 px right of the launcher, Enter for its first shot, an arrow for a frame.
const keys = await open(pageUrl + '#study&step=10&shots=2');
await finished(keys);
let tabs = 0;
while (tabs++ < 80 && await keys.evaluate(() => document.activeElement.id) !== 'study-map-0') await keys.keyboard.press('Tab');
for (let n = 0; n < 5; ++n) await keys.keyboard.press('ArrowRight');
await keys.keyboard.press('Enter');
await keys.keyboard.press('ArrowRight');
const keyed = await keys.evaluate(() => location.hash);
check(keyed === '#study&step=10&shots=2&seed=1&place=0,200,150&shot=0&frame=2', 'by keyboard: ' + keyed);
await keys.close();

// A bad address says what is wrong, in the page and on <body>.
const badStudy = await open(pageUrl + '#study&step=0');
await finished(badStudy);
const said = await badStudy.evaluate(() => [document.body.dataset.study, document.getElementById('study-message').textContent]);
check(said[0] === 'error: The address was not taken: step=0: --step must be a whole number from 1 to 300, got 0' &&
      said[1] === said[0].slice(7), 'a bad study address says ' + said.join(' | '));
// Every key read and refused alike; an address too long for the module is
// refused before it, and the next address works.
for (const [address, message] of [
  ['step=30&shots=2&velocity=3e38,0', 'velocity=3e38,0: --marker-velocity carries the marker past the largest float'],
  ['step=4%26shots=8', 'step=4%26shots=8: --step must be a whole number from 1 to 300, got 4&shots=8'],
  ['step=30&shots=2&shot=1', 'shot= needs a place='],
  ['step=30&shots=2&seed=1&' + 'x'.repeat(70000), 'characters long, more than a study\'s address can be'],
]) {
  await badStudy.evaluate((hash) => { location.hash = hash; }, '#study&' + address);
  await badStudy.waitForFunction((m) => (document.body.dataset.study || '').includes(m), { timeout: 10000 }, message)
    .catch(() => {});
  const state = await badStudy.evaluate(() => document.body.dataset.study);
  check(state.startsWith('error: The address was not taken: ') && state.includes(message), `${address.slice(0, 40)}: ${state.slice(0, 200)}`);
}
await badStudy.evaluate(() => { location.hash = '#study&step=30&shots=2&place=1,60,60&shot=0&frame=abc'; });
await badStudy.waitForFunction(() => (document.body.dataset.study || '').includes('frame=abc'), { timeout: 30000 })
  .catch(() => {});
check((await badStudy.evaluate(() => document.body.dataset.study)).includes("The address's frame=abc is not a frame"),
  'frame=abc is not refused');
await badStudy.evaluate(() => { location.hash = '#study&step=30&shots=2'; });
await finished(badStudy);
check(await badStudy.evaluate(() => document.body.dataset.study) === 'done', 'the address after a refused one is not done');
await badStudy.close();

// ---- every screen and every hand ----
const yellowAt = (page, x, y) => page.waitForFunction((x, y) => Array.from(document.getElementById('playfield')
  .getContext('2d').getImageData(x, y, 1, 1).data).slice(0, 3).join(',') === '255,255,0', { timeout: 10000 }, x, y)
  .then(() => true, () => false);
// Keyboard: the playfield takes the focus; arrows move the marker (Shift: ten pixels), Delete clears.
const keyed2 = await open(pageUrl);
await running(keyed2);
await keyed2.mouse.move(10 + 220, 10 + 70);
await keyed2.focus('#playfield');
await keyed2.keyboard.down('Shift');
for (let n = 0; n < 3; ++n) await keyed2.keyboard.press('ArrowLeft');
await keyed2.keyboard.up('Shift');
await keyed2.keyboard.press('ArrowDown');
check(await yellowAt(keyed2, 190, 71), 'the arrow keys did not move the marker to (190, 71)');
await sleep(1500); // shots in flight
check(await clearsAfter(keyed2, () => keyed2.keyboard.press('Delete'), [[134, 134], [174, 55]], 'keydown'),
  'Delete on the playfield did not clear the shots');
await keyed2.close();

// A phone: 390 x 844, touch, three device pixels a CSS pixel. The form is
// scaled to the screen, nothing is wider than it, a finger's drag steers
// the marker, a two-finger tap clears.
const phone = await browser.newPage();
pageErrors(phone);
await phone.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
await phone.goto(pageUrl + '#study&step=30&shots=2');
await phone.bringToFront();
await running(phone);
await finished(phone);
check(await phone.evaluate(() => document.documentElement.scrollWidth <= document.documentElement.clientWidth),
  'the phone-sized page scrolls sideways');
const box = await phone.evaluate(() => { const r = document.getElementById('playfield').getBoundingClientRect();
  return [r.left, r.top, r.width / 300]; });
const screenAt = (x, y) => [box[0] + x * box[2], box[1] + y * box[2]];
await phone.touchscreen.touchStart(...screenAt(100.5, 100.5));
for (let n = 1; n <= 10; ++n) await phone.touchscreen.touchMove(...screenAt(100.5 + 10 * n, 100.5 + 5 * n));
await phone.touchscreen.touchEnd();
check(await yellowAt(phone, 200, 150), 'a finger dragged to (200, 150) did not move the marker there');
await sleep(1500);
const touch = await phone.createCDPSession();
const [ax, ay] = screenAt(60.5, 240.5), [bx, by] = screenAt(240.5, 240.5);
check(await clearsAfter(phone, async () => {
  await touch.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: ax, y: ay, id: 1 }, { x: bx, y: by, id: 2 }] });
  await touch.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}, [[134, 134], [44, 224], [224, 224], [184, 134]], 'pointerdown'), 'a two-finger tap did not clear the shots');
// The maps' box contains its paint: an axis number past its edge is cut off.
const axisNumbersInside = () => phone.evaluate(() => {
  const box = document.getElementById('study-maps').getBoundingClientRect();
  return [...document.querySelectorAll('#study-maps .axis > span')].every((span) => {
    const at = span.getBoundingClientRect();
    return at.left >= box.left - 0.5 && at.right <= box.right + 0.5; // (a glyph's side bearing may pass by less)
  });
});
check(await axisNumbersInside(), 'an axis number of the maps is cut off at 390 px');
// A tap on a map puts the place's answer on the phone's screen.
await phone.evaluate(() => document.getElementById('study-map-1').scrollIntoView({ block: 'center' }));
await sleep(200);
const mapBox = await phone.evaluate(() => { const r = document.getElementById('study-map-1').getBoundingClientRect();
  return [r.left + r.width / 2, r.top + r.height / 3]; });
await phone.touchscreen.tap(mapBox[0], mapBox[1]);
await sleep(300);
check(await phone.evaluate(() => { const r = document.getElementById('study-place').getBoundingClientRect();
  return r.top >= 0 && r.bottom <= innerHeight && !document.getElementById('study-place').textContent.startsWith('Choose'); }),
  'a tap on a map left the place\'s answer off the phone\'s screen');
// The first screen says what the page is and what to do, and every method,
// the reference laws too, is a finger's target (44 px tall, 16 px text) on a
// phone, named in English; choosing one flies it.
const firstScreen = () => phone.evaluate(() => {
  const seen = (id) => { const r = document.getElementById(id).getBoundingClientRect(); return r.height > 0 && r.bottom <= innerHeight + scrollY; };
  const choices = [...document.querySelectorAll('#choices label')].map((label) => {
    const r = label.getBoundingClientRect();
    return [r.height, parseFloat(getComputedStyle(label).fontSize), label.textContent];
  });
  return { title: seen('intro'), choices };
});
for (const width of [390, 320]) {
  await phone.setViewport({ width, height: 844, isMobile: true, hasTouch: true });
  await phone.evaluate(() => scrollTo(0, 0));
  await sleep(300);
  const { title, choices } = await firstScreen();
  check(title, `the title and what to do are not on the first screen at ${width} px`);
  check(choices.length === 9 && choices.every(([height, font]) => height >= 44 && font >= 16) &&
        /proportional navigation/.test(choices[7][2]),
    `the methods at ${width} px are not a finger's: ${JSON.stringify(choices.map(([h, f]) => [h, f]))}`);
}
await phone.tap('#choices input[value="7"]');
await sleep(200);
check(await phone.evaluate(() => document.querySelector('#choices input[value="7"]').checked &&
  ![...document.querySelectorAll('input[name=Option1]')].some((radio) => radio.checked)),
  'choosing proportional navigation did not fly it (or left an option button checked)');
// The small print, readable at every width: the sweep's value buttons hold
// their values, the maps' axis numbers stand apart, the table's text is not
// shrunk below 12 px, and the colour legend's words reach a screen reader.
await phone.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 60000 });
const smallPrint = () => phone.evaluate(() => {
  const buttons = [...document.querySelectorAll('#study-sweep .values button')];
  const spills = buttons.filter((b) => b.scrollWidth > b.clientWidth + 1 || b.getBoundingClientRect().width < 44).length;
  const xs = [...document.querySelectorAll('#study-map-0 ~ .axis > span.x')].map((s) => s.getBoundingClientRect());
  const overlaps = xs.some((r, n) => n && r.left < xs[n - 1].right);
  const table = document.querySelector('#study .which-law td');
  return { buttons: buttons.length, spills, overlaps, font: parseFloat(getComputedStyle(table).fontSize),
           legendHidden: !!document.querySelector('#study .legend[aria-hidden]') };
});
for (const width of [390, 320, 768, 1280]) {
  await phone.setViewport({ width, height: 844, isMobile: width < 768, hasTouch: width < 768 });
  await sleep(300);
  await phone.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 60000 }); // a new isMobile reloads
  const print = await smallPrint();
  check(print.buttons > 0 && print.spills === 0 && !print.overlaps && print.font >= 12 && !print.legendHidden,
    `the small print at ${width} px: ${JSON.stringify(print)}`);
}
for (const width of [320, 768, 1280]) {
  await phone.setViewport({ width, height: 844, isMobile: width < 768, hasTouch: width < 768 });
  await sleep(300);
  check(await phone.evaluate(() => document.documentElement.scrollWidth <= document.documentElement.clientWidth),
    `the page scrolls sideways at ${width} px`);
  check(await axisNumbersInside(), `an axis number of the maps is cut off at ${width} px`);
}
await phone.close();

// What is hidden is hidden; a change of settings closes the open place and
// shot; a decimal comma is said, not read as another number.
const opened = await open(pageUrl + '#study&step=10&shots=4&seed=7&place=2,150,80&shot=1&frame=12');
await finished(opened);
await opened.waitForFunction(() => !document.getElementById('study-shot').hidden, { timeout: 30000 });
await opened.click('#study-back');
const displayed = (page, id) => page.evaluate((id) => getComputedStyle(document.getElementById(id)).display !== 'none', id);
check(!(await displayed(opened, 'study-frame')) && await displayed(opened, 'study-trails') && !(await displayed(opened, 'study-held')),
  'after "Back to the place" the shot\'s frame or the held draw still shows');
await opened.click('#study-shots', { clickCount: 3 });
await opened.keyboard.type('3');
await opened.keyboard.press('Enter');
await opened.waitForFunction(() => document.getElementById('study-shots-list').children.length === 0 &&
  document.getElementById('study-place-title').textContent === 'Every shot of one place', { timeout: 10000 })
  .catch(() => {});
check(await opened.evaluate(() => document.getElementById('study-shots-list').children.length) === 0,
  'a change of settings left the old place\'s shots on screen');
await finished(opened);
await opened.click('input[name=study-draws][value=fixed]');
await finished(opened);
await opened.click('#study-draw', { clickCount: 3 });
await opened.keyboard.type('0,75');
await opened.keyboard.press('Enter');
await opened.waitForFunction(() => location.hash.includes('draws=0.75'), { timeout: 10000 }).catch(() => {});
check(await opened.evaluate(() => location.hash.includes('draws=0.75')),
  'a decimal comma was not read as a point: ' + await opened.evaluate(() => location.hash + ' ' + document.body.dataset.study));
await opened.close();

// axe-core finds no critical or serious violation, on a desktop and on a phone.
for (const [width, touchScreen] of [[1280, false], [390, true]]) {
  const page = await browser.newPage();
  await page.setViewport({ width, height: 900, isMobile: touchScreen, hasTouch: touchScreen });
  await page.goto(pageUrl + '#study&step=10&shots=2&place=8,150,80&shot=0&frame=5');
  await finished(page);
  await page.addScriptTag({ path: join(dirname(fileURLToPath(import.meta.url)), 'node_modules/axe-core/axe.min.js') });
  const violations = await page.evaluate(() => axe.run(document, { resultTypes: ['violations'] }).then((r) =>
    r.violations.filter((v) => v.impact === 'critical' || v.impact === 'serious').map((v) => `${v.impact} ${v.id}`)));
  check(violations.length === 0, `axe-core at ${width} px: ${violations.join(', ')}`);
  await page.close();
}

check(errors.length === 0, 'console errors: ' + errors.join('; '));
await browser.close();
rmSync(work, { recursive: true, force: true });
console.log(`page: ${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
