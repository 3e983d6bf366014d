// Every parameter value: the sweep's points from the workers, each chart painted by the module when its
// points are in, a value held for the maps by its button or its point.
var StudyParts = StudyParts || {};
StudyParts.sweep = (S) => {
  const { $, text, call, SweepValues, state, fail, offer, bytesOf, say } = S;
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
    S.pump();
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
    showAskedChart();
    offer('study-sweep-csv', bytesOf(call('StudySweepCsv')), 'text/csv');
    document.body.dataset.sweep = 'done';
  }
  function sweepStatus() {
    const total = call('StudySweepParameters') * SweepValues;
    say('study-sweep-status', state.sweepPoints < total
      ? `Computing the sweep: ${10 * Math.floor((10 * state.sweepPoints) / total)} %.` // in tens
      : `The sweep is done: homing-sim --sweep sweep.csv ${state.sweepKey}`);
  }
  function buildCharts(parameters) {
    const box = $('study-sweep');
    box.textContent = '';
    state.charts = [];
    for (let parameter = 0; parameter < parameters; ++parameter) {
      const mode = call('StudySweepMode', parameter), draw = text(call('StudySweepDraw', parameter));
      const figure = document.createElement('figure');
      const caption = document.createElement('figcaption');
      const japanese = S.Methods[mode].caption;
      caption.textContent = `${S.Methods[mode].name}${japanese ? ` (${japanese})` : ''}: ` +
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
    if (layout.said) {
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
  // The chart an address asks for ("chart=2,turn"), shown once the sweep is done.
  function showAskedChart() {
    const asked = state.pendingChart;
    state.pendingChart = '';
    if (!asked) return;
    const chart = state.charts.find((one) => `${one.mode},${one.draw}` === asked);
    if (!chart) return fail(`The address's chart=${asked} is not a chart of the sweep (a method and one of its draws)`);
    const figure = chart.canvas.closest('figure');
    figure.tabIndex = -1; // focused, so a keyboard or a screen reader is taken there too
    figure.scrollIntoView({ block: 'center' });
    figure.focus({ preventScroll: true });
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
    S.settingsChanged();
    if (document.body.dataset.sweep === 'done') state.charts.forEach((chart, n) => drawChart(n));
  }
  return { showAskedChart, beginSweep, sweepPointArrived, sweepStatus, buildCharts, drawChart, pickPoint, hold };
};
