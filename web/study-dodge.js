// Can it be dodged? One method's dodge window from a worker, on demand: its chart of the share still caught
// against the frames to go at the sidestep, and the sentence the chart's figures make.
var StudyParts = StudyParts || {};
StudyParts.dodge = (S) => {
  const { $, text, call, state, offer, say } = S;
  const DodgeStep = 30, MostToGo = 100;
  function wireDodge() {
    const select = $('study-dodge-method');
    S.Methods.forEach((method, mode) => select.add(new Option(`${mode} ${method.name}`, String(mode))));
    select.value = '7';
    $('study-dodge-run').addEventListener('click', askDodge);
  }
  function askDodge() {
    const sidestep = Number(String($('study-dodge-speed').value).trim().replace(',', '.'));
    if (!Number.isFinite(sidestep) || sidestep === 0 || Math.abs(sidestep) > 300)
      return say('study-dodge-status', 'The sidestep must be a number of pixels a frame, not 0, from -300 to 300.');
    const mode = Number($('study-dodge-method').value);
    const settings = text(call('StudyOptionsAt', DodgeStep, 0));
    state.dodgeKey = `${mode} ${sidestep} ${settings}`;
    state.queue = state.queue.filter((job) => job.kind !== 'dodge');
    state.queue.unshift({ kind: 'dodge', key: state.dodgeKey, settings, mode, sidestep });
    say('study-dodge-status', `Computing the dodge window of ${S.Methods[mode].name}…`);
    S.pump();
  }
  // The rows of homing-sim --dodge: method,frames_to_go,shots,caught,caught_share,median_closest.
  function dodgeArrived({ mode, sidestep, csv }) {
    const rows = csv.split('\n').filter((line) => /^\d/.test(line)).map((line) => line.split(',').map(Number));
    const points = rows.map(([, togo, shots, caught]) => ({ togo, shots, caught }));
    drawDodge(points);
    $('study-dodge-says').textContent = dodgeSays(S.Methods[mode].name, sidestep, points);
    offer('study-dodge-csv', csv, 'text/csv');
    $('study-dodge').hidden = false;
    say('study-dodge-status', `The dodge window is done: homing-sim --dodge dodge.csv --sidestep ${sidestep} ` +
      csv.slice(csv.indexOf('--step'), csv.indexOf('\n')));
  }
  // What the figures say: the fewest frames to go that escape half (where 20 or more shots side-stepped).
  function dodgeSays(name, sidestep, points) {
    const counted = points.filter((p) => p.shots >= 20);
    const escape = counted.find((p) => 2 * p.caught <= p.shots);
    const at = (g) => points.find((p) => p.togo === g && p.shots > 0);
    const share = (p) => `${Math.round((100 * p.caught) / p.shots)} %`;
    const late = at(1), ten = at(10);
    let says = `${name}, a sidestep at ${Math.abs(sidestep)} px a frame: `;
    says += late ? `1 frame before the catch, ${share(late)} of the shots still catch the marker` : 'no shot was caught';
    if (ten) says += `; 10 frames before, ${share(ten)}`;
    says += escape ? `; it escapes at least half the shots from ${escape.togo} frames to go.`
      : `; it does not escape half the shots within ${MostToGo} frames to go.`;
    return says;
  }
  function drawDodge(points) {
    const canvas = $('study-dodge-chart'), g = canvas.getContext('2d');
    const left = 34, top = 8, width = canvas.width - left - 8, height = canvas.height - top - 26;
    const x = (togo) => left + ((togo - 1) / (MostToGo - 1)) * width, y = (share) => top + (1 - share) * height;
    g.fillStyle = '#fff';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.strokeStyle = '#999';
    g.strokeRect(left, top, width, height);
    g.fillStyle = '#222';
    g.font = '12px sans-serif';
    g.textAlign = 'right';
    for (const share of [0, 0.5, 1]) g.fillText(`${share * 100} %`, left - 3, y(share) + 4);
    g.textAlign = 'center';
    for (const togo of [1, 25, 50, 75, 100]) g.fillText(String(togo), x(togo), top + height + 14);
    g.fillText('frames to go at the sidestep', left + width / 2, canvas.height - 1);
    g.setLineDash([4, 3]);
    g.beginPath();
    g.moveTo(left, y(0.5)), g.lineTo(left + width, y(0.5));
    g.stroke();
    g.setLineDash([]);
    g.strokeStyle = '#0b4f9c';
    g.lineWidth = 2;
    g.beginPath();
    let drawing = false;
    for (const p of points) {
      if (!p.shots) { drawing = false; continue; }
      const at = [x(p.togo), y(p.caught / p.shots)];
      drawing ? g.lineTo(...at) : g.moveTo(...at);
      drawing = true;
    }
    g.stroke();
    g.lineWidth = 1;
    canvas.setAttribute('aria-label', 'the share of shots still caught against the frames to go at the sidestep');
  }
  return { wireDodge, askDodge, dodgeArrived, dodgeSays };
};
