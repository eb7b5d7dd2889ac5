// Talking to the host: every command goes to /api/call as JSON and its
// answer is handed to the page (onAnswer); drag events go one at a time.
import { $, note } from './common.js';

let answered = () => {};
// The function that takes every answer the host accepted.
export function onAnswer(fn) { answered = fn; }

export const traffic = {
  pending: 0,        // commands sent and not yet answered
  lastAnswerAt: 0,   // ms the last answer took
  dragSending: false,
};

export async function call(command) {
  const started = performance.now();
  traffic.pending++;
  const busy = setTimeout(showBusy, 300);
  try {
    const res = await fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
                                          body: JSON.stringify(command) });
    const answer = await res.json();
    traffic.lastAnswerAt = performance.now() - started;
    if (!answer.ok) note(answer.error || 'refused');
    else answered(answer);
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

// Drag events go one at a time, in order; a move still waiting when a newer
// one comes is replaced, so the picture is never more than one event behind.
// Each carries the time of the oldest pointer event it stands for, so the
// page knows how long a pointer move took to reach the screen.
export const dragQueue = [];
// This page's name for the host: pointer events of one page's drag belong together.
export const CLIENT = 'page-' + Math.random().toString(36).slice(2) + Date.now().toString(36);
export const moveLatencies = [];  // ms from a pointer move to the painted frame that shows it
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
    if (command.op === 'move' && answer.scene && at !== undefined)
      requestAnimationFrame(() => setTimeout(() => {
        moveLatencies.push(performance.now() - at);
        if (moveLatencies.length > 1000) moveLatencies.shift();
      }));
  }
  traffic.dragSending = false;
}

// The busy box: shown when an answer is slow, with what the host is doing.
let busyTimer = null;
function showBusy() {
  $('busy').hidden = false;
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
  $('busy').hidden = true;
  clearInterval(busyTimer);
}
