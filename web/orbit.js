// The orbit figure beside "Why the angle chase orbits": one shot heading
// right, its two turning circles, and a marker the reader drags (or moves
// with the arrow keys); speed and turn rate on sliders, their numbers dragged too. The radius, whether
// the marker is out of reach and the turn that would reach it come from the
// page's module (TurningCircle.cpp), the arithmetic the study's shot view uses.
const orbit = (() => {
  const $ = (id) => document.getElementById(id);
  const Shot = { x: 70, y: 110 }; // where the shot stands in the figure, pixels
  const Catch = 16; // pixels: a shot this near the marker catches it
  const marker = { ahead: 0, beside: 60 }; // pixels from the shot, along and across its heading (down)
  function figures() {
    const speed = Number($('study-orbit-speed').value), turn = Number($('study-orbit-turn').value);
    const answers = JSON.parse(UTF8ToString(Module._StudyOrbitFigures(speed, turn, marker.ahead, marker.beside)));
    return { speed, turn, radius: answers.radius, out: answers.outOfReach, needed: answers.turnToReach };
  }
  function draw() {
    const { speed, turn, radius, out, needed } = figures();
    $('study-orbit-speed-value').textContent = speed.toFixed(1);
    $('study-orbit-turn-value').textContent = turn.toFixed(2);
    const canvas = $('study-orbit-canvas'), context = canvas.getContext('2d');
    context.clearRect(0, 0, canvas.width, canvas.height);
    const side = marker.beside >= 0 ? 1 : -1;
    for (const s of [-1, 1]) { // both circles; the marker's side in red, its unreachable inside shaded
      context.beginPath();
      context.arc(Shot.x, Shot.y + s * radius, radius, 0, 2 * Math.PI);
      context.setLineDash(s === side ? [] : [4, 4]);
      context.strokeStyle = s === side ? 'rgb(235, 40, 60)' : '#999';
      context.lineWidth = 1.5;
      context.stroke();
      if (s === side && radius > Catch) {
        context.beginPath();
        context.arc(Shot.x, Shot.y + s * radius, radius - Catch, 0, 2 * Math.PI);
        context.fillStyle = 'rgba(235, 40, 60, 0.12)';
        context.fill();
      }
    }
    context.setLineDash([]);
    context.strokeStyle = '#111', context.fillStyle = '#111';
    context.beginPath(); // the heading
    context.moveTo(Shot.x - 30, Shot.y), context.lineTo(Shot.x + 40, Shot.y);
    context.moveTo(Shot.x + 40, Shot.y), context.lineTo(Shot.x + 32, Shot.y - 4);
    context.moveTo(Shot.x + 40, Shot.y), context.lineTo(Shot.x + 32, Shot.y + 4);
    context.stroke();
    context.beginPath();
    context.arc(Shot.x, Shot.y, 4, 0, 2 * Math.PI);
    context.fill();
    const mx = Shot.x + marker.ahead, my = Shot.y + marker.beside;
    context.beginPath(); // the marker and its catch
    context.arc(mx, my, Catch, 0, 2 * Math.PI);
    context.setLineDash([2, 3]);
    context.strokeStyle = '#555';
    context.stroke();
    context.setLineDash([]);
    context.beginPath();
    context.arc(mx, my, 6, 0, 2 * Math.PI);
    context.fillStyle = 'rgb(255, 220, 0)';
    context.fill();
    context.strokeStyle = '#111';
    context.stroke();
    const distance = Math.hypot(marker.ahead, marker.beside);
    $('study-orbit-says').textContent = `Turning circle: radius ${radius.toFixed(1)} px. The marker, ` +
      `${Math.abs(marker.ahead).toFixed(0)} px ${marker.ahead >= 0 ? 'ahead' : 'behind'} and ` +
      `${Math.abs(marker.beside).toFixed(0)} px beside (${distance.toFixed(0)} px away): ` +
      (out ? 'out of reach, the shot circles it.' : 'within reach.') +
      ` A marker straight beside at ${Math.abs(marker.beside).toFixed(0)} px needs more than ` +
      `${needed.toFixed(2)}° a frame at this speed.`;
    $('study-orbit').dataset.reach = out ? 'out' : 'within';
  }
  function moveTo(ahead, beside) {
    const canvas = $('study-orbit-canvas');
    marker.ahead = Math.max(-Shot.x, Math.min(canvas.width - Shot.x, Math.round(ahead)));
    marker.beside = Math.max(-Shot.y, Math.min(canvas.height - Shot.y, Math.round(beside)));
    draw();
  }
  function wire() {
    const canvas = $('study-orbit-canvas');
    const fromPointer = (event) => {
      const scale = canvas.width / canvas.clientWidth;
      moveTo(event.offsetX * scale - Shot.x, event.offsetY * scale - Shot.y);
    };
    canvas.addEventListener('pointerdown', (event) => {
      canvas.setPointerCapture(event.pointerId);
      fromPointer(event);
    });
    canvas.addEventListener('pointermove', (event) => { if (canvas.hasPointerCapture(event.pointerId)) fromPointer(event); });
    canvas.addEventListener('keydown', (event) => {
      const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
      if (!moves[event.key]) return;
      event.preventDefault();
      const by = event.shiftKey ? 10 : 2;
      moveTo(marker.ahead + by * moves[event.key][0], marker.beside + by * moves[event.key][1]);
    });
    for (const slider of ['study-orbit-speed', 'study-orbit-turn']) {
      $(slider).addEventListener('input', draw);
      scrub($(slider + '-value'), $(slider));
    }
  }
  // A number the reader drags sideways to change it, a slider's step every
  // 4 px (the slider beside it is the same number for keys and screen readers).
  function scrub(number, slider) {
    number.classList.add('scrub');
    number.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      number.setPointerCapture(event.pointerId);
      const from = event.clientX, start = Number(slider.value), step = Number(slider.step);
      const move = (moved) => {
        slider.value = String(start + Math.round((moved.clientX - from) / 4) * step);
        slider.dispatchEvent(new Event('input'));
      };
      number.addEventListener('pointermove', move);
      number.addEventListener('lostpointercapture', () => number.removeEventListener('pointermove', move), { once: true });
    });
  }
  return {
    // Once the module runs: the figure drawn, and moved from then on.
    begin() {
      wire();
      draw();
    },
  };
})();
