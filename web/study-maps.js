// The study's maps: a coarse grid, then the settings' own, painted by the module as the workers' rows
// arrive; their axes, status, downloads and the panels made once.
var StudyParts = StudyParts || {};
StudyParts.maps = (S) => {
  const { $, text, call, Size, CoarseStep, state, fail, offer, say } = S;
  // ---- the maps: a coarse grid, then the settings' own ----
  function start() {
    $('study-message').hidden = true;
    S.fillForm();
    S.writeAddress();
    $('study-command').textContent = 'homing-sim --map maps.csv ' + text(call('StudyOptions'));
    state.began = performance.now();
    state.done = false;
    document.body.dataset.study = 'computing';
    for (const link of ['study-csv', 'study-png']) $(link).removeAttribute('href');
    const step = call('StudyStep');
    beginMap(step < CoarseStep ? CoarseStep : step, step < CoarseStep ? 'coarse' : 'fine');
    const sweepKey = text(call('StudyOptionsAt', call('StudySweepStep'), 1));
    if (sweepKey !== state.sweepKey) S.beginSweep(sweepKey);
    else if (document.body.dataset.sweep === 'done') S.showAskedChart();
  }
  function beginMap(step, stage) {
    state.stage = stage, state.step = step, state.arrived = 0, state.csv = [];
    state.rows = call('StudyBeginMap', step);
    state.mapKey = text(call('StudyOptionsAt', step, 0));
    state.queue = state.queue.filter((job) => job.kind !== 'map');
    // Bands of rows of about 30 ms each, at least two jobs a worker.
    const rowCost = state.rows * Number($('study-shots').value) * S.Modes * 0.003;
    const band = Math.max(1, Math.min(Math.ceil(state.rows / (2 * state.workers.length)), Math.round(30 / rowCost)));
    const jobs = [];
    for (let first = 0; first < state.rows; first += band)
      jobs.push({ kind: 'map', key: state.mapKey, settings: state.mapKey, first,
                  last: Math.min(state.rows - 1, first + band - 1) });
    state.queue.unshift(...jobs); // before the sweep's
    S.pump();
    status();
  }
  function rowsArrived({ first, last, bytes, csv }) {
    const expected = (last - first + 1) * state.rows * S.Modes * call('StudyPlaceBytes');
    if (bytes.length !== expected) return fail(`A worker sent ${bytes.length} bytes for rows ${first} to ${last}, not ${expected}`);
    const at = call('StudyRows', first);
    HEAPU8.set(bytes, at);
    call('StudyRowsArrived', first, last);
    state.csv[first] = new Blob([csv]); // the map's CSV lines of these rows, written by the worker: encoded now, not all at the end
    const top = call('StudyPaintedTop'), bottom = call('StudyPaintedBottom');
    for (let mode = 0; mode < S.Modes; ++mode) putPanel(mode, top, bottom);
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
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, call('StudyPanel', mode, top, bottom), Size * Size * 4), Size, Size);
    $('study-map-' + mode).getContext('2d').putImageData(image, 0, 0, 0, top, Size, bottom - top);
  }
  function mapsDone() {
    state.done = true;
    state.doneStamp = performance.now();
    call('StudyMapDone');
    for (let mode = 0; mode < S.Modes; ++mode) {
      putPanel(mode, 0, Size);
      $('study-mostly-' + mode).textContent = `half or more caught at ${call('StudyMostlyCaught', mode)} % of places`;
    }
    status();
    offer('study-csv', new Blob([text(call('StudyMapCsvHead')), ...state.csv.filter((rows) => rows !== undefined)],
                                { type: 'text/csv' }));
    // The address's place and shot, then the picture, each in a task of its own: together they
    // would hold the page's thread too long. The study is done when all are.
    const key = state.mapKey, own = state.pending, shown = () => key === state.mapKey; // not, once other settings came
    state.pending = null;
    const finish = () => setTimeout(() => shown() && offerPicture(() => shown() && (document.body.dataset.study = 'done')));
    if (!own) return finish();
    setTimeout(() => shown() && S.restore(own, finish));
  }
  function offerPicture(offered) {
    const texts = [['Software', text(call('StudyPictureSoftware'))], ['Source', text(call('StudyPictureSource'))]];
    mapsPicture().toBlob(async (blob) => {
      if (!blob) return fail('The browser could not make the maps\' picture');
      offer('study-png', await withTexts(new Uint8Array(await blob.arrayBuffer()), texts), 'image/png');
      offered();
    });
  }
  function status() {
    const share = state.rows ? 10 * Math.floor((10 * state.arrived) / state.rows) : 0; // in tens
    say('study-status', state.done
      ? 'The maps are done: ' +
        (state.coarseStamp > state.began ? `coarse grid in ${Math.round(state.coarseStamp - state.began)} ms, ` : '') +
        `all in ${Math.round(state.doneStamp - state.began)} ms ` +
        `(${state.workers.length} workers).`
      : `Computing the maps${state.stage === 'fine' ? '' : ' on a coarse grid first'}: ${share} %.`);
  }
  // The maps' picture as homing-sim --map lays it out: the panels three
  // across with their captions, axes and figures, then the colour scale and
  // its key, and the settings in words.
  const Gap = 12, Head = 28, Foot = 40, Axis = 26, Under = 13, Legend = 86, Bar = 2 * Size;
  // The picture's canvas, made once and drawn on (its megabytes first touched) in a task of its own.
  function pictureCanvas() {
    if (state.picture) return state.picture;
    const rows = Math.ceil(S.Modes / 3), picture = (state.picture = document.createElement('canvas'));
    picture.width = 3 * (Axis + Size) + 4 * Gap;
    picture.height = rows * (Head + Size + Under + Foot) + (rows + 1) * Gap + Legend;
    const context = picture.getContext('2d');
    context.fillRect(0, 0, picture.width, picture.height);
    context.getImageData(0, 0, 1, 1); // drawn now, not when first asked for
    return picture;
  }
  function mapsPicture() {
    const picture = pictureCanvas(), context = picture.getContext('2d');
    context.fillStyle = '#ececec';
    context.fillRect(0, 0, picture.width, picture.height);
    context.textBaseline = 'middle';
    for (let mode = 0; mode < S.Modes; ++mode) {
      const left = Gap + Axis + (mode % 3) * (Axis + Size + Gap);
      const top = Gap + Math.floor(mode / 3) * (Head + Size + Under + Foot + Gap);
      const { name, caption } = S.Methods[mode];
      context.fillStyle = '#000';
      context.font = '16px sans-serif';
      context.textAlign = 'left';
      context.fillText(caption, left, top + Head / 2);
      const nameLeft = left + (caption ? context.measureText(caption).width + 8 : 0);
      context.fillStyle = '#464646';
      context.font = '13px sans-serif';
      context.fillText(name, nameLeft, top + Head / 2);
      context.drawImage($('study-map-' + mode), left, top + Head);
      context.fillStyle = '#3c3c3c';
      context.font = '9px sans-serif';
      for (let at = 0; at <= Size; at += 50) {
        context.textAlign = 'center';
        context.fillText(at === 0 ? '0' : at + (at === Size ? ' px' : ''), left + at, top + Head + Size + Under / 2);
        context.textAlign = 'right';
        if (at) context.fillText(String(at), left - 3, top + Head + at);
      }
      context.fillStyle = '#000';
      context.font = '12px sans-serif';
      context.textAlign = 'left';
      context.fillText($('study-mostly-' + mode).textContent, left, top + Head + Size + Under + 10);
    }
    // The key, where homing-sim puts it: the scale, its ticks, the grey of a
    // place mostly missed, the launcher and the catch boundary.
    const top = picture.height - Legend - Gap / 2, keyLeft = Gap + Bar + 3 * Gap;
    const scale = call('StudyColourScale', Bar);
    context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, scale, Bar * 21 * 4).slice(), Bar, 21), Gap, top + 18);
    context.font = '12px sans-serif';
    context.fillText('median frames from launch to the catch (square-root scale)', Gap, top + 9);
    context.textAlign = 'center';
    for (const { x, frames } of JSON.parse(text(call('StudyScaleTicks', Bar)))) context.fillText(String(frames), Gap + x, top + 46);
    context.textAlign = 'left';
    const rgb = (value) => '#' + value.toString(16).padStart(6, '0');
    for (let n = 0; n < 5; ++n) {
      context.fillStyle = rgb(call('StudyMissedRgb', n));
      context.fillRect(keyLeft + 16 * n, top + 18, 16, 16);
    }
    context.fillStyle = '#000';
    context.fillText('fewer than half caught (darker: fewer)', keyLeft, top + 9);
    context.beginPath();
    context.arc(keyLeft + 100, top + 26, 4, 0, 2 * Math.PI);
    context.fill();
    context.strokeStyle = '#fff';
    context.lineWidth = 2;
    context.stroke();
    context.fillText('the launcher; arrow: the launch heading', keyLeft + 110, top + 26);
    context.fillStyle = rgb(call('StudyBoundaryRgb'));
    context.fillRect(keyLeft, top + 45, 32, 2);
    context.fillStyle = '#000';
    context.fillText('catch boundary: half the shots caught', keyLeft + 40, top + 46);
    context.fillText(text(call('StudyPictureNote')), Gap, top + 66);
    return picture;
  }
  // PNG text chunks before the picture's end, as homing-sim's Qt writes them
  // (what made it, and from what): a short text as tEXt, a longer one
  // compressed, as zTXt.
  async function withTexts(bytes, texts) {
    const crcTable = Array.from({ length: 256 }, (_, n) => {
      for (let k = 0; k < 8; ++k) n = n & 1 ? 0xedb88320 ^ (n >>> 1) : n >>> 1;
      return n >>> 0;
    });
    const crc = (data) => {
      let c = 0xffffffff;
      for (const byte of data) c = crcTable[(c ^ byte) & 255] ^ (c >>> 8);
      return (c ^ 0xffffffff) >>> 0;
    };
    const latin1 = (words) => new Uint8Array([...words].map((c) => (c.charCodeAt(0) < 256 ? c.charCodeAt(0) : 63)));
    const deflated = async (data) =>
      new Uint8Array(await new Response(new Blob([data]).stream().pipeThrough(new CompressionStream('deflate'))).arrayBuffer());
    const chunks = [];
    for (const [key, value] of texts) {
      const long = value.length >= 40, body = long ? await deflated(latin1(value)) : latin1(value);
      const data = new Uint8Array([...latin1(key), 0, ...(long ? [0] : []), ...body]);
      const chunk = new Uint8Array(12 + data.length), view = new DataView(chunk.buffer);
      view.setUint32(0, data.length);
      chunk.set(latin1(long ? 'zTXt' : 'tEXt'), 4);
      chunk.set(data, 8);
      view.setUint32(8 + data.length, crc(chunk.subarray(4, 8 + data.length)));
      chunks.push(chunk);
    }
    const end = bytes.length - 12; // IEND, always last
    return new Blob([bytes.subarray(0, end), ...chunks, bytes.subarray(end)], { type: 'image/png' });
  }
  // The colour scale as the module paints it, its ticks' numbers written here.
  function drawScale() {
    const canvas = $('study-scale'), context = canvas.getContext('2d'), width = canvas.width;
    const pixels = call('StudyColourScale', width);
    context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * 21 * 4).slice(), width, 21), 0, 0);
    context.fillStyle = '#222';
    context.font = '10px system-ui, sans-serif';
    context.textBaseline = 'top';
    for (const { x, frames } of JSON.parse(text(call('StudyScaleTicks', width)))) {
      context.textAlign = x < 10 ? 'left' : x > width - 10 ? 'right' : 'center';
      context.fillText(String(frames), x, 23);
    }
  }
  // ---- the page's parts, made once ----
  // The pixels along a map's edges at every other tick of the painter's (every 100 px: a phone's map is narrow).
  function axisNumbers() {
    let html = '<div class="axis" aria-hidden="true">';
    for (let at = 0; at <= Size; at += 100) {
      const along = `calc(2px + (100% - 4px) * ${at / Size})`;
      html += `<span class="x${at === Size ? ' end' : ''}" style="left: ${along}">${at}${at === Size ? '<span class="unit"> px</span>' : ''}</span>`;
      if (at) html += `<span class="y" style="top: ${along}">${at}</span>`;
    }
    return html + '</div>';
  }
  function buildMaps() {
    const box = $('study-maps'), methods = $('study-methods').tBodies[0];
    for (let mode = 0; mode < S.Modes; ++mode) {
      const { name, caption } = S.Methods[mode];
      // The methods' table: a row each, from the module's method table.
      const row = methods.insertRow();
      row.innerHTML = `<th scope="row"><b></b>${caption ? ' <span lang="ja"></span>' : ''}</th>` +
        '<td data-label="rule"></td><td data-label="launch"></td><td data-label="fails"></td>';
      row.querySelector('b').textContent = `${mode} ${name}`;
      if (caption) row.querySelector('span').textContent = caption;
      ['description', 'launch', 'fails'].forEach((field, n) => (row.cells[n + 1].textContent = S.Methods[mode][field]));
      const figure = document.createElement('figure');
      figure.className = 'panel';
      figure.innerHTML = `<figcaption><b></b> <span lang="ja"></span><br><span id="study-mostly-${mode}"></span></figcaption>` +
        `<div class="map"><canvas id="study-map-${mode}" width="300" height="300" tabindex="0"></canvas>` +
        `<div id="study-cursor-${mode}" class="cursor" aria-hidden="true" hidden></div>${axisNumbers()}</div>`;
      figure.querySelector('b').textContent = `${mode} ${name}`;
      figure.querySelector('span').textContent = caption;
      box.append(figure);
      const canvas = figure.querySelector('canvas');
      canvas.setAttribute('aria-label', `capture map of the ${name}: arrow keys choose a place, Enter its first shot`);
      canvas.setAttribute('aria-describedby', `study-mostly-${mode} study-place`); // its figures, and the chosen place's
      const fromPointer = (event) => {
        const step = call('StudyStep'), scale = Size / canvas.clientWidth;
        S.placeAt(mode, Math.floor((event.offsetX * scale) / step), Math.floor((event.offsetY * scale) / step));
      };
      canvas.addEventListener('mousemove', (event) => { if (state.shot < 0) fromPointer(event); });
      canvas.addEventListener('click', (event) => {
        fromPointer(event);
        // On a narrow screen the place's shots lie far below its map: the answer is taken into view.
        if (state.place && matchMedia('(max-width: 767px)').matches)
          $('study-place-title').scrollIntoView({ block: 'start' });
      });
      canvas.addEventListener('focus', () => { if (state.done && (!state.place || state.place.mode !== mode))
        S.placeAt(mode, (state.place ? state.place.x : 150) / call('StudyStep') | 0,
                (state.place ? state.place.y : 150) / call('StudyStep') | 0); });
      canvas.addEventListener('keydown', (event) => {
        const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
        if (!state.done || !state.place) return;
        const step = call('StudyStep');
        if (moves[event.key]) {
          event.preventDefault();
          S.placeAt(mode, state.place.x / step + moves[event.key][0], state.place.y / step + moves[event.key][1]);
        } else if (event.key === 'Enter') {
          event.preventDefault();
          S.chooseShot(0);
        }
      });
    }
  }
  return { start, beginMap, rowsArrived, putPanel, mapsDone, status, pictureCanvas, mapsPicture, drawScale, axisNumbers, buildMaps };
};
