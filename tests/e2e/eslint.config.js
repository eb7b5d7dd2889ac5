// The lint rules of the studio's page (easel/studio/web, browser modules) and
// of its browser tests (tests/e2e, node). lint.mjs runs them from the
// repository's root, so the file patterns below are from there.
import js from '@eslint/js';
import globals from 'globals';

const rules = {
  'no-unused-vars': ['error', { args: 'after-used', caughtErrors: 'none' }],
  'no-undef': 'error',
  eqeqeq: 'error',
  'prefer-const': 'error',
};

export default [
  js.configs.recommended,
  {
    files: ['easel/studio/web/**/*.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: globals.browser },
    // The page's units stay small enough to read: a file under 800 lines, a
    // function under 80.
    rules: { ...rules, 'max-lines': ['error', { max: 800, skipBlankLines: true, skipComments: true }],
             'max-lines-per-function': ['error', { max: 80, skipBlankLines: true, skipComments: true }] },
  },
  // The tests run in node, and the functions they hand to page.evaluate run
  // in the page: both sets of globals.
  {
    files: ['tests/e2e/**/*.js', 'tests/e2e/**/*.mjs'],
    ignores: ['tests/e2e/node_modules/**'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: { ...globals.node, ...globals.browser } },
    rules,
  },
];
