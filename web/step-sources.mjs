// step-sources.mjs SIMULATION_DIR OUT.js: each steering method's step as the
// simulation's source has it, for the page's shot view. A method's step is
// the function NameStep in steps/Name.inc, Name its English name in capitals
// without blanks or hyphens ("vector turn chase": VectorTurnChaseStep in
// steps/VectorTurnChase.inc); with it, the helpers of every step file it
// reaches, in the order Steps.inc includes them, with their comments; and,
// for what it calls from the numbers of one shot (steps/LoneNumbers.h) or a
// header, that item as it stands there. Written at build time, so the page
// never shows a copy that could drift from the code it runs; a step the page
// looks for and cannot find is named there (and by the page test), and
// Steps.inc naming a step no file defines stops this build.
import { readFileSync, readdirSync, writeFileSync, renameSync } from 'node:fs';
import { join } from 'node:path';

const [dir, out] = process.argv.slice(2);
const fail = (message) => { console.error(`step-sources: ${message}`); process.exit(1); };
const read = (name) => readFileSync(join(dir, name), 'utf8');
const prelude = readFileSync(new URL('./step-prelude.h', import.meta.url), 'utf8');

// A file's top-level items: a definition with the /// comment above it.
function items(text) {
  const lines = text.split('\n'), found = [];
  let comment = [], current = null, depth = 0;
  for (const line of lines) {
    if (!current) {
      if (/^\/\/\//.test(line)) { comment.push(line); continue; }
      if (!line || /^(#|\/\/|namespace|\} \/\/ namespace|using )/.test(line)) { comment = []; continue; }
      current = { lines: [...comment, line] };
      comment = [];
    } else {
      current.lines.push(line);
    }
    const code = line.replace(/\/\/.*$/, '').replace(/"(\\.|[^"])*"/g, '""');
    depth += (code.match(/\{/g) || []).length - (code.match(/\}/g) || []).length;
    if (depth === 0 && /[;}]\s*$/.test(code)) {
      const head = current.lines.find((l) => !/^\/\/\//.test(l));
      const name = (/^(?:struct|enum class|enum)\s+(\w+)/.exec(head) || /(\w+)\s*\(/.exec(head) ||
                    /(\w+)\s*(?:=|\{|;)/.exec(head) || [])[1];
      found.push({ name, text: current.lines.join('\n') });
      current = null;
    }
  }
  return found;
}
const uses = (text, name) => new RegExp(`\\b${name}\\b`).test(text.replace(/^\s*\/\/.*$/gm, ''));

// The step files in the order Steps.inc includes them (helpers before their users).
const steps = read('steps/Steps.inc');
const order = [...steps.matchAll(/^#include "(\w+)\.inc"/gm)].map((m) => m[1]);
const files = order.map((name) => ({ name, items: items(read(`steps/${name}.inc`)) }));
const all = files.flatMap((file) => file.items);
const headers = [{ name: 'steps/LoneNumbers.h', items: items(read('steps/LoneNumbers.h')) },
  ...readdirSync(dir).filter((name) => name.endsWith('.h')).map((name) => ({ name, items: items(read(name)) }))];

const sources = {};
for (const named of steps.matchAll(/return (\w+)Step\(s, in\);/g)) {
  const name = named[1], file = files.find((f) => f.name === name);
  const step = file && file.items.find((item) => item.name === `${name}Step`);
  if (!step) fail(`Steps.inc names ${name}Step, which steps/${name}.inc does not define`);
  // The items the step reaches, again and again until none is added.
  const taken = new Set([step]);
  for (let grown = true; grown;) {
    grown = false;
    for (const item of all)
      if (!taken.has(item) && item.name && [...taken].some((t) => t !== item && uses(t.text, item.name)))
        taken.add(item), grown = true;
  }
  const code = all.filter((item) => taken.has(item)).map((item) => item.text).join('\n\n');
  // What it calls from the numbers of one shot or a header: that item as it stands.
  const called = [];
  for (const header of headers)
    for (const item of header.items)
      if (item.name && /\(|struct/.test(item.text) && uses(code, item.name) && !all.some((own) => own.name === item.name))
        called.push(`// ${header.name}\n${item.text}`);
  // What "Copy the step" gives: the prelude (the record, the number rules, the maths library's calls),
  // every item of the numbers of one shot the step reaches, then the step: one piece that compiles.
  const lone = headers[0].items.filter((item) => item.name);
  const reached = new Set();
  for (let grown = true; grown;) {
    grown = false;
    for (const item of lone)
      if (!reached.has(item) && [code, ...[...reached].map((r) => r.text)].some((text) => uses(text, item.name)))
        reached.add(item), grown = true;
  }
  const copy = `// ${name}Step, from simulation/steps/${name}.inc, with all it stands on.\n` + prelude + '\n' +
    lone.filter((item) => reached.has(item)).map((item) => item.text).join('\n\n') + '\n\n' + code + '\n';
  sources[name] = { step: `${name}Step`, file: `steps/${name}.inc`, code, calls: [...new Set(called)].join('\n\n'), copy };
}
if (!Object.keys(sources).length) fail('Steps.inc names no step');
writeFileSync(out + '.new', `// Made by web/step-sources.mjs from the simulation's source.
const StepSources = ${JSON.stringify(sources)};
/// A method's step by its English name ("vector turn chase": VectorTurnChase), or what is missing.
function StepSourceOf(name) {
  const key = name.split(/[ -]/).map((word) => word[0].toUpperCase() + word.slice(1)).join('');
  return StepSources[key] || { step: key + 'Step', file: 'steps/' + key + '.inc', code: '', calls: '',
                               missing: 'no step ' + key + 'Step in simulation/steps/' + key + '.inc' };
}
`);
renameSync(out + '.new', out);
