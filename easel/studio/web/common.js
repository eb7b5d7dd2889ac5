// Helpers every part of the studio page shares (its state is in store.js).

export const $ = (id) => document.getElementById(id);

// The whole text shows on hover: the status line cuts a long one short.
export function note(text) { $('status').textContent = text; $('status').title = text; }

// Unchanged text is left alone, so the page needs no new layout for it.
export function setText(el, text) { if (el.textContent !== text) el.textContent = text; }
