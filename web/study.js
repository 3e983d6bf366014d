// The study under the demonstration: its settings in the address, the maps
// computed by workers (a coarse grid first), one place's shots, one shot's
// moments, the sweep and the downloads. Every number and its text comes
// from the page's module (Study.cpp); this is the controls and the drawing.
const study = (() => {
  const $ = (id) => document.getElementById(id);
  const text = (pointer) => UTF8ToString(pointer);
  const call = (name, ...args) => Module['_' + name](...args);
  const Size = 300, CoarseStep = 20, SweepValues = 10;
  let Modes = 0, Methods = []; // the module's methods, once it runs: a record each
  const state = {
    workers: [], queue: [], mapKey: '', sweepKey: '', stage: '', rows: 0, arrived: 0, step: 0,
    began: 0, coarseStamp: 0, doneStamp: 0, done: false, place: null, shot: -1, frames: 0, playing: 0,
    sweepPoints: 0, charts: [], urls: {},
  };

  // ---- the address: "#study&step=4&shots=8...&place=M,X,Y&shot=N&frame=F" ----
  // Read and written by the module alone; the page hands it over and acts on
  // the record it gets back.
  const isStudyAddress = () => Module.ccall('StudyIsAddress', 'number', ['string'], [location.hash.slice(0, 8)]) !== 0;
  function openAddress() {
    const head = location.hash.slice(0, call('StudyMostAddress') + 1); // the module reads no more
    return JSON.parse(Module.ccall('StudyOpenAddress', 'string', ['string', 'number'], [head, location.hash.length]));
  }
  function writeAddress() {
    const place = state.place || { mode: -1, x: 0, y: 0 };
    const frame = state.shot >= 0 ? Number($('study-slider').value) : 0;
    const address = text(call('StudyPageAddress', place.mode, place.x, place.y, state.shot, frame));
    state.written = address;
    if (location.hash !== address) history.replaceState(null, '', address);
  }
  // A bad address says what is wrong, in the page and on <body>, and computes nothing.
  function fail(message) {
    $('study-message').textContent = message;
    $('study-message').hidden = false;
    document.body.dataset.study = 'error: ' + message;
  }

  // ---- the settings form: its values from the module, and back to it by name ----
  const MotionInputs = { line: ['x a frame', 'y a frame'], circle: ['radius', 'period (frames)'],
                         weave: ['amplitude', 'period (frames)'], flee: ['speed'], still: [] };
  // A motion's numbers when it is first chosen: the circle the README measures.
  const MotionDefaults = { line: [0.5, 0], circle: [60, 60], weave: [20, 60], flee: [3], still: [] };
  function fillForm() {
    const form = JSON.parse(text(call('StudyFormRecord')));
    $('study-step').value = form.step;
    $('study-shots').value = form.shots;
    document.querySelector(`input[name=study-draws][value=${form.draws}]`).checked = true;
    $('study-seed').value = form.seed;
    $('study-draw').value = form.draw;
    $('study-limit').checked = form.limit === 'true';
    $('study-motion').value = form.motion;
    showMotionInputs([form.a, form.b].filter((value) => value !== ''));
    $('study-held').hidden = !form.held;
    if (form.held) $('study-held-text').textContent = form.held.replace('=', ' held at r = ');
    state.held = form.held;
  }
  function showMotionInputs(values) {
    const names = MotionInputs[$('study-motion').value];
    ['a', 'b'].forEach((input, n) => {
      $(`study-${input}-label`).hidden = n >= names.length;
      $(`study-${input}-label`).firstChild.textContent = names[n] || '';
      const value = values[n] !== undefined ? values[n] : MotionDefaults[$('study-motion').value][n];
      $(`study-${input}`).value = value !== undefined ? value : '';
    });
  }
  // The form's values as typed, handed to the module by name; it says what is wrong.
  function readForm() {
    const values = { step: $('study-step').value, shots: $('study-shots').value,
      draws: document.querySelector('input[name=study-draws]:checked').value, seed: $('study-seed').value,
      draw: $('study-draw').value, limit: String($('study-limit').checked), motion: $('study-motion').value,
      a: $('study-a').closest('[hidden]') ? '' : $('study-a').value,
      b: $('study-b').closest('[hidden]') ? '' : $('study-b').value, held: state.held };
    for (const [name, value] of Object.entries(values))
      Module.ccall('StudyFormValue', null, ['string', 'string'], [name, value]);
    return Module.ccall('StudyReadForm', 'string', [], []);
  }
  // A whole-number box whose text is not a number is said, never read as another number.
  function badNumber() {
    const box = [...$('study-settings').querySelectorAll('input[type=number]')]
      .find((input) => !input.closest('[hidden]') && input.validity.badInput);
    return box && `${box.getAttribute('aria-label') || box.id} is not a whole number`;
  }
  function settingsChanged() {
    const error = badNumber() || readForm();
    if (error) return fail('The settings were not taken: ' + error);
    closePlace();
    start();
  }
  // Nothing on screen belongs to other settings: the place and its shot close.
  function closePlace() {
    state.place = null, state.shot = -1, state.trails = [];
    stop();
    showShotView(false);
    $('study-place-title').textContent = 'Every shot of one place';
    $('study-place').textContent = 'Choose a place on a map.';
    $('study-shots-list').textContent = '';
    $('study-trails').getContext('2d').clearRect(0, 0, Size, Size);
  }

  // ---- the workers: one per core, at most 8, each running the page's module ----
  function startWorkers() {
    const scripts = document.getElementsByTagName('script'), module = scripts[scripts.length - 1]; // the last
    const source = new Blob([$('study-worker').textContent, module.textContent], { type: 'text/javascript' });
    const url = URL.createObjectURL(source);
    const count = Math.max(1, Math.min(8, navigator.hardwareConcurrency || 2));
    for (let n = 0; n < count; ++n) {
      const entry = { worker: new Worker(url), ready: false, job: null };
      entry.worker.onmessage = (event) => received(entry, event.data);
      entry.worker.onerror = (event) => {
        event.preventDefault();
        fail('A worker could not compute the maps: ' + (event.message || 'it did not start'));
      };
      state.workers.push(entry);
    }
  }
  function received(entry, message) {
    if (message.kind === 'ready') entry.ready = true;
    else if (message.kind === 'error') fail('A worker could not compute the maps: ' + message.message);
    else {
      entry.job = null;
      if (message.kind === 'map' && message.key === state.mapKey) rowsArrived(message);
      if (message.kind === 'sweep' && message.key === state.sweepKey) sweepPointArrived(message);
    }
    pump();
  }
  function pump() {
    for (const entry of state.workers)
      if (entry.ready && !entry.job && state.queue.length) {
        entry.job = state.queue.shift();
        entry.worker.postMessage(entry.job);
      }
  }

  // ---- the maps: a coarse grid, then the settings' own ----
  function start() {
    $('study-message').hidden = true;
    fillForm();
    writeAddress();
    $('study-command').textContent = 'homing-sim --map maps.csv ' + text(call('StudyOptions'));
    state.began = performance.now();
    state.done = false;
    document.body.dataset.study = 'computing';
    for (const link of ['study-csv', 'study-png']) $(link).removeAttribute('href');
    const step = call('StudyStep');
    beginMap(step < CoarseStep ? CoarseStep : step, step < CoarseStep ? 'coarse' : 'fine');
    const sweepKey = text(call('StudyOptionsAt', call('StudySweepStep'), 1));
    if (sweepKey !== state.sweepKey) beginSweep(sweepKey);
  }
  function beginMap(step, stage) {
    state.stage = stage, state.step = step, state.arrived = 0, state.csv = [];
    state.rows = call('StudyBeginMap', step);
    state.mapKey = text(call('StudyOptionsAt', step, 0));
    state.queue = state.queue.filter((job) => job.kind !== 'map');
    // Bands of rows of about 30 ms each, at least two jobs a worker.
    const rowCost = state.rows * Number($('study-shots').value) * Modes * 0.003;
    const band = Math.max(1, Math.min(Math.ceil(state.rows / (2 * state.workers.length)), Math.round(30 / rowCost)));
    const jobs = [];
    for (let first = 0; first < state.rows; first += band)
      jobs.push({ kind: 'map', key: state.mapKey, settings: state.mapKey, first,
                  last: Math.min(state.rows - 1, first + band - 1) });
    state.queue.unshift(...jobs); // before the sweep's
    pump();
    status();
  }
  function rowsArrived({ first, last, bytes, csv }) {
    const expected = (last - first + 1) * state.rows * Modes * call('StudyPlaceBytes');
    if (bytes.length !== expected) return fail(`A worker sent ${bytes.length} bytes for rows ${first} to ${last}, not ${expected}`);
    const at = call('StudyRows', first);
    HEAPU8.set(bytes, at);
    call('StudyRowsArrived', first, last);
    state.csv[first] = csv; // the map's CSV lines of these rows, written by the worker
    const top = call('StudyPaintedTop'), bottom = call('StudyPaintedBottom');
    for (let mode = 0; mode < Modes; ++mode) putPanel(mode, top, bottom);
    state.arrived += last - first + 1;
    if (state.arrived < state.rows) return status();
    if (state.stage === 'coarse') {
      state.coarseStamp = performance.now();
      return beginMap(call('StudyStep'), 'fine');
    }
    mapsDone();
  }
  // Rows `top` to `bottom` of a method's panel, as the module painted them.
  function putPanel(mode, top, bottom) {
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, call('StudyPanel', mode), Size * Size * 4), Size, Size);
    $('study-map-' + mode).getContext('2d').putImageData(image, 0, 0, 0, top, Size, bottom - top);
  }
  function mapsDone() {
    state.done = true;
    state.doneStamp = performance.now();
    call('StudyMapDone');
    for (let mode = 0; mode < Modes; ++mode) {
      putPanel(mode, 0, Size);
      $('study-mostly-' + mode).textContent = `half or more caught at ${call('StudyMostlyCaught', mode)} % of places`;
    }
    offer('study-csv', new Blob([text(call('StudyMapCsvHead')), ...state.csv.filter((rows) => rows !== undefined)],
                                { type: 'text/csv' }));
    mapsPicture().toBlob((blob) => offer('study-png', blob, 'image/png'));
    status();
    document.body.dataset.study = 'done';
    if (state.pending) {
      const own = state.pending;
      state.pending = null;
      restore(own);
    }
  }
  function bytesOf(pointer) {
    return HEAPU8.slice(pointer, pointer + call('StudyTextLength'));
  }
  function offer(link, data, type) {
    if (state.urls[link]) URL.revokeObjectURL(state.urls[link]);
    state.urls[link] = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
    $(link).href = state.urls[link];
  }
  function status() {
    const share = state.rows ? Math.round((100 * state.arrived) / state.rows) : 0;
    $('study-status').textContent = state.done
      ? 'The maps are done: ' +
        (state.coarseStamp > state.began ? `coarse grid in ${Math.round(state.coarseStamp - state.began)} ms, ` : '') +
        `all in ${Math.round(state.doneStamp - state.began)} ms ` +
        `(${state.workers.length} workers).`
      : `Computing the maps${state.stage === 'fine' ? '' : ' on a coarse grid first'}: ${share} %.`;
  }
  // The maps as the page draws them, with their names, figures and settings.
  function mapsPicture() {
    const picture = document.createElement('canvas');
    picture.width = 3 * (Size + 16) + 16, picture.height = 2 * (Size + 56) + 60;
    const context = picture.getContext('2d');
    context.fillStyle = '#ececec';
    context.fillRect(0, 0, picture.width, picture.height);
    context.fillStyle = '#000';
    for (let mode = 0; mode < Modes; ++mode) {
      const left = 16 + (mode % 3) * (Size + 16), top = 8 + Math.floor(mode / 3) * (Size + 56);
      context.font = '13px sans-serif';
      context.fillText(`${mode} ${Methods[mode].name}  ${Methods[mode].caption}`, left, top + 14);
      context.drawImage($('study-map-' + mode), left, top + 20);
      context.font = '11px sans-serif';
      context.fillText($('study-mostly-' + mode).textContent, left, top + Size + 34);
    }
    context.drawImage($('study-scale'), 16, picture.height - 48);
    context.fillText('median frames to the catch, 0 to 500 (square root); grey: fewer than half caught; red: the catch boundary',
                     16, picture.height - 20);
    context.fillText('homing-sim --map maps.png ' + text(call('StudyOptions')), 16, picture.height - 6);
    return picture;
  }
  function drawScale() {
    const context = $('study-scale').getContext('2d');
    for (let x = 0; x < 240; ++x) {
      const rgb = call('StudyScaleColour', (x + 0.5) / 240);
      context.fillStyle = '#' + rgb.toString(16).padStart(6, '0');
      context.fillRect(x, 0, 1, 14);
    }
  }

  // ---- every shot of one place ----
  function placeAt(mode, column, row) {
    const step = call('StudyStep'), rows = state.rows;
    column = Math.max(0, Math.min(rows - 1, column)), row = Math.max(0, Math.min(rows - 1, row));
    choosePlace(mode, column * step, row * step);
  }
  function choosePlace(mode, x, y) {
    if (!state.done) return;
    const step = call('StudyStep');
    state.place = { mode, x, y };
    state.shot = -1;
    const name = Methods[mode].name;
    $('study-place-title').textContent = `Every shot of the place (${x}, ${y}), ${name}`;
    $('study-place').textContent = `${name} at (${x}, ${y}): ` + text(call('StudyPlaceText', mode, x / step, y / step));
    const shots = call('StudyTrails', mode, x, y);
    state.trails = [];
    const list = $('study-shots-list');
    list.textContent = '';
    for (let shot = 0; shot < shots; ++shot) {
      const frames = call('StudyTrailFrames', shot), ended = call('StudyTrailEnded', shot);
      const at = call('StudyTrailPoints', shot);
      const points = new Float32Array(HEAPF32.buffer, at, 2 * frames).slice();
      state.trails.push({ frames, ended, points });
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = `shot ${shot}: ` + (ended === 1 ? `caught in ${frames} frames` : 'missed');
      button.setAttribute('aria-pressed', 'false');
      button.style.borderLeft = `6px solid ${TrailColour(shot)}`; // the colour of its trail
      button.addEventListener('click', () => chooseShot(shot));
      list.append(button);
    }
    showShotView(false);
    drawTrails();
    drawPlaceCursor();
    writeAddress();
  }
  function drawLauncher(context) {
    context.beginPath();
    context.arc(150, 150, 4, 0, 2 * Math.PI);
    context.fillStyle = '#000';
    context.strokeStyle = '#fff';
    context.lineWidth = 2;
    context.fill();
    context.stroke();
  }
  const TrailColour = (shot) => `hsl(${(shot * 137.508) % 360}, 75%, 42%)`;
  function drawTrails() {
    const context = $('study-trails').getContext('2d');
    context.fillStyle = '#fff';
    context.fillRect(0, 0, Size, Size);
    drawLauncher(context);
    state.trails.forEach(({ points, ended }, shot) => {
      context.strokeStyle = TrailColour(shot);
      context.lineWidth = shot === state.shot ? 2.5 : 1.2;
      context.beginPath();
      for (let n = 0; n < points.length; n += 2) context[n ? 'lineTo' : 'moveTo'](points[n], points[n + 1]);
      context.stroke();
      const x = points[points.length - 2], y = points[points.length - 1];
      context.fillStyle = context.strokeStyle;
      if (ended === 1) context.fillRect(x - 2, y - 2, 4, 4);
    });
    const { x, y } = state.place;
    context.strokeStyle = '#000';
    context.lineWidth = 1;
    context.strokeRect(x - 4.5, y - 4.5, 9, 9); // the marker's place
  }
  function drawPlaceCursor() {
    for (let mode = 0; mode < Modes; ++mode) {
      const context = $('study-cursor-' + mode).getContext('2d');
      context.clearRect(0, 0, Size, Size);
      if (!state.place) continue;
      context.strokeStyle = mode === state.place.mode ? '#fff' : 'rgba(255,255,255,0.6)';
      context.lineWidth = 2;
      context.strokeRect(state.place.x - 5, state.place.y - 5, 10, 10);
    }
  }

  // ---- one shot, every moment ----
  function chooseShot(shot) {
    state.shot = shot;
    state.frames = call('StudyChooseShot', shot);
    $('study-script').value = text(call('StudyShotScript'));
    offer('study-script-link', new Blob([$('study-script').value], { type: 'text/plain' }));
    const slider = $('study-slider');
    slider.max = state.frames;
    slider.value = 1;
    for (const [n, button] of [...$('study-shots-list').children].entries())
      button.setAttribute('aria-pressed', String(n === shot));
    showRule();
    showShotView(true);
    showFrame(1);
  }
  // The method's step as the simulation's source has it (made at build time).
  function showRule() {
    const rule = StepSources[state.place.mode];
    $('study-rule-name').textContent = rule.step;
    $('study-rule-file').textContent = 'simulation/' + rule.file;
    $('study-rule-code').textContent = rule.code;
    $('study-rule-calls').textContent = rule.calls || '(nothing)';
    $('study-rule-launch').textContent = Methods[state.place.mode].launch;
    $('study-rule-copied').textContent = '';
  }
  // The fields of the shot's record the step names, after frame `frame`.
  function showRecord(frame) {
    const code = StepSources[state.place.mode].code;
    $('study-rule-record').textContent = text(call('StudyShotRecord', frame)).split('\n')
      .filter((line) => line && code.includes(line.split(' = ')[0])).join('\n');
  }
  function showShotView(shown) {
    $('study-shot').hidden = !shown;
    $('study-frame').hidden = !shown;
    $('study-trails').hidden = shown;
    if (!shown) stop(), $('study-overlay').getContext('2d').clearRect(0, 0, Size, Size);
    else $('study-slider').focus();
  }
  function showFrame(frame) {
    frame = Math.max(1, Math.min(state.frames, frame));
    $('study-slider').value = frame;
    const rgba = call('StudyDrawShotFrame', frame);
    $('study-frame').getContext('2d').putImageData(
      new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, Size * Size * 4).slice(), Size, Size), 0, 0);
    const { x, y, speed, heading, turn, radius, markerX: mx, markerY: my, distance, ended, largestTurn: largest,
      meanTurn: mean, guide, aimX: gx, aimY: gy, sightTurn } = JSON.parse(text(call('StudyShotFigures', frame)));
    const turning = Methods[state.place.mode].turns;
    let words = `Frame ${frame} of ${state.frames}` +
      (ended === 1 ? ': caught.' : ended === 2 ? ': its life ends.' : '.') +
      ` Speed ${speed.toFixed(2)} px a frame, heading ${heading.toFixed(1)}°, ` +
      (turning ? `turning at most ${Math.abs(turn).toFixed(2)}° a frame (its own rate)` :
                 `turned ${turn.toFixed(2)}° since the frame before`) +
      `; ${distance.toFixed(2)} px from the marker. So far it has turned at most ${largest.toFixed(2)}° ` +
      `a frame, ${mean.toFixed(2)}° on average (its turn demand).`;
    if (guide === 'line of sight' && frame > 1)
      words += ` The line of sight turned ${sightTurn.toFixed(2)}° since the frame before (dashed).`;
    if (guide === 'intercept' && frame > 1)
      words += gx === mx && gy === my ? ' It sees no meeting point: it aims at the marker.' :
        ` It aims at the meeting point (${gx.toFixed(1)}, ${gy.toFixed(1)}), the cross.`;
    if (turning && radius > 0)
      words += ` Its tightest turn is a circle of radius ${radius.toFixed(1)} px` +
        (!ended && distance < radius ? ': a marker this near, beside its heading, can be out of its reach.' : '.');
    $('study-moment').textContent = words;
    showRecord(frame);
    const overlay = $('study-overlay').getContext('2d');
    overlay.clearRect(0, 0, Size, Size);
    overlay.lineWidth = 1.5;
    overlay.strokeStyle = 'rgba(26, 95, 180, 0.9)';
    overlay.beginPath();
    overlay.moveTo(x, y);
    overlay.lineTo(mx, my);
    overlay.setLineDash([3, 3]);
    overlay.stroke();
    overlay.setLineDash([]);
    overlay.beginPath();
    overlay.arc(x, y, 10, 0, 2 * Math.PI); // this shot, among the launcher's others
    overlay.stroke();
    if (guide === 'intercept' && (gx !== mx || gy !== my)) { // the lead chase's meeting point
      overlay.strokeStyle = 'rgba(20, 130, 60, 0.95)';
      overlay.beginPath();
      overlay.moveTo(x, y), overlay.lineTo(gx, gy);
      overlay.moveTo(gx - 5, gy - 5), overlay.lineTo(gx + 5, gy + 5);
      overlay.moveTo(gx - 5, gy + 5), overlay.lineTo(gx + 5, gy - 5);
      overlay.stroke();
    }
    if (turning && radius > 0 && radius < 5000) {
      // The circle it turns on, on the side of the marker.
      const vx = Math.cos((heading * Math.PI) / 180), vy = Math.sin((heading * Math.PI) / 180);
      const side = vx * (my - y) - vy * (mx - x) >= 0 ? 1 : -1;
      overlay.strokeStyle = 'rgba(235, 40, 60, 0.9)';
      overlay.beginPath();
      overlay.arc(x - side * vy * radius, y + side * vx * radius, radius, 0, 2 * Math.PI);
      overlay.stroke();
    }
    writeAddress();
  }
  function play() {
    if (state.playing) return stop();
    if (Number($('study-slider').value) >= state.frames) showFrame(1);
    $('study-play').textContent = 'Pause';
    let last = performance.now();
    const tick = (now) => {
      if (!state.playing) return;
      if (now - last >= 25) {
        last = now;
        const frame = Number($('study-slider').value) + 1;
        showFrame(frame);
        if (frame >= state.frames) return stop();
      }
      state.playing = requestAnimationFrame(tick);
    };
    state.playing = requestAnimationFrame(tick);
  }
  function stop() {
    cancelAnimationFrame(state.playing);
    state.playing = 0;
    $('study-play').textContent = 'Play';
  }
  async function copyScript() {
    await copied($('study-script').value, 'study-copied');
  }
  async function copyRule() {
    const rule = StepSources[state.place.mode];
    await copied(rule.code + (rule.calls ? '\n\n' + rule.calls : '') + '\n', 'study-rule-copied');
  }
  // Copies `words` to the clipboard (or, where it is refused, by a selection) and says so.
  async function copied(words, said) {
    try {
      await navigator.clipboard.writeText(words);
    } catch (error) {
      const box = document.createElement('textarea');
      box.value = words;
      document.body.append(box);
      box.select();
      document.execCommand('copy');
      box.remove();
    }
    $(said).textContent = 'Copied.';
  }

  // ---- every parameter value ----
  function beginSweep(key) {
    state.sweepKey = key, state.sweepPoints = 0;
    call('StudyBeginSweep', SweepValues);
    $('study-sweep-csv').removeAttribute('href');
    document.body.dataset.sweep = 'computing';
    state.queue = state.queue.filter((job) => job.kind !== 'sweep');
    const parameters = call('StudySweepParameters');
    for (let parameter = 0; parameter < parameters; ++parameter)
      for (let value = 0; value < SweepValues; ++value)
        state.queue.push({ kind: 'sweep', key, settings: key, parameter, value, values: SweepValues });
    buildCharts(parameters);
    sweepStatus();
    pump();
  }
  function sweepPointArrived({ parameter, value, bytes }) {
    if (bytes.length !== call('StudySweepPointBytes'))
      return fail(`A worker sent ${bytes.length} bytes for a point of the sweep, not ${call('StudySweepPointBytes')}`);
    const point = call('StudySweepPoint', parameter, value);
    HEAPU8.set(bytes, point);
    ++state.sweepPoints;
    const total = call('StudySweepParameters') * SweepValues;
    sweepStatus();
    // A chart as soon as its points are in: one short task each, not all in one at the end.
    if (++state.charts[parameter].arrived === SweepValues) drawChart(parameter);
    if (state.sweepPoints < total) return;
    offer('study-sweep-csv', bytesOf(call('StudySweepCsv')), 'text/csv');
    document.body.dataset.sweep = 'done';
  }
  function sweepStatus() {
    const total = call('StudySweepParameters') * SweepValues;
    $('study-sweep-status').textContent = state.sweepPoints < total
      ? `Computing the sweep: ${Math.round((100 * state.sweepPoints) / total)} %.`
      : `The sweep is done: homing-sim --sweep sweep.csv ${state.sweepKey}`;
  }
  function buildCharts(parameters) {
    const box = $('study-sweep');
    box.textContent = '';
    state.charts = [];
    for (let parameter = 0; parameter < parameters; ++parameter) {
      const mode = call('StudySweepMode', parameter), draw = text(call('StudySweepDraw', parameter));
      const figure = document.createElement('figure');
      const caption = document.createElement('figcaption');
      const japanese = Methods[mode].caption;
      caption.textContent = `${Methods[mode].name}${japanese ? ` (${japanese})` : ''}: ` +
        text(call('StudySweepMeaning', parameter));
      const canvas = document.createElement('canvas');
      canvas.width = 300, canvas.height = 182;
      const values = document.createElement('div');
      values.className = 'values';
      values.setAttribute('role', 'group');
      values.setAttribute('aria-label', caption.textContent);
      const figures = document.createElement('p');
      figures.className = 'figures';
      figures.id = `study-chart-figures-${parameter}`;
      // The chart's text: its caption, and the chosen value's figures in words.
      canvas.setAttribute('role', 'img');
      canvas.setAttribute('aria-label', 'sweep chart, ' + caption.textContent);
      canvas.setAttribute('aria-describedby', figures.id);
      const chart = document.createElement('div');
      chart.className = 'chart';
      chart.append(canvas, values);
      figure.append(caption, chart, figures);
      box.append(figure);
      state.charts.push({ canvas, values, figures, mode, draw, caption: caption.textContent, arrived: 0 });
      canvas.addEventListener('click', (event) => pickPoint(parameter, event));
    }
  }
  function drawChart(parameter) {
    const { canvas, values, figures, draw } = state.charts[parameter];
    const context = canvas.getContext('2d');
    const points = Array.from({ length: SweepValues }, (_, value) =>
      JSON.parse(text(call('StudySweepFigures', parameter, value))));
    // The module paints the chart and lays out its labels; the page writes them.
    const layout = JSON.parse(text(call('StudySweepChartLayout', parameter)));
    canvas.width = layout.width, canvas.height = layout.height;
    const pixels = call('StudySweepChart', parameter);
    context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, layout.width * layout.height * 4).slice(),
                                       layout.width, layout.height), 0, 0);
    context.fillStyle = '#222';
    context.font = '10px system-ui, sans-serif';
    for (const label of layout.labels) {
      context.textAlign = label.align, context.textBaseline = label.baseline;
      context.fillText(label.text, label.x, label.y);
    }
    if (layout.flat) {
      context.textAlign = 'left', context.textBaseline = 'top';
      context.fillText(layout.words, layout.plot.left + 6, layout.plot.top + 6);
    }
    state.charts[parameter].layout = layout;
    canvas.setAttribute('aria-label', `sweep chart, ${state.charts[parameter].caption}: ${layout.words}`);
    // The value buttons stand under their points: the plot's columns, a value each.
    values.style.marginLeft = `${(100 * layout.plot.left) / layout.width}%`;
    values.style.width = `${(100 * layout.plot.width) / layout.width}%`;
    values.textContent = '';
    for (let value = 0; value < SweepValues; ++value) {
      const button = document.createElement('button');
      button.type = 'button';
      const r = (value + 0.5) / SweepValues, shown = points[value].value; // r as the module makes it
      button.textContent = Number(shown.toPrecision(3)).toString();
      const held = `${draw}=${r}`;
      button.setAttribute('aria-pressed', String(state.held === held));
      const words = `${draw} ${button.textContent} (r = ${r}): at least half caught at ` +
        `${(100 * points[value].mostlyCaught).toFixed(1)} % of places, ${(100 * points[value].caught).toFixed(1)} % ` +
        'of shots caught' + (points[value].median ? `, median ${points[value].median} frames` : '') +
        (points[value].miss !== null ? `, misses within ${points[value].miss.toFixed(2)} px` : '') + '.';
      button.title = words;
      button.addEventListener('focus', () => (figures.textContent = words));
      button.addEventListener('mouseenter', () => (figures.textContent = words));
      button.addEventListener('click', () => hold(held));
      values.append(button);
    }
  }
  // A click on the chart takes the value whose point is nearest across.
  function pickPoint(parameter, event) {
    const { canvas, layout, values } = state.charts[parameter];
    if (!layout) return;
    const x = (event.offsetX * canvas.width) / canvas.clientWidth;
    let nearest = 0;
    layout.points.forEach((at, n) => { if (Math.abs(at - x) < Math.abs(layout.points[nearest] - x)) nearest = n; });
    values.children[nearest].click();
  }
  // Holds a draw at a value for the maps (again: releases it).
  function hold(held) {
    state.held = state.held === held ? '' : held;
    settingsChanged();
    if (document.body.dataset.sweep === 'done') state.charts.forEach((chart, n) => drawChart(n));
  }

  // ---- the page's own keys in the address: a place, a shot, a frame ----
  // The address's place (on the grid, as the module read it), shot and frame.
  function restore(asked) {
    choosePlace(asked.place.mode, asked.place.x, asked.place.y);
    if (!asked.shot) return;
    const shot = Number(asked.shot);
    if (!/^[0-9]+$/.test(asked.shot) || shot >= state.trails.length)
      return fail(`The address's shot=${asked.shot} is not one of the place's shots (0 to ${state.trails.length - 1})`);
    chooseShot(shot);
    if (!asked.frame) return;
    const frame = Number(asked.frame);
    if (!/^[0-9]+$/.test(asked.frame) || frame < 1 || frame > state.frames)
      return fail(`The address's frame=${asked.frame} is not a frame of the shot (1 to ${state.frames})`);
    showFrame(frame);
  }

  // ---- the page's parts, made once ----
  // The pixels along a map's edges, at the painter's ticks (every 50 px).
  function axisNumbers() {
    let html = '<div class="axis" aria-hidden="true">';
    for (let at = 0; at <= Size; at += 50) {
      const along = `calc(2px + (100% - 4px) * ${at / Size})`;
      html += `<span class="x${at === Size ? ' end' : ''}" style="left: ${along}">${at}${at === Size ? ' px' : ''}</span>`;
      if (at) html += `<span class="y" style="top: ${along}">${at}</span>`;
    }
    return html + '</div>';
  }
  function buildMaps() {
    const box = $('study-maps'), methods = $('study-methods').tBodies[0];
    for (let mode = 0; mode < Modes; ++mode) {
      const { name, caption } = Methods[mode];
      // The methods' table: a row each, from the module's method table.
      const row = methods.insertRow();
      row.innerHTML = `<th scope="row"><b></b>${caption ? ' <span lang="ja"></span>' : ''}</th>` +
        '<td data-label="rule"></td><td data-label="launch"></td><td data-label="fails"></td>';
      row.querySelector('b').textContent = `${mode} ${name}`;
      if (caption) row.querySelector('span').textContent = caption;
      ['description', 'launch', 'fails'].forEach((field, n) => (row.cells[n + 1].textContent = Methods[mode][field]));
      const figure = document.createElement('figure');
      figure.className = 'panel';
      figure.innerHTML = `<figcaption><b></b> <span lang="ja"></span><br><span id="study-mostly-${mode}"></span></figcaption>` +
        `<div class="map"><canvas id="study-map-${mode}" width="300" height="300" tabindex="0"></canvas>` +
        `<canvas id="study-cursor-${mode}" width="300" height="300" aria-hidden="true" ` +
        `class="cursor"></canvas>${axisNumbers()}</div>`;
      figure.querySelector('b').textContent = `${mode} ${name}`;
      figure.querySelector('span').textContent = caption;
      box.append(figure);
      const canvas = figure.querySelector('canvas');
      canvas.setAttribute('aria-label', `capture map of the ${name}: arrow keys choose a place, Enter its first shot`);
      canvas.setAttribute('aria-describedby', `study-mostly-${mode} study-place`); // its figures, and the chosen place's
      const fromPointer = (event) => {
        const step = call('StudyStep'), scale = Size / canvas.clientWidth;
        placeAt(mode, Math.floor((event.offsetX * scale) / step), Math.floor((event.offsetY * scale) / step));
      };
      canvas.addEventListener('mousemove', (event) => { if (state.shot < 0) fromPointer(event); });
      canvas.addEventListener('click', fromPointer);
      canvas.addEventListener('focus', () => { if (state.done && (!state.place || state.place.mode !== mode))
        placeAt(mode, (state.place ? state.place.x : 150) / call('StudyStep') | 0,
                (state.place ? state.place.y : 150) / call('StudyStep') | 0); });
      canvas.addEventListener('keydown', (event) => {
        const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
        if (!state.done || !state.place) return;
        const step = call('StudyStep');
        if (moves[event.key]) {
          event.preventDefault();
          placeAt(mode, state.place.x / step + moves[event.key][0], state.place.y / step + moves[event.key][1]);
        } else if (event.key === 'Enter') {
          event.preventDefault();
          chooseShot(0);
        }
      });
    }
  }
  function wire() {
    for (const input of $('study-settings').querySelectorAll('input, select'))
      input.addEventListener('change', () => {
        if (input.id === 'study-motion') showMotionInputs([]);
        settingsChanged();
      });
    $('study-release').addEventListener('click', () => hold(state.held));
    $('study-slider').addEventListener('input', () => showFrame(Number($('study-slider').value)));
    $('study-play').addEventListener('click', play);
    $('study-back').addEventListener('click', () => {
      state.shot = -1;
      showShotView(false);
      drawTrails();
      writeAddress();
    });
    $('study-copy').addEventListener('click', copyScript);
    $('study-rule-copy').addEventListener('click', copyRule);
    // A link to another view of the study, followed in the page.
    window.addEventListener('hashchange', () => {
      if (isStudyAddress() && location.hash !== state.written) open();
    });
  }
  function open() {
    const asked = openAddress();
    if (asked.error) return fail(`The address was not taken: ${asked.error}`);
    closePlace();
    state.pending = asked.place ? asked : null;
    start();
  }

  let begun = false;
  return {
    // After the demonstration's first frame: the study's parts, its workers,
    // and its maps once they are asked for (#study) or scrolled to.
    begin() {
      if (begun) return;
      begun = true;
      Modes = call('StudyMethods');
      Methods = Array.from({ length: Modes }, (_, mode) => JSON.parse(text(call('StudyMethod', mode))));
      buildMaps();
      drawScale();
      wire();
      try {
        startWorkers();
      } catch (error) {
        return fail('The maps cannot be computed here: a worker could not start (' + error.message + ')');
      }
      if (isStudyAddress()) return open();
      call('StudyOpenFirstView');
      fillForm();
      // Nothing is computed for a reader who only plays with the demonstration.
      const seen = new IntersectionObserver((entries) => {
        if (!entries.some((entry) => entry.isIntersecting)) return;
        seen.disconnect();
        start();
      });
      seen.observe($('study-maps'));
    },
    state,
  };
})();
