// The study's settings form: filled from the module's record of the settings, read back by handing
// each value to the module by name.
var StudyParts = StudyParts || {};
StudyParts.form = (S) => {
  const { $, text, call, state, fail } = S;
  // ---- the settings form: its values from the module, and back to it by name ----
  const MotionInputs = { line: ['x a frame', 'y a frame'], circle: ['radius', 'period (frames)'],
                         weave: ['amplitude', 'period (frames)'], flee: ['speed'],
                         jink: ['from frame', 'speed (right +, left −)'], still: [] };
  // A motion's numbers when it is first chosen: the circle docs/study.md measures.
  const MotionDefaults = { line: [0.5, 0], circle: [60, 60], weave: [20, 60], flee: [3], jink: [20, 3], still: [] };
  function fillForm() {
    const form = JSON.parse(text(call('StudyFormRecord')));
    $('study-step').value = form.step;
    $('study-shots').value = form.shots;
    document.querySelector(`input[name=study-draws][value=${form.draws}]`).checked = true;
    $('study-seed').value = form.seed;
    $('study-draw').value = form.draw;
    $('study-limit').checked = form.limit === 'true';
    $('study-lag').value = form.lag;
    $('study-noise').value = form.noise;
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
      b: $('study-b').closest('[hidden]') ? '' : $('study-b').value, held: state.held,
      lag: $('study-lag').value, noise: $('study-noise').value };
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
    S.closePlace();
    S.start();
  }
  return { MotionInputs, MotionDefaults, fillForm, showMotionInputs, readForm, badNumber, settingsChanged };
};
