// The stroke panel: caps, joins, the mitre limit, a dash pattern (dash and
// gap lengths) and arrowheads at the start and end of the selected paths.
// Each change is one `stroke` edit (the width is the style panel's).
import { note } from './common.js';
import { page } from './store.js';
import { edit } from './drawing.js';

const el = (tag, props = {}, ...children) => {
  const e = Object.assign(document.createElement(tag), props);
  e.append(...children);
  return e;
};
const choice = (id, title, values) => el('select', { id, title }, ...values.map((v) => el('option', { value: v, textContent: v })));
const ARROWS = ['none', 'triangle', 'open', 'circle', 'bar'];

let fields;

function send(args) {
  if (!page.state || !page.state.selection.length) { note('Select art to set its stroke'); showStroke(); return; }
  edit({ op: 'stroke', ...args });
}

// The dash fields as the edit's list: trailing empty pairs left out; none: solid.
function dashList() {
  const v = fields.dash.map((f) => (f.value === '' ? null : Math.max(0, Number(f.value) || 0)));
  while (v.length && v[v.length - 1] === null) v.pop();
  return v.map((x) => x || 0);
}

export function installStroke(panel) {
  fields = {
    cap: choice('stroke-cap', 'Cap', ['butt', 'round', 'projecting']),
    join: choice('stroke-join', 'Join', ['miter', 'round', 'bevel']),
    miterLimit: el('input', { id: 'stroke-miter', type: 'number', min: 1, max: 500, step: 1, title: 'Mitre limit (1 to 500)' }),
    dash: [0, 1, 2, 3].map((i) => el('input', { id: 'stroke-dash-' + i, type: 'number', min: 0, step: 1, title: i % 2 ? 'Gap' : 'Dash' })),
    start: choice('stroke-start', 'Arrowhead at the start', ARROWS),
    end: choice('stroke-end', 'Arrowhead at the end', ARROWS),
  };
  fields.cap.addEventListener('change', () => send({ cap: fields.cap.value }));
  fields.join.addEventListener('change', () => send({ join: fields.join.value }));
  fields.miterLimit.addEventListener('change', () => send({ miterLimit: Math.min(500, Math.max(1, Number(fields.miterLimit.value) || 1)) }));
  for (const f of fields.dash) {
    f.addEventListener('change', () => {
      const dash = dashList();
      if (dash.length && dash.every((x) => x === 0)) { note('A dash pattern needs a dash or gap longer than 0 (empty fields: solid)'); return; }
      send({ dash });
    });
  }
  fields.start.addEventListener('change', () => send({ start: fields.start.value }));
  fields.end.addEventListener('change', () => send({ end: fields.end.value }));
  panel.append(el('section', { id: 'stroke-panel' }, el('h2', { textContent: 'Stroke' }),
    el('label', {}, 'Cap ', fields.cap), el('label', {}, ' Join ', fields.join), el('label', {}, ' Limit ', fields.miterLimit),
    el('div', {}, 'Dash, gap ', ...fields.dash),
    el('label', {}, 'Start ', fields.start), el('label', {}, ' End ', fields.end)));
}

// Called with every answer of the host: the first selected object's stroke.
export function showStroke() {
  if (!fields) return;
  const s = page.state && page.state.selection.length ? page.state.selectionStyle : null;
  if (!s || s.cap === undefined) return;
  const set = (f, v) => { if (document.activeElement !== f) f.value = v; };
  set(fields.cap, s.cap);
  set(fields.join, s.join);
  set(fields.miterLimit, Math.round(s.miterLimit * 100) / 100);
  fields.dash.forEach((f, i) => set(f, i < s.dash.length ? Math.round(s.dash[i] * 100) / 100 : ''));
  set(fields.start, s.start || 'none');
  set(fields.end, s.end || 'none');
}
