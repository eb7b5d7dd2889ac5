// Talking to the host: every command goes to /api/call as JSON, saying
// which picture the page has; the answer is JSON, or JSON followed by the
// picture's changes in binary (docs/formats.md). Answers are handed to the
// page (onAnswer); drag events go one at a time. The browser keeps the
// connection open, so a pointer move is one small request and its answer.
import { $, note, page } from './common.js';
import { readPicture } from './picture.js';

let answered = () => {};
// The function that takes every answer the host accepted.
export function onAnswer(fn) { answered = fn; }

export const traffic = {
  pending: 0,        // commands sent and not yet answered
  lastAnswerAt: 0,   // ms the last answer took
  lastShownIn: 0,    // ms the page took to take in and draw the last answer
  dragSending: false,
};

export async function call(command) {
  const started = performance.now();
  traffic.pending++;
  const busy = setTimeout(showBusy, 300);
  try {
    const res = await fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
                                          body: JSON.stringify({ picture: page.scene ? page.scene.version : 0, ...command }) });
    const answer = await readAnswer(res);
    const arrived = performance.now();
    traffic.lastAnswerAt = arrived - started;
    if (!answer.ok) {
      note(answer.error || 'refused');
      // Refused because a dialog waits for the person: the page shows it.
      if (answer.dialog && command.op !== 'state') setTimeout(() => call({ op: 'state' }));
    } else answered(answer);
    traffic.lastShownIn = performance.now() - arrived;
    return answer;
  } catch (e) {
    note('the studio is not answering: ' + e.message);
    return { ok: false, error: String(e) };
  } finally {
    clearTimeout(busy);
    hideBusy();
    traffic.pending--;
  }
}

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
export const dragQueue = [];
// This page's name for the host: pointer events of one page's drag belong together.
export const CLIENT = 'page-' + Math.random().toString(36).slice(2) + Date.now().toString(36);
export const moveLatencies = [];  // ms from a pointer move to the painted frame that shows it
export const movePhases = [];     // per move: [ms until the answer arrived, ms to take it in and draw it]
export function sendDrag(command, at) {
  command.client = CLIENT;
  const last = dragQueue[dragQueue.length - 1];
  if (command.op === 'move' && last && last.command.op === 'move') last.command = command;
  else dragQueue.push({ command, at });
  if (!traffic.dragSending) pumpDrag();
}
async function pumpDrag() {
  traffic.dragSending = true;
  while (dragQueue.length) {
    const { command, at } = dragQueue.shift();
    const answer = await call(command);
    if (command.op === 'move' && answer.picture && at !== undefined) {
      movePhases.push([traffic.lastAnswerAt, traffic.lastShownIn]);
      if (movePhases.length > 1000) movePhases.shift();
      requestAnimationFrame(() => setTimeout(() => {
        moveLatencies.push(performance.now() - at);
        if (moveLatencies.length > 1000) moveLatencies.shift();
      }));
    }
  }
  traffic.dragSending = false;
}

// The busy box: shown when an answer is slow, with what the host is doing.
let busyTimer = null;
function showBusy() {
  $('busy').hidden = false;
  if (busyTimer) return;
  busyTimer = setInterval(async () => {
    try {
      const s = await (await fetch('/api/status')).json();
      if (s.busy)
        $('busy-text').textContent = `Working on ${s.op}… ${(s.ms / 1000).toFixed(1)} s` +
          (s.event ? ` (${s.event}: ${s.objects.toLocaleString('en-US')} objects made)` : '');
    } catch (e) { /* the next answer says more */ }
  }, 250);
}
function hideBusy() {
  if (traffic.pending > 1) return;  // another command is still waiting
  $('busy').hidden = true;
  clearInterval(busyTimer);
  busyTimer = null;
}
