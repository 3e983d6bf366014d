// step-sources.mjs SIMULATION_DIR OUT.js: each steering method's step as the
// simulation's source has it, for the page's shot view. For every entry of
// the method table (Methods.h, in mode order) the step's definition and the
// file's own helpers, types and constants it reaches, in file order, with
// their comments; and, for what it calls from another file, the declaration
// and its comment from the header. Written at build time, so the page never
// shows a copy that could drift from the code it runs.
import { readFileSync, readdirSync, writeFileSync, renameSync } from 'node:fs';
import { join } from 'node:path';

const [dir, out] = process.argv.slice(2);
const fail = (message) => { console.error(`step-sources: ${message}`); process.exit(1); };
const read = (name) => readFileSync(join(dir, name), 'utf8');

// The steps, in mode order: the last name of each entry of the table.
const table = read('Methods.h');
const steps = [...table.matchAll(/\{SteeringMode::\w+,[\s\S]*?\}\}\},\s*(?:true|false),\s*(\w+)/g)].map((m) => m[1]);
const modes = [...((/enum class SteeringMode[^{]*\{([^}]*)\}/.exec(read('World.h')) || [, ''])[1]
  .matchAll(/^\s*(\w+) = \d+,/gm))];
if (!steps.length || steps.length !== modes.length)
  fail(`found ${steps.length} steps in Methods.h for ${modes.length} modes`);

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
const sources = readdirSync(dir).filter((name) => name.endsWith('.cpp')).map((name) => ({ name, items: items(read(name)) }));
const headers = readdirSync(dir).filter((name) => name.endsWith('.h')).map((name) => ({ name, items: items(read(name)) }));
const uses = (text, name) => new RegExp(`\\b${name}\\b`).test(text.replace(/^\s*\/\/.*$/gm, ''));

const shown = steps.map((step, mode) => {
  const file = sources.find((source) => source.items.some((item) => item.name === step && /\{/.test(item.text)));
  if (!file) fail(`no definition of ${step} (mode ${mode})`);
  // The file's items the step reaches, again and again until none is added.
  const taken = new Set([file.items.find((item) => item.name === step && /\{/.test(item.text))]);
  for (let grown = true; grown;) {
    grown = false;
    for (const item of file.items)
      if (!taken.has(item) && item.name && [...taken].some((t) => t !== item && uses(t.text, item.name)))
        taken.add(item), grown = true;
  }
  const own = file.items.filter((item) => taken.has(item)).map((item) => item.text);
  const code = own.join('\n\n');
  // What it calls from elsewhere in the simulation: the header's word for it.
  const declared = new Set();
  for (const header of headers)
    for (const item of header.items)
      if (item.name && item.name !== step && /\(/.test(item.text) && !/\{/.test(item.text) && uses(code, item.name) &&
          !file.items.some((own) => own.name === item.name))
        declared.add(`// ${header.name}\n${item.text}`);
  return { mode, step, file: file.name, own, calls: [...declared].join('\n\n') };
});
// Each text once (the guidance laws share their helpers): a step names its parts by number.
const texts = [...new Set(shown.flatMap((rule) => rule.own))];
const rules = shown.map(({ own, ...rule }) => ({ ...rule, parts: own.map((text) => texts.indexOf(text)) }));
writeFileSync(out + '.new', `// Made by web/step-sources.mjs from the simulation's source.
const StepSources = (() => {
  const texts = ${JSON.stringify(texts)};
  return ${JSON.stringify(rules)}.map((rule) => ({ ...rule, code: rule.parts.map((n) => texts[n]).join('\\n\\n') }));
})();
`);
renameSync(out + '.new', out);
