// Talking to the host, the page's one transport: every command goes to
// /api/call as JSON, saying which picture the page has; the answer is JSON,
// or JSON followed by the picture's changes in binary (docs/formats.md).
// Answers are handed to the page (onAnswer); drag events go one at a time.
// The browser keeps the connection open, so a pointer move is one small
// request and its answer. No other module calls fetch.
import { $, note } from './common.js';
import { drag, page, traffic } from './store.js';
import { readPicture } from './picture.js';

// The function that takes every answer the host accepted.
export function onAnswer(fn) { traffic.answered = fn; }

// Sends a command and resolves with the host's answer ({ok: false, error}
// when the host cannot be reached). Options:
//   quiet      the answer is only returned: not handed to the page, no note
//              of a refusal or failure, no busy box (the page's checks in
//              the background, session.js);
//   bare       the command goes as given, without the picture the page has;
//   keepalive  the request outlives the page (a drag ended as the page closes).
export async function call(command, { quiet = false, bare = false, keepalive = false } = {}) {
  const started = performance.now();
  traffic.pending++;
  if (quiet) traffic.background++;
  const busy = quiet ? null : setTimeout(showBusy, 300);
  try {
    const body = bare ? command : { picture: page.scene ? page.scene.version : 0, ...command };
    const res = await fetch('/api/call', { method: 'POST', keepalive, headers: { 'Content-Type': 'application/json' },
                                          body: JSON.stringify(body) });
    const answer = await readAnswer(res);
    if (quiet) return answer;
    const arrived = performance.now();
    traffic.lastAnswerAt = arrived - started;
    if (!answer.ok) {
      note(answer.error || 'refused');
      // Refused because a dialog waits for the person: the page shows it.
      if (answer.dialog && command.op !== 'state') setTimeout(() => call({ op: 'state' }));
    } else traffic.answered(answer);
    traffic.lastShownIn = performance.now() - arrived;
    return answer;
  } catch (e) {
    if (!quiet) note('the studio is not answering: ' + e.message);
    return { ok: false, error: String(e) };
  } finally {
    if (quiet) traffic.background--;
    else {
      clearTimeout(busy);
      hideBusy();
    }
    traffic.pending--;
  }
}

// What the host serves besides commands (its status, the picture as PNG): the response.
export function fetchFrom(path) { return fetch(path); }

// An answer: JSON, or the length of its JSON (4 bytes, little-endian), the
// JSON padded to a multiple of 8 bytes, and the picture.
async function readAnswer(res) {
  if (!(res.headers.get('Content-Type') || '').startsWith('application/octet-stream')) return res.json();
  const buffer = await res.arrayBuffer();
  const n = new DataView(buffer, 0, 4).getUint32(0, true);
  const answer = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 4, n)));
  answer.picture = readPicture(buffer, (4 + n + 7) & ~7);
  return answer;
}

// Drag events go one at a time, in order; a move still waiting when a newer
// one comes is replaced, so the picture is never more than one event behind.
// Each carries the time of the oldest pointer event it stands for, so the
// page knows how long a pointer move took to reach the screen.
// This page's name for the host: pointer events of one page's drag belong together.
export const CLIENT = 'page-' + Math.random().toString(36).slice(2) + Date.now().toString(36);
export function sendDrag(command, at) {
  command.client = CLIENT;
  const last = drag.queue[drag.queue.length - 1];
  if (command.op === 'move' && last && last.command.op === 'move') last.command = command;
  else drag.queue.push({ command, at });
  if (!traffic.dragSending) pumpDrag();
}
async function pumpDrag() {
  traffic.dragSending = true;
  while (drag.queue.length) {
    const { command, at } = drag.queue.shift();
    const answer = await call(command);
    if (command.op === 'move' && answer.picture && at !== undefined) {
      drag.phases.push([traffic.lastAnswerAt, traffic.lastShownIn]);
      if (drag.phases.length > 1000) drag.phases.shift();
      requestAnimationFrame(() => setTimeout(() => {
        drag.latencies.push(performance.now() - at);
        if (drag.latencies.length > 1000) drag.latencies.shift();
      }));
    }
  }
  traffic.dragSending = false;
}

// The busy box: shown when an answer is slow, with what the host is doing.
function showBusy() {
  $('busy').hidden = false;
  if (traffic.busyTimer) return;
  traffic.busyTimer = setInterval(async () => {
    try {
      const s = await (await fetchFrom('/api/status')).json();
      if (s.busy)
        $('busy-text').textContent = `Working on ${s.op}… ${(s.ms / 1000).toFixed(1)} s` +
          (s.event ? ` (${s.event}: ${s.objects.toLocaleString('en-US')} objects made)` : '');
    } catch (e) { /* the next answer says more */ }
  }, 250);
}
function hideBusy() {
  if (traffic.pending - traffic.background > 1) return;  // another command is still waiting
  $('busy').hidden = true;
  clearInterval(traffic.busyTimer);
  traffic.busyTimer = null;
}
