// measure.mjs PAGE [ROUNDS]: the web page's figures in Debian's headless
// Chromium: its size, the time from navigation to its first frame, one frame
// (simulate and draw) averaged over 1,000 frames; and the study's: its
// default maps from the address to done, from a change of a setting to the
// first complete coarse picture and to done, and the longest task on the
// page's main thread while the workers compute (the Long Tasks API), and its
// sweep (every method's every draw at ten values) from the address to done; the
// longest task while a view with a place and a shot opens (from navigation to
// done) and while the reader chooses places on the maps. Each
// timing is the median of ROUNDS (3) fresh pages. THROTTLE=4 slows the
// page's thread four times (Chromium's CPU throttling), as on a slower
// machine, to find the tasks that would grow past 50 ms there. From the
// project's root:
//   node tests/web/measure.mjs build-web/web/index.html
import { statSync } from 'node:fs';
import { resolve } from 'node:path';
import puppeteer from 'puppeteer-core';

const page = resolve(process.argv[2] || 'build-web/web/index.html');
const rounds = Number(process.argv[3] || 3);
const throttle = Number(process.env.THROTTLE || 1);
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium', headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
async function open(address) {
  const tab = await browser.newPage();
  await tab.setViewport({ width: 1300, height: 900 });
  // Every task longer than 50 ms on the main thread, from the start.
  await tab.evaluateOnNewDocument(() => {
    window.longTasks = [], window.taskEnds = [];
    new PerformanceObserver((list) => list.getEntries().forEach((entry) => (window.longTasks.push(entry.duration),
                                                                             window.taskEnds.push(entry.startTime + entry.duration))))
      .observe({ entryTypes: ['longtask'] });
  });
  if (throttle > 1)
    await (await tab.target().createCDPSession()).send('Emulation.setCPUThrottlingRate', { rate: throttle });
  await tab.goto('file://' + page + address);
  await tab.bringToFront();
  return tab;
}
const done = (tab) => tab.waitForFunction(() => document.body.dataset.study === 'done', { timeout: 60000 });

const firstFrames = [], perFrames = [], defaults = [], sweeps = [], coarse = [], changed = [], longest = [];
const opening = [], openingLater = [], choosing = [], workersReady = [];
// A view the page links to: a place of a guidance law against a circling marker, one shot, a frame.
const View = '#study&step=4&shots=8&seed=1&motion=circle,60,60&place=7,100,40&shot=0&frame=10';
// Polled from here: the page's own animation frames would be polled by waitForFunction.
async function until(tab, ready) {
  for (let tries = 0; !(await tab.evaluate(ready)); ++tries) {
    if (tries > 1200) throw new Error('the page did not get there: ' + ready);
    await new Promise((wake) => setTimeout(wake, 50));
  }
}
for (let round = 0; round < rounds; ++round) {
  const demo = await open('');
  await demo.waitForFunction(() => performance.getEntriesByName('first-frame').length > 0, { timeout: 10000 });
  firstFrames.push(await demo.evaluate(() => performance.getEntriesByName('first-frame')[0].startTime));
  await demo.evaluate(() => Module._MeasureFrames(200)); // warm up
  perFrames.push(await demo.evaluate(() => Module._MeasureFrames(1000) / 1000));
  await demo.close();

  const tab = await open('#study');
  await done(tab);
  defaults.push(await tab.evaluate(() => study.state.doneStamp)); // from navigation
  workersReady.push(await tab.evaluate(() => Math.max(...study.state.workers.map((entry) => entry.readyIn))));
  await tab.waitForFunction(() => document.body.dataset.sweep === 'done', { timeout: 120000, polling: 10 });
  sweeps.push(await tab.evaluate(() => performance.now()));
  // A change of a setting, as the reader makes it: the shots a place.
  await tab.evaluate(() => { window.longTasks = []; });
  const figures = await tab.evaluate(() => new Promise((finished) => {
    const changedAt = performance.now();
    const input = document.getElementById('study-shots');
    input.value = 9;
    input.dispatchEvent(new Event('change'));
    const look = () => document.body.dataset.study === 'done'
      ? finished([study.state.coarseStamp - changedAt, study.state.doneStamp - changedAt]) : setTimeout(look, 5);
    look();
  }));
  coarse.push(figures[0]), changed.push(figures[1]);
  longest.push(await tab.evaluate(() => Math.max(0, ...window.longTasks)));
  await tab.close();

  const view = await open(View);
  await until(view, () => document.body.dataset.study === 'done' && study.state.shot >= 0);
  // The longest of all, and of those after the demonstration's first frame (the page's own loading before).
  const [all, later] = await view.evaluate(() => {
    const first = performance.getEntriesByName('first-frame')[0].startTime;
    return [Math.max(0, ...window.longTasks), Math.max(0, ...window.longTasks.filter((_, n) => window.taskEnds[n] > first))];
  });
  opening.push(all), openingLater.push(later);
  // Places chosen as a reader does, in the same view (its circling marker moves every frame of every
  // shot's script): a click on each of five maps, each at a place of its own.
  await until(view, () => document.body.dataset.sweep === 'done');
  await view.evaluate(() => { window.longTasks = []; });
  for (const [mode, x, y] of [[0, 40, 40], [2, 152, 200], [4, 260, 60], [6, 100, 280], [8, 200, 120]]) {
    const box = await (await view.$('#study-map-' + mode)).boundingBox();
    await view.mouse.click(box.x + (x * box.width) / 300, box.y + (y * box.height) / 300);
    await new Promise((wake) => setTimeout(wake, 150));
  }
  choosing.push(await view.evaluate(() => Math.max(0, ...window.longTasks)));

  await view.close();
}
await browser.close();
const ms = (value) => `${value.toFixed(0)} ms`;
console.log(`page size              ${(statSync(page).size / 1024).toFixed(0)} KB (one file, everything in it)`);
console.log(`first frame            ${ms(median(firstFrames))} after navigation`);
console.log(`one frame              ${(median(perFrames) * 1000).toFixed(1)} µs (simulate and draw, mean of 1,000)`);
console.log(`workers ready          ${ms(median(workersReady))} from their creation (the slowest; handed the page's compiled module)`);
console.log(`default maps           ${ms(median(defaults))} from navigation to done (--step 4 --shots 8)`);
console.log(`default sweep          ${ms(median(sweeps))} from navigation to done (every draw at 10 values)`);
console.log(`a change: coarse maps  ${ms(median(coarse))} to the first complete coarse picture`);
console.log(`a change: maps done    ${ms(median(changed))}`);
console.log(`longest main task      ${ms(median(longest))} while the workers compute (0: none over 50 ms)`);
console.log(`opening a view         ${ms(median(opening))} longest main task, navigation to done (a place, a shot);`);
console.log(`                       ${ms(median(openingLater))} after the first frame`);
console.log(`choosing a place       ${ms(median(choosing))} longest main task, a click on each of five maps (in that view)`);
console.log(`(medians of ${rounds} rounds, fresh pages each${throttle > 1 ? `; the page's thread ${throttle} times slower` : ''})`);
