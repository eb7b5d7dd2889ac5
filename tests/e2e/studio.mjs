// Starting easel studio and a headless Debian Chromium for the browser tests,
// the screenshots and the benchmark.
import { execFileSync, spawn } from 'node:child_process';
import fs, { existsSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export const CHROMIUM = process.env.EASEL_CHROMIUM || '/usr/bin/chromium';

export function args(argv) {
  const o = {};
  for (let i = 2; i < argv.length; i += 2) o[argv[i].replace(/^--/, '')] = argv[i + 1];
  return o;
}

// playwright-core and the browser, or the reason they are missing.
export async function browserOrReason() {
  let chromium;
  try {
    ({ chromium } = await import('playwright-core'));
  } catch (e) {
    return { reason: 'playwright-core is not installed (scripts/setup installs it)' };
  }
  if (!existsSync(CHROMIUM)) return { reason: `no Chromium at ${CHROMIUM} (scripts/setup installs it)` };
  const browser = await chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
    // Playwright starts every launch with a fresh, temporary user data folder.
  });
  return { browser, close: () => browser.close() };
}

// For a browser test: the browser, or "skipped" printed and exit code 77
// when it cannot run here.
export async function browserOrSkip() {
  const got = await browserOrReason();
  if (got.browser) return got;
  console.log(`skipped: ${got.reason}`);
  console.log('0 passed, 0 failed, 1 skipped');
  process.exit(77);
}

// The recovery journals of the studios started here: a folder of their own,
// so that a run neither finds nor leaves one among the user's.
const stateHome = fs.mkdtempSync(path.join(os.tmpdir(), 'easel-state-'));
process.on('exit', () => fs.rmSync(stateHome, { recursive: true, force: true }));

// Runs `easel studio` and waits for the address it prints.
export function startStudio(easel, pluginDir, doc, extra = []) {
  return new Promise((resolve, reject) => {
    const child = spawn(easel, ['studio', ...(doc ? [doc] : []), '--port', '0', '--plugins', pluginDir, '--plugin', 'Brivane', '--plugin', 'Kestova', '--no-browser', ...extra],
                        { stdio: ['ignore', 'pipe', 'pipe'], env: { ...process.env, XDG_STATE_HOME: stateHome } });
    let out = '', err = '';
    child.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/http:\/\/[^\s]+\//);
      if (m) resolve({ url: m[0], child, stderr: () => err,
                       stop: () => new Promise((r) => { child.once('exit', r); child.kill('SIGTERM'); }) });
    });
    child.stderr.on('data', (d) => { err += d; });
    child.once('exit', (code) => reject(new Error(`easel studio exited with ${code}: ${err}`)));
  });
}

// Moves the mouse to a point of the document.
export async function moveTo(page, x, y, steps = 1) {
  const [cx, cy] = await page.evaluate(([a, b]) => window.studio.toClient(a, b), [x, y]);
  await page.mouse.move(cx, cy, { steps });
}

export async function idle(page) {
  await page.waitForFunction(() => window.studio && window.studio.idle && window.studio.drawn);
}

// A page of the studio at 1280 x 800, loaded and idle, with the errors it throws collected.
export async function openPage(browser, studio) {
  const page = await (await browser.newContext({ viewport: { width: 1280, height: 800 } })).newPage();
  const pageErrors = [];
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  await page.goto(studio.url);
  await idle(page);
  return { page, pageErrors };
}

// The host's answer to one command, sent from the page as the page sends them.
export function call(page, command) {
  return page.evaluate((c) => fetch('/api/call', { method: 'POST', headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(c) }).then((r) => r.json()), command);
}

// A studio on a new document and a page open on it, with what the session
// tests ask of them: the page's state, a command, and the document as saved.
export async function newSession(argv) {
  const o = args(argv);
  const got = await browserOrSkip();
  const studio = await startStudio(o.easel, o.plugins, null);
  const { page, pageErrors } = await openPage(got.browser, studio);
  const api = (command) => call(page, command);
  return {
    o, got, studio, page, pageErrors, api,
    state: () => page.evaluate(() => window.studio.state),
    documentNow: async () => JSON.parse((await api({ op: 'save', format: 'json' })).text),
    // Closes the browser, stops the studio and prints the tally.
    end: async (finish) => {
      await got.close();
      await studio.stop();
      finish();
    },
  };
}

// The page's session saved as a script and replayed by `easel play` in a
// folder of its own: the document it wrote, the studio's document now, and
// `then(folder, file)` run before the folder goes (easel render, say).
export async function replayedSession(page, o, then = async () => {}) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'easel-replay-'));
  try {
    const script = (await call(page, { op: 'script' })).script;
    script.output = 'out.json';
    fs.writeFileSync(path.join(dir, 'session.json'), JSON.stringify(script));
    execFileSync(o.easel, ['play', path.join(dir, 'session.json'), '--plugins', o.plugins], { stdio: 'pipe' });
    const played = JSON.parse(fs.readFileSync(path.join(dir, 'out.json'), 'utf8'));
    const studio = JSON.parse((await call(page, { op: 'save', format: 'json' })).text);
    await then(dir, path.join(dir, 'out.json'), studio);
    return { played, studio };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

export function artCount(scene) {
  return scene.layers.reduce((n, l) => n + l.art.length, 0);
}

// Named tests run one after another: each prints "ok - NAME" or "FAILED -
// NAME" with the first lines of its error; afterFailure tidies up for the next.
export function testRunner(afterFailure = async () => {}) {
  const results = [];
  async function test(name, fn) {
    try {
      await fn();
      results.push(true);
      console.log(`ok - ${name}`);
    } catch (e) {
      results.push(false);
      console.log(`FAILED - ${name}\n  ${String(e.stack || e).split('\n').slice(0, 6).join('\n  ')}`);
      await afterFailure();
    }
  }
  // Prints the summary and ends the process: exit 1 when any test failed.
  function finish() {
    const passed = results.filter(Boolean).length;
    console.log(`${passed} passed, ${results.length - passed} failed, 0 skipped`);
    process.exit(passed === results.length ? 0 : 1);
  }
  return { test, results, finish };
}
