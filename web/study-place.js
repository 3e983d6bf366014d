// One place's shots and one shot's every moment: trails, the shot's frames as the module draws them,
// its figures, its step's source and record, play and copy.
var StudyParts = StudyParts || {};
StudyParts.place = (S) => {
  const { $, text, call, Size, state, offer } = S;
  // Nothing on screen belongs to other settings: the place and its shot close.
  function closePlace() {
    state.place = null, state.shot = -1, state.trails = [];
    stop();
    showShotView(false);
    $('study-place-title').textContent = 'Every shot of one place';
    $('study-place').textContent = 'Choose a place on a map.';
    $('study-shots-list').textContent = '';
    $('study-trails').getContext('2d').clearRect(0, 0, Size, Size);
    drawPlaceCursor();
  }
  // ---- every shot of one place ----
  function placeAt(mode, column, row) {
    const step = call('StudyStep'), rows = state.rows;
    column = Math.max(0, Math.min(rows - 1, column)), row = Math.max(0, Math.min(rows - 1, row));
    const { place } = state; // a pointer moving within the place it shows flies nothing again
    if (!place || place.mode !== mode || place.x !== column * step || place.y !== row * step)
      choosePlace(mode, column * step, row * step);
  }
  // The place's figures at once, its shots as they are flown; `flown` once all are.
  function choosePlace(mode, x, y, flown) {
    if (!state.done) return;
    let began = performance.now(); // a task's budget runs from its start
    const step = call('StudyStep'), place = { mode, x, y };
    state.place = place;
    state.shot = -1;
    const name = S.Methods[mode].name;
    $('study-place-title').textContent = `Every shot of the place (${x}, ${y}), ${name}`;
    $('study-place').textContent = `${name} at (${x}, ${y}): ` + text(call('StudyPlaceText', mode, x / step, y / step));
    const shots = call('StudyBeginTrails', mode, x, y);
    state.trails = [];
    $('study-shots-list').textContent = '';
    showShotView(false);
    drawPlaceCursor();
    S.writeAddress();
    // A few shots a task: a place whose shots all miss flies thousands of frames.
    const flyMore = () => {
      if (state.place !== place) return; // another place was chosen meanwhile
      do addTrail(call('StudyFlyTrail'));
      while (state.trails.length < shots && performance.now() - began < 12);
      drawTrails();
      if (state.trails.length < shots) setTimeout(() => ((began = performance.now()), flyMore()));
      else if (flown) flown();
    };
    flyMore();
  }
  function addTrail(shot) {
    const frames = call('StudyTrailFrames', shot), ended = call('StudyTrailEnded', shot);
    const at = call('StudyTrailPoints', shot);
    const points = new Float32Array(HEAPF32.buffer, at, 2 * frames).slice();
    state.trails.push({ frames, ended, points });
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = `shot ${shot}: ` + (ended === 1 ? `caught in ${frames} frames` : 'missed');
    button.setAttribute('aria-pressed', String(shot === state.shot));
    button.style.borderLeft = `6px solid ${TrailColour(shot)}`; // the colour of its trail
    button.addEventListener('click', () => chooseShot(shot));
    $('study-shots-list').append(button);
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
    for (let mode = 0; mode < S.Modes; ++mode) {
      const cursor = $('study-cursor-' + mode);
      cursor.hidden = !state.place;
      if (!state.place) continue;
      cursor.classList.toggle('chosen', mode === state.place.mode);
      cursor.style.left = `calc(2px + (100% - 4px) * ${(state.place.x - 6) / Size})`;
      cursor.style.top = `calc(2px + (100% - 4px) * ${(state.place.y - 6) / Size})`;
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
    const rule = StepSourceOf(S.Methods[state.place.mode].name);
    $('study-rule-name').textContent = rule.step;
    $('study-rule-file').textContent = 'simulation/' + rule.file;
    $('study-rule-code').textContent = rule.missing || rule.code;
    $('study-rule-calls').textContent = rule.calls || '(nothing)';
    $('study-rule-launch').textContent = S.Methods[state.place.mode].launch;
    $('study-rule-copied').textContent = '';
  }
  // The fields of the shot's record the step names, after frame `frame`.
  function showRecord(frame) {
    const code = StepSourceOf(S.Methods[state.place.mode].name).code;
    $('study-rule-record').textContent = text(call('StudyShotRecord', frame)).split('\n')
      .filter((line) => line && code.includes(line.split(' = ')[0])).join('\n');
  }
  function showShotView(shown) {
    $('study-shot').hidden = !shown;
    $('study-frame').hidden = !shown;
    $('study-trails').hidden = shown;
    if (!shown) stop(), $('study-overlay').getContext('2d').clearRect(0, 0, Size, Size);
    else // at the next frame: here they would lay the page out at once, in the same task
      requestAnimationFrame(() => state.shot >= 0 && ($('study-slider').focus(), $('study-shot').scrollIntoView({ block: 'nearest' })));
  }
  function showFrame(frame) {
    frame = Math.max(1, Math.min(state.frames, frame));
    $('study-slider').value = frame;
    const rgba = call('StudyDrawShotFrame', frame);
    $('study-frame').getContext('2d').putImageData(
      new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, Size * Size * 4).slice(), Size, Size), 0, 0);
    const { x, y, speed, heading, turn, radius, markerX: mx, markerY: my, distance, ended, largestTurn: largest,
      meanTurn: mean, guide, aimX: gx, aimY: gy, sightTurn } = JSON.parse(text(call('StudyShotFigures', frame)));
    const turning = S.Methods[state.place.mode].turns;
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
    S.writeAddress();
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
    const rule = StepSourceOf(S.Methods[state.place.mode].name);
    await copied(rule.copy || rule.missing, 'study-rule-copied');
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
  return { closePlace, placeAt, choosePlace, drawLauncher, TrailColour, drawTrails, drawPlaceCursor, chooseShot, showRule, showRecord, showShotView, showFrame, play, stop, copyScript, copyRule, copied };
};
