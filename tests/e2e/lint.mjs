// Lints the studio's page and its browser tests with eslint.config.js beside
// this file; prints every finding and exits 1 on any. Exits 77 (skipped) only
// on a machine without npm, where scripts/setup cannot install eslint.
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');

let ESLint;
try {
  ({ ESLint } = await import('eslint'));
} catch {
  let npm = true;
  try { execFileSync('npm', ['--version'], { stdio: 'ignore' }); } catch { npm = false; }
  if (!npm) {
    console.log('skipped: eslint is not installed and this machine has no npm to install it');
    process.exit(77);
  }
  console.error(`eslint is not installed in ${path.join(here, 'node_modules')}: run scripts/setup`);
  process.exit(1);
}

const eslint = new ESLint({ cwd: root, overrideConfigFile: path.join(here, 'eslint.config.js') });
const results = await eslint.lintFiles(['easel/studio/web', 'tests/e2e']);
const findings = results.reduce((n, r) => n + r.errorCount + r.warningCount, 0);
if (findings) {
  console.log((await eslint.loadFormatter('stylish')).format(results));
  console.error(`${findings} finding${findings === 1 ? '' : 's'} in the page or its browser tests`);
  process.exit(1);
}
console.log(`${results.length} files linted, no findings`);
